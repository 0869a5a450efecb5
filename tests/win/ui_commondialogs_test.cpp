// The system's open-file, colour and font dialogs, answered from another thread the
// way a user would: by the dialog's own buttons and its file-name field.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/system.h"
#include "platform/text.h"
#include "ui/commondialogs.h"
#include "ui/gdi.h"
#include "ui/window.h"
#include "ui_test_support.h"

using namespace ui;

namespace {

// Records the message boxes of the system services; everything else is unused here.
class TBoxRecorder : public platform::ISystem {
public:
    std::vector<std::string> boxes;
    int ShellExecute(platform::TWindowHandle, const std::string&, const std::string&, const std::string*,
                     const std::string*, int) override {
        return 0;
    }
    int CopyFilesInto(platform::TWindowHandle, const std::vector<std::string>&, const std::string&) override {
        return 0;
    }
    platform::TPathKind GetPathKind(const std::string&) override { return platform::TPathKind::Missing; }
    bool ExtractAssociatedIcon(const std::string&, platform::TIconImage&, platform::TIconPInfo*) override {
        return false;
    }
    bool ExtractIndexedIcon(const std::string&, int, platform::TIconImage&) override { return false; }
    int AnalyseShortcut(const std::string&, platform::TLinkInfo&) override { return -1; }
    int MessageBox(const std::string& text, const std::string&, unsigned) override {
        boxes.push_back(text);
        return platform::idOk;
    }
    void SetWaitCursor(bool) override {}
    std::string ProgramFolder() override { return ""; }
    uint32_t ColorToPixel(platform::TColor) override { return 0; }
};

struct TInstalledRecorder {
    TBoxRecorder system;
    TInstalledRecorder() { previous = platform::SetSystem(&system); }
    ~TInstalledRecorder() { platform::SetSystem(previous); }
    platform::ISystem* previous = nullptr;
};

std::wstring TempFolder() {
    wchar_t buf[MAX_PATH];
    GetTempPathW(MAX_PATH, buf);
    std::wstring dir = std::wstring(buf) + L"kiropad-ui-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir + L"\\";
}

std::wstring MakeFile(const std::wstring& name) {
    std::wstring path = TempFolder() + name;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(h);
    return path;
}

void Press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

// Types a file name into the open dialog's name field (a combo box with an edit, or
// an edit, depending on the system) and presses Open.
void TypeNameAndOpen(HWND dialog, const std::wstring& name) {
    for (int id : {0x47C /* cmb13 */, 0x480 /* edt1 */}) {
        HWND field = GetDlgItem(dialog, id);
        if (field && IsWindowVisible(field)) {
            SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
            break;
        }
    }
    Press(dialog, IDOK);
}

BOOL CALLBACK FindOwned(HWND w, LPARAM p) {
    auto* search = reinterpret_cast<std::pair<HWND, HWND>*>(p);
    if (GetWindow(w, GW_OWNER) == search->first && IsWindowVisible(w)) {
        search->second = w;
        return FALSE;
    }
    return TRUE;
}

int CALLBACK TakeFace(const LOGFONTW* lf, const TEXTMETRICW*, DWORD type, LPARAM p) {
    std::string name;
    if ((type & TRUETYPE_FONTTYPE) && lf->lfFaceName[0] != L'@' && platform::Narrow(lf->lfFaceName, name)) {
        *reinterpret_cast<std::string*>(p) = name;
        return 0;
    }
    return 1;
}

std::string JapaneseFace() {
    std::string face;
    LOGFONTW lf = {};
    lf.lfCharSet = SHIFTJIS_CHARSET;
    TWindowDC screen;
    EnumFontFamiliesExW(screen.Get(), &lf, TakeFace, reinterpret_cast<LPARAM>(&face), 0);
    return face;
}

// From another thread: waits for a visible window owned by owner, then presses OK in it.
void PressOkInOwnedDialog(HWND owner) {
    DWORD thread = GetWindowThreadProcessId(owner, nullptr);
    for (int i = 0; i < 400; ++i) {
        std::pair<HWND, HWND> search(owner, nullptr);
        EnumThreadWindows(thread, FindOwned, reinterpret_cast<LPARAM>(&search));
        if (search.second) {
            Sleep(300);
            Press(search.second, IDOK);
            return;
        }
        Sleep(50);
    }
}

} // namespace

TEST(UiOpenDialog, CancelChoosesNothing) {
    TOpenDialog dlg;
    dlg.Title = "ファイルの選択 (取り消し)";
    dlg.Filter = "全てのファイル(*.*)|*.*|アプリケーション(*.exe)|*.exe";
    dlg.FileName = "unchanged";
    uitest::TWindowWatcher watcher(platform::Widen(dlg.Title), [](HWND w) { Press(w, IDCANCEL); });
    EXPECT_FALSE(dlg.Execute());
    EXPECT_TRUE(watcher.Found());
    EXPECT_EQ("unchanged", dlg.FileName);
}

TEST(UiOpenDialog, ReturnsTheChosenJapaneseFileName) {
    std::wstring path = MakeFile(L"\x8a2d\x5b9a\x30c6\x30b9\x30c8.txt"); // 設定テスト.txt
    TOpenDialog dlg;
    dlg.Title = "ファイルの選択 (日本語)";
    dlg.Filter = "テキスト(*.txt)|*.txt|全てのファイル(*.*)|*.*";
    dlg.DefaultExt = "txt";
    std::string folder;
    ASSERT_TRUE(platform::Narrow(TempFolder(), folder));
    dlg.InitialDir = folder;
    uitest::TWindowWatcher watcher(platform::Widen(dlg.Title), [&](HWND w) { TypeNameAndOpen(w, path); });
    ASSERT_TRUE(dlg.Execute());
    std::string expected;
    ASSERT_TRUE(platform::Narrow(path, expected));
    EXPECT_EQ(expected, dlg.FileName);
    DeleteFileW(path.c_str());
}

TEST(UiOpenDialog, TakesANameThatCodePage932CannotHoldExactly) {
    TInstalledRecorder recorder;
    std::wstring path = MakeFile(L"\xD55C\xAD6D.txt"); // Korean: no code page 932 form
    TOpenDialog dlg;
    dlg.Title = "ファイルの選択 (ハングル)";
    dlg.FileName = "unchanged";
    uitest::TWindowWatcher watcher(platform::Widen(dlg.Title), [&](HWND w) { TypeNameAndOpen(w, path); });
    EXPECT_TRUE(dlg.Execute());
    EXPECT_EQ(path, platform::Widen(dlg.FileName));
    EXPECT_TRUE(recorder.system.boxes.empty());
    DeleteFileW(path.c_str());
}

TEST(UiColorDialog, OkKeepsTheColourItStartedWith) {
    TForm owner("色の選択のテスト");
    TColorDialog dlg;
    dlg.Color = 0x00336699;
    // The colour dialog's title is the system's: find it as the owner's popup.
    std::thread answer(PressOkInOwnedDialog, owner.Handle());
    bool ok = dlg.Execute(owner.Handle());
    answer.join();
    EXPECT_TRUE(ok);
    EXPECT_EQ(0x00336699u, dlg.Color);
}

TEST(UiFontDialog, OkGivesBackTheFontItStartedWith) {
    TForm owner("フォントの選択のテスト");
    TFontDialog dlg;
    // A Japanese face this system has, as the dialog lists it.
    ASSERT_FALSE(JapaneseFace().empty());
    dlg.Font.Name = JapaneseFace();
    dlg.Font.Size = 12;
    dlg.Font.Style = platform::fsBold;
    dlg.Font.Color = 0x000000FF;
    platform::TFontSpec start = dlg.Font;
    std::thread answer(PressOkInOwnedDialog, owner.Handle());
    bool ok = dlg.Execute(owner.Handle());
    answer.join();
    ASSERT_TRUE(ok);
    EXPECT_EQ(start.Size, dlg.Font.Size);
    EXPECT_EQ(start.Style, dlg.Font.Style);
    EXPECT_EQ(start.Color, dlg.Font.Color);
    EXPECT_EQ(start.Name, dlg.Font.Name);
}
