// The Windows helpers: path kinds and system folders on the real file system, the
// shell's folder dialog opened and answered as a user would, the HTML Help viewer
// with a real compiled help file and with its library missing, and the handler of
// unexpected exceptions.
#include "shell_support.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#include "shell/common.h"
#include "shell/instance_names.h"
#include "shell/win32/activation.h"
#include "shell/win32/helpers.h"
#include "ui/application.h"
#include "platform/exception.h"

using namespace shelltest;

namespace {

TEST(ShellHelpers, GetPathKindTellsFilesFoldersAndMissingPaths) {
    TTempFolder dir(L"kind");
    ASSERT_TRUE(WriteFileW(dir.W() + L"\\\u8868.txt", "x")); // 表.txt
    EXPECT_EQ(GetPathKind(dir.A()), platform::TPathKind::Folder);
    EXPECT_EQ(GetPathKind(dir.A() + "\\"), platform::TPathKind::Folder);
    EXPECT_EQ(GetPathKind(dir.A() + "\\表.txt"), platform::TPathKind::File);
    EXPECT_EQ(GetPathKind(dir.A() + "\\missing.txt"), platform::TPathKind::Missing);
    EXPECT_EQ(GetPathKind(dir.A() + "\\missing\\x.txt"), platform::TPathKind::Missing);
    EXPECT_EQ(GetPathKind(""), platform::TPathKind::Missing);
    EXPECT_EQ(GetPathKind("C:\\"), platform::TPathKind::Folder);
}

TEST(ShellInstanceNames, LettersOfEveryScriptFoldAsTheSystemFoldsThem) {
    // Folders whose names differ only in the case of Greek or Cyrillic letters are
    // one folder to the file system: one program file, one running copy.
    const std::wstring lower = L"C:\\\x03b1\x03b2\x03b3\\\x043f\x0430\x043f\x043a\x0430\\kiropad.exe";
    const std::wstring upper = L"C:\\\x0391\x0392\x0393\\\x041f\x0410\x041f\x041a\x0410\\KIROPAD.EXE";
    EXPECT_EQ(L"C:/\x0391\x0392\x0393/\x041f\x0410\x041f\x041a\x0410/KIROPAD.EXE",
              BuildInstanceMutexName(lower));
    EXPECT_EQ(BuildInstanceMutexName(upper), BuildInstanceMutexName(lower));
    EXPECT_EQ(BuildActivationMessageName(upper), BuildActivationMessageName(lower));
    EXPECT_EQ(L"YORVEL_KIROPAD_CALL@C:\\\x0391\x0392\x0393\\\x041f\x0410\x041f\x041a\x0410\\KIROPAD.EXE",
              BuildActivationMessageName(lower));
    // Full-width Latin letters fold too; Japanese has no case and stays.
    EXPECT_EQ(L"D:/\xFF21\x30C4\x30FC\x30EB/K.EXE",
              BuildInstanceMutexName(L"D:\\\xFF41\x30C4\x30FC\x30EB\\k.exe"));
}

TEST(ShellHelpers, GetWinDirGivesTheSystemFoldersWithASeparator) {
    wchar_t buf[MAX_PATH];
    GetWindowsDirectoryW(buf, MAX_PATH);
    EXPECT_EQ(W(GetWinDir(0)), std::wstring(buf) + L"\\");
    GetSystemDirectoryW(buf, MAX_PATH);
    EXPECT_EQ(W(GetWinDir(1)), std::wstring(buf) + L"\\");
    EXPECT_EQ(GetPathKind(GetWinDir(1) + "shell32.dll"), platform::TPathKind::File);
    EXPECT_EQ(GetWinDir(2), "");
}

class ShellBrowseFolder : public ::testing::Test {
protected:
    ui::TApplication app;
    TTempFolder dir{L"browse-\u8868"};
};

TEST_F(ShellBrowseFolder, CancellingGivesAnEmptyText) {
    TWindowWatcher watcher(GetCurrentThreadId(), L"#32770",
                           [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
    std::string chosen = BrowseFolder(0, "フォルダーの選択", dir.A());
    watcher.Join();
    EXPECT_TRUE(watcher.Found());
    EXPECT_EQ(chosen, "");
}

// The text of the folder selected in a folder dialog's tree, or empty.
std::wstring SelectedFolderName(HWND dialog) {
    HWND tree = FindWindowExW(dialog, nullptr, L"SysTreeView32", nullptr);
    if (!tree) return L"";
    auto item = (HTREEITEM)SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    if (!item) return L"";
    wchar_t text[MAX_PATH] = {};
    TVITEMW tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = MAX_PATH;
    SendMessageW(tree, TVM_GETITEMW, 0, (LPARAM)&tv);
    return text;
}

TEST_F(ShellBrowseFolder, OpensAtTheInitialFolder) {
    // OK once the tree shows the initial folder returns that folder. The dialog
    // selects it after it opens; a loaded machine can take a while over that.
    std::wstring leaf = dir.W().substr(dir.W().find_last_of(L'\\') + 1);
    std::wstring shown;
    TWindowWatcher watcher(GetCurrentThreadId(), L"#32770", [&](HWND dialog) {
        for (int i = 0; i < 100 && shown != leaf; ++i) {
            shown = SelectedFolderName(dialog);
            if (shown != leaf) Sleep(50);
        }
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    std::string chosen = BrowseFolder(0, "フォルダーの選択", dir.A());
    watcher.Join();
    ASSERT_TRUE(watcher.Found());
    EXPECT_EQ(shown, leaf);
    EXPECT_EQ(chosen, dir.A());
}

class ShellHtmlHelp : public ::testing::Test {
protected:
    ui::TApplication app;
    ~ShellHtmlHelp() override { SetHtmlHelpLibrary("HHCTRL.OCX"); }

    static std::string TestHelpFile() {
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring p = path;
        return platform::NarrowForDisplay(p.substr(0, p.find_last_of(L'\\') + 1) + L"testhelp.chm");
    }
    static void Close(platform::TWindowHandle viewer) {
        if (viewer && IsWindow((HWND)viewer)) DestroyWindow((HWND)viewer);
    }
};

TEST_F(ShellHtmlHelp, AMissingViewerLibraryIsReported) {
    app.SetTitle("Kiropad");
    ui::TScriptedMessageBoxes boxes;
    SetHtmlHelpLibrary("nosuchviewer.ocx");
    EXPECT_EQ(ShowHtmlHelp(TestHelpFile(), "_RESOURCE/topic.html"), 0u);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].Text, "HHCTRL.OCXが見つかりません");
    EXPECT_EQ(boxes.Shown()[0].Caption, "Kiropad");
    EXPECT_EQ(boxes.Shown()[0].Flags, (unsigned)MB_OK);
}

TEST_F(ShellHtmlHelp, ALibraryWithoutTheEntryReturnsQuietly) {
    ui::TScriptedMessageBoxes boxes;
    SetHtmlHelpLibrary("kernel32.dll");
    EXPECT_EQ(ShowHtmlHelp(TestHelpFile(), "_RESOURCE/topic.html"), 0u);
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(ShellHtmlHelp, OpensTheViewerAtATopicAndAtTheDefaultTopic) {
    ASSERT_EQ(GetPathKind(TestHelpFile()), platform::TPathKind::File) << "testhelp.chm is built beside win_tests.exe";
    ui::TScriptedMessageBoxes boxes;
    platform::TWindowHandle viewer = ShowHtmlHelp(TestHelpFile(), "_RESOURCE/topic.html");
    EXPECT_NE(viewer, 0u);
    EXPECT_TRUE(IsWindow((HWND)viewer));
    Close(viewer);
    viewer = ShowHtmlHelp(TestHelpFile());
    EXPECT_NE(viewer, 0u);
    Close(viewer);
    EXPECT_TRUE(boxes.Shown().empty());
}

// The child process of a death test runs the statement; what it shows goes to its
// standard error, where the parent matches it.
void ReportBoxes(ui::TApplication& app) {
    app.SetMessageBoxHook([](const std::string& text, const std::string& caption, unsigned flags) {
        std::fprintf(stderr, "[box:%s|%s|%u]", text.c_str(), caption.c_str(), flags);
        return IDOK;
    });
    std::atexit([] { std::fprintf(stderr, "[atexit]"); });
}

TEST(ShellFatalDeathTest, ShowsTheErrorThenExitsWithCode1) {
    EXPECT_EXIT(
        {
            ui::TApplication app;
            app.SetTitle("Kiropad");
            ReportBoxes(app);
            FatalExceptionHandler(nullptr, Exception("disk on fire"));
        },
        ::testing::ExitedWithCode(1), "\\[box:disk on fire\\|Kiropad\\|16\\]\\[atexit\\]");
}

TEST(ShellFatalDeathTest, IsTheApplicationsDefaultExceptionEvent) {
    EXPECT_EXIT(
        {
            ui::TApplication app;
            app.SetTitle("T");
            ReportBoxes(app);
            app.HandleException(nullptr, std::make_exception_ptr(42)); // not a standard exception
        },
        ::testing::ExitedWithCode(1), "\\[box:\\|T\\|16\\]");
}

} // namespace

namespace {

class TRecordedActivation : public IActivationCalls {
public:
    void AllowForeground(DWORD processId) override { Calls.push_back("allow " + std::to_string(processId)); }
    void Broadcast(UINT message) override { Calls.push_back("broadcast " + std::to_string(message)); }
    std::vector<std::string> Calls;
};

} // namespace

// The system keeps the foreground with the process the user is in: a second start
// must let the running copy take it before asking it to come forward.
TEST(ActivateRunningCopy, AllowsAnyProcessTheForegroundBeforeItAsksTheRunningCopy) {
    TRecordedActivation calls;
    ActivateRunningCopy(L"C:\\Tools\\Kiropad.exe", calls);
    UINT message = RegisterWindowMessageW(L"YORVEL_KIROPAD_CALL@C:\\TOOLS\\KIROPAD.EXE");
    EXPECT_EQ((std::vector<std::string>{"allow " + std::to_string(ASFW_ANY),
                                        "broadcast " + std::to_string(message)}),
              calls.Calls);
}
