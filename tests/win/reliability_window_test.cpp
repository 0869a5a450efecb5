// The real main window against what a data file, another program or a long run can
// do to it: sizes that cannot be laid out, a data file that cannot be replaced,
// targets that are gone, and a thousand starts without a handle more.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "mainwindow/layout.h"
#include "mainwindow_support.h"
#include "support/ybfs_bytes.h"
#include "platform/filestream.h"

using namespace mwtest;

namespace {

// The handles the process holds open. Wine answers 0 to GetProcessHandleCount, so
// every handle value of the table's range is asked whether it is open.
long LiveHandles() {
    long count = 0;
    for (uintptr_t value = 4; value < (1u << 16); value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    }
    return count;
}

// A handle on a file that shares nothing, as another program may hold it.
struct THeldFile {
    explicit THeldFile(const std::wstring& path, DWORD disposition = OPEN_EXISTING)
        : Handle(
              CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition, 0, nullptr)) {}
    ~THeldFile() { Release(); }
    void Release() {
        if (Handle != INVALID_HANDLE_VALUE) CloseHandle(Handle);
        Handle = INVALID_HANDLE_VALUE;
    }
    HANDLE Handle;
};

std::vector<uint8_t> ReadAll(const std::string& path) {
    try {
        return platform::ReadWholeFile(path);
    } catch (...) {
        return {};
    }
}

} // namespace

class ReliabilityWindow : public MainWindowTest {
protected:
    platform::TPixmap shot_;
};

TEST_F(ReliabilityWindow, SizesThatCannotBeLaidOutAreClampedAtUseAndKeptAsStored) {
    // 10,000 pages, item sizes and page-button width of 2,147,483,647, a 65,533-byte title.
    std::string title;
    for (int i = 0; i < 32766; ++i)
        title += "あ";
    title += "!";
    ASSERT_EQ(65533u, title.size());
    TBody view;
    view.Str(0, title).I32(1, 2147483647).I32(2, 2147483647).I32(3, 2147483647);
    TBody doc;
    doc.I16(0, 5).I16(1, 3).I16(2, 10000).Obj(12, view);
    const std::wstring data = platform::Widen(DataFile());
    ASSERT_TRUE(
        shelltest::WriteFileW(data, std::string((const char*)doc.Bytes().data(), doc.Bytes().size())));

    TfrmMain& f = Open();
    EXPECT_TRUE(Boxes().empty());
    ASSERT_EQ(10000u, Doc().Pages.size());
    const TLayout& L = f.Layout();
    EXPECT_EQ(TLayoutLimits::MaxItemSize, L.W);
    EXPECT_EQ(TLayoutLimits::MaxItemSize, L.H);
    EXPECT_EQ(TLayoutLimits::MaxPageButtonWidth, L.B);
    EXPECT_EQ(1, L.PageButtonHeight) << "10,000 page buttons of one pixel, reachable by keys";
    RECT client;
    GetClientRect(f.Handle(), &client);
    EXPECT_LE(client.right, TLayoutLimits::MaxPanelExtent + TLayoutLimits::MaxPageButtonWidth + 7);
    EXPECT_EQ(L.ClientWidth, client.right);
    EXPECT_EQ(32767, GetWindowTextLengthW(f.Handle())) << "the whole title is shown";
    Press(VK_PRIOR);
    EXPECT_EQ(9999, f.CurrentPage()) << "the page before the first is the last";
    f.pnlPageMenu.PaintTo(shot_);
    f.pnlPage.PaintTo(shot_);

    // Kept as stored: the next start finds the same values, not the clamped ones.
    form_.reset();
    std::vector<uint8_t> saved = ReadAll(DataFile());
    auto contains = [&](const std::vector<uint8_t>& needle) {
        return std::search(saved.begin(), saved.end(), needle.begin(), needle.end()) != saved.end();
    };
    EXPECT_TRUE(contains(std::vector<uint8_t>(title.begin(), title.end())));
    EXPECT_TRUE(contains({0x01, 0x00, 0x04, 0x00, 0xFF, 0xFF, 0xFF, 0x7F})) << "page-button width as read";
}

TEST_F(ReliabilityWindow, ADataFileThatCannotBeReplacedShowsTheSaveBoxAndCancelKeepsMemoryAndFile) {
    // A read-only program folder as Wine can show it (it ignores read-only folders for
    // root): another program holds the data file and the temporary name without sharing.
    Open();
    form_.reset();
    const std::vector<uint8_t> before = ReadAll(DataFile());
    ASSERT_FALSE(before.empty());
    const std::wstring temp = platform::Widen(platform::TemporaryFileFor(DataFile()));

    Open();
    {
        THeldFile data(platform::Widen(DataFile()));
        THeldFile tempHeld(temp, CREATE_ALWAYS);
        ASSERT_NE(INVALID_HANDLE_VALUE, data.Handle);
        ASSERT_NE(INVALID_HANDLE_VALUE, tempHeld.Handle);
        Doc().Pages[0]->Name = "変更";
        Answer({IDCANCEL});
        Doc().SaveIfNeeded(TSaveReason::Change);
        ASSERT_EQ(1u, Boxes().size());
        EXPECT_NE(std::string::npos, Boxes()[0].Text.find("セーブ中にエラー"));
        EXPECT_EQ("変更", Doc().Pages[0]->Name) << "Cancel leaves memory as it was";
        // Exit: the box once more, Cancel, and the program ends without the file.
        Answer({IDCANCEL});
        form_.reset();
        EXPECT_EQ(2u, Boxes().size());
    }
    EXPECT_EQ(before, ReadAll(DataFile()));
    // The temporary file is the other program's here; Kiropad made none of its own.
    EXPECT_TRUE(DeleteFileW(temp.c_str()));
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((FolderW() + L"*.tmp").c_str(), &found);
    EXPECT_EQ(INVALID_HANDLE_VALUE, search) << "nothing left behind";
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

TEST(ReliabilityReplace, AFileHeldBrieflyIsReplacedAfterAFewShortWaits) {
    shelltest::TTempFolder folder(L"replace");
    const std::string name = folder.A() + "\\held.gbi";
    platform::ReplaceFileContents(name, {1, 2, 3});
    THeldFile held(platform::Widen(name));
    ASSERT_NE(INVALID_HANDLE_VALUE, held.Handle);
    std::thread other([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
        held.Release();
    });
    auto start = std::chrono::steady_clock::now();
    EXPECT_NO_THROW(platform::ReplaceFileContents(name, {4, 5}));
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    other.join();
    EXPECT_EQ(std::vector<uint8_t>({4, 5}), platform::ReadWholeFile(name));
    EXPECT_LT(ms, 500.0);

    // Held for good: the failure comes after the waits, under half a second later.
    THeldFile forGood(platform::Widen(name));
    start = std::chrono::steady_clock::now();
    EXPECT_THROW(platform::ReplaceFileContents(name, {6}), Exception);
    ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("[ measure  ] replace step given up after %.0f ms\n", ms);
    EXPECT_LT(ms, 700.0);
    EXPECT_FALSE(platform::FileExists(platform::TemporaryFileFor(name)));
}

TEST_F(ReliabilityWindow, TargetsThatAreGoneAreReportedAndNothingIsStoredMangled) {
    TfrmMain& f = Open();
    // A folder item whose folder vanished.
    std::wstring vanished = FolderW() + L"消えるフォルダ";
    ASSERT_TRUE(CreateDirectoryW(vanished.c_str(), nullptr));
    std::string vanishedA;
    platform::Narrow(vanished, vanishedA);
    Fill(PageItem(0, 0), vanishedA, "フォルダ");
    ASSERT_TRUE(RemoveDirectoryW(vanished.c_str()));
    ClickSlot(0);
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("ファイルまたはパスが見つかりません。", Boxes().back().Text);
    EXPECT_EQ(vanishedA, PageItem(0, 0).Path) << "the item keeps its folder";

    // A shortcut whose target is on a drive that is not there.
    shelltest::TShellLink fields;
    fields.Target = L"Q:\\どこにもない\\app.exe";
    std::wstring link = FolderW() + L"missing drive.lnk";
    if (shelltest::WriteShortcutWithShell(link, fields) != S_OK) GTEST_SKIP() << "no shell link object";
    std::string linkA;
    platform::Narrow(link, linkA);
    Drop(f.pnlPage, SlotPoint(2), {linkA});
    const std::string& path = PageItem(0, 2).Path;
    EXPECT_FALSE(path.empty()) << "the dropped shortcut makes an item";
    EXPECT_EQ(std::string::npos, path.find('?')) << path;
    size_t boxes = Boxes().size();
    ClickSlot(2);
    EXPECT_EQ(boxes + 1, Boxes().size()) << "starting it reports the missing target";
    EXPECT_EQ("ファイルまたはパスが見つかりません。", Boxes().back().Text);
}

TEST_F(ReliabilityWindow, AThousandStartsLeaveNoHandleGdiObjectOrWindowBehind) {
    Open();
    Fill(PageItem(0, 1), Probe(), "probe", eaNothing);
    ClickSlot(1); // the first start loads what every later one uses
    ASSERT_EQ(1u, Launches(1).size());
    uitest::PumpPending();
    const long gdi = ui::LiveGdiObjects(), windows = ui::LiveWindows(), handles = LiveHandles();
    auto start = std::chrono::steady_clock::now();
    const size_t kStarts = 1000;
    for (size_t i = 2; i <= kStarts + 1; ++i) {
        ClickSlot(1);
        // A few at a time, so that the probes do not pile up.
        if (i % 20 == 0) {
            ASSERT_EQ(i, Launches(i, 30000).size());
        }
    }
    ASSERT_EQ(kStarts + 1, Launches(kStarts + 1, 30000).size());
    uitest::PumpPending();
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    long nowHandles = LiveHandles();
    std::printf(
        "[ measure  ] %zu starts in %.1f s: handles %ld -> %ld, GDI objects %ld -> %ld, windows %ld -> %ld\n",
        kStarts, s, handles, nowHandles, gdi, ui::LiveGdiObjects(), windows, ui::LiveWindows());
    EXPECT_TRUE(Boxes().empty());
    EXPECT_NEAR(handles, nowHandles, 2);
    EXPECT_NEAR(gdi, ui::LiveGdiObjects(), 2);
    EXPECT_EQ(windows, ui::LiveWindows());
}

TEST_F(ReliabilityWindow, ALogoffWithAutomaticSavingOffLosesNothing) {
    Open();
    form_.reset();
    TfrmMain& f = Open();
    Doc().AutoSave = false;
    Doc().Pages[0]->Name = "ログオフ前";
    Doc().SaveIfNeeded(TSaveReason::Change); // what a change does: nothing, saving is off
    std::vector<uint8_t> kept = ReadAll(DataFile());
    const std::string text = "ログオフ前";
    const std::vector<uint8_t> name(text.begin(), text.end()); // bytes, compared as bytes
    EXPECT_EQ(kept.end(), std::search(kept.begin(), kept.end(), name.begin(), name.end()));
    EXPECT_EQ(TRUE, SendMessageW(f.Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    SendMessageW(f.Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    std::vector<uint8_t> saved = ReadAll(DataFile());
    EXPECT_NE(saved.end(), std::search(saved.begin(), saved.end(), name.begin(), name.end()))
        << "the end of the session saved as exit does";
    EXPECT_TRUE(Boxes().empty());
}
