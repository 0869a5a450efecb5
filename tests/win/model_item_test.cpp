// Items on the real Windows system layer: what Run really starts (a probe program
// records its command line, working folder and show state), folder copies through
// the shell, a missing program, and filling an item from a real shortcut file and
// from a real program with its help file.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "model/item.h"
#include "model_support.h"
#include "probe_support.h"
#include "shell/win32/scmake.h"
#include "shell_support.h"

using namespace modeltest;
using namespace probetest;

namespace {

bool EndsWith(const std::wstring& text, const std::wstring& ending) {
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

std::wstring WithoutSeparator(const std::wstring& folder) {
    return folder.substr(0, folder.size() - 1);
}

std::string ReadWhole(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    char buffer[256];
    DWORD read = 0;
    ReadFile(h, buffer, sizeof buffer, &read, nullptr);
    CloseHandle(h);
    return std::string(buffer, read);
}

// The processes this test process has started, by id.
std::set<DWORD> OwnChildren() {
    std::set<DWORD> children;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return children;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL ok = Process32FirstW(snap, &entry); ok; ok = Process32NextW(snap, &entry))
        if (entry.th32ParentProcessID == GetCurrentProcessId()) children.insert(entry.th32ProcessID);
    CloseHandle(snap);
    return children;
}

BOOL CALLBACK CloseWindowOf(HWND window, LPARAM process) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == (DWORD)process) PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

// Closes the windows of a process the test started through the shell (a folder
// window) and waits for it to end; one that does not end is stopped.
void CloseStartedProcess(DWORD id) {
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id);
    if (!process) return;
    for (int i = 0; i < 50 && WaitForSingleObject(process, 100) == WAIT_TIMEOUT; ++i)
        EnumWindows(CloseWindowOf, (LPARAM)id);
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) TerminateProcess(process, 0);
    CloseHandle(process);
}

class ModelItemWin : public testing::Test {
protected:
    ModelItemWin()
        : scratch_(L"kiropad-項目"), system_(Narrowed(scratch_.Path())),
          record_(scratch_.Path() + L"record.txt"), recordVariable_(L"KIROPAD_PROBE_RECORD", record_) {}

    void SetUp() override {
        ASSERT_TRUE(Exists(ProbePath(L"item_probe")));
        // A program in a Japanese folder with a space, started in another folder.
        program_ = scratch_.Make(L"アプリ フォルダ") + L"プローブ.exe";
        ASSERT_TRUE(CopyFileW(ProbePath(L"item_probe").c_str(), program_.c_str(), FALSE));
        work_ = WithoutSeparator(scratch_.Make(L"作業"));
    }

    // What the probe recorded for the last start; the record is taken away so that
    // the next start leaves a new one.
    TRecord TakeRecord(DWORD ms = 20000) {
        TRecord r = WaitForRecord(record_, ms);
        for (int i = 0; i < 50 && r.present && !DeleteFileW(record_.c_str()); ++i)
            Sleep(100);
        return r;
    }

    TScratchFolder scratch_;
    TModelSystem system_;
    std::wstring record_;
    TEnvironmentVariable recordVariable_;
    std::wstring program_, work_;
};

} // namespace

TEST_F(ModelItemWin, AProgramGetsItsArgumentsThenTheDroppedNamesInItsFolderAndWindowState) {
    TItem item(false);
    item.Path = Narrowed(program_);
    item.Arg = "/x 引数";
    item.IFol = Narrowed(work_);
    item.WindowState = wsMaximized;
    EXPECT_GT(item.Run("\"C:\\a b.txt\" \"D:\\表.txt\""), 32);
    TRecord started = TakeRecord();
    ASSERT_TRUE(started.present) << "the program was not started";
    std::wstring commandLine = started.Value(L"cmdline");
    EXPECT_NE(commandLine.find(L"プローブ.exe"), std::wstring::npos) << commandLine;
    EXPECT_TRUE(EndsWith(commandLine, L"/x 引数 \"C:\\a b.txt\" \"D:\\表.txt\"")) << commandLine;
    EXPECT_EQ(started.Value(L"cwd"), work_);
    EXPECT_EQ(started.Value(L"show"), std::to_wstring(SW_SHOWMAXIMIZED));

    // Without arguments the dropped names follow the program alone; the other two
    // window states.
    item.Arg.clear();
    item.WindowState = wsMinimized;
    EXPECT_GT(item.Run("\"C:\\one.txt\""), 32);
    started = TakeRecord();
    ASSERT_TRUE(started.present);
    EXPECT_TRUE(EndsWith(started.Value(L"cmdline"), L".exe\"  \"C:\\one.txt\"") ||
                EndsWith(started.Value(L"cmdline"), L".exe\" \"C:\\one.txt\""))
        << started.Value(L"cmdline");
    EXPECT_EQ(started.Value(L"show"), std::to_wstring(SW_SHOWMINIMIZED));

    item.WindowState = wsNormal;
    EXPECT_GT(item.Run(""), 32);
    started = TakeRecord();
    ASSERT_TRUE(started.present);
    EXPECT_EQ(started.Value(L"show"), std::to_wstring(SW_SHOWDEFAULT));
}

TEST_F(ModelItemWin, DocumentsGetNeitherArgumentsNorDroppedNames) {
    // A batch file passes whatever it is given on to the probe (%*): a document
    // opened with parameters would show them in the probe's command line.
    wchar_t shortProbe[MAX_PATH] = L"";
    ASSERT_GT(GetShortPathNameW(program_.c_str(), shortProbe, MAX_PATH), 0u);
    const std::wstring batch = work_ + L"\\開く.bat";
    ASSERT_TRUE(shelltest::WriteFileW(batch, "@\"" + Narrowed(shortProbe) + "\" %*\r\n"));
    TItem document(false);
    document.Path = Narrowed(batch);
    document.Arg = "/x";
    document.IFol = Narrowed(work_);
    EXPECT_EQ(TItem::GetKind(document.Path), TLaunchKind::Document);
    EXPECT_GT(document.Run("\"C:\\dropped.txt\""), 32);
    TRecord started = TakeRecord();
    ASSERT_TRUE(started.present) << "the batch file did not run";
    std::wstring commandLine = started.Value(L"cmdline");
    EXPECT_EQ(commandLine.find(L"/x"), std::wstring::npos) << commandLine;
    EXPECT_EQ(commandLine.find(L"dropped"), std::wstring::npos) << commandLine;
    EXPECT_EQ(started.Value(L"cwd"), work_);
}

TEST_F(ModelItemWin, AFolderWithoutDroppedFilesIsOpenedWithoutParametersInItsWorkingFolder) {
    const std::set<DWORD> before = OwnChildren();
    TItem folder(false);
    folder.Path = Narrowed(work_);
    folder.Arg = "/x";
    folder.IFol = Narrowed(scratch_.Path());
    EXPECT_EQ(TItem::GetKind(folder.Path), TLaunchKind::Folder);
    EXPECT_GT(folder.Run(""), 32);
    ASSERT_EQ(system_.ShellCalls.size(), 1u);
    EXPECT_EQ(system_.ShellCalls[0].File, folder.Path);
    EXPECT_FALSE(system_.ShellCalls[0].HasParams) << system_.ShellCalls[0].Params;
    EXPECT_EQ(system_.ShellCalls[0].Dir, folder.IFol);
    // Wine opens the folder window in a process of its own, started by this one;
    // Windows hands it to the running Explorer, whose window is closed by name.
    if (!RunningUnderWine()) {
        HWND window = nullptr;
        for (int i = 0; i < 50 && !window; ++i, Sleep(100))
            window = FindWindowW(L"CabinetWClass", L"作業");
        if (window) PostMessageW(window, WM_CLOSE, 0, 0);
        return;
    }
    std::set<DWORD> started;
    for (int i = 0; i < 100 && started.empty(); ++i, Sleep(100))
        for (DWORD id : OwnChildren())
            if (!before.count(id)) started.insert(id);
    EXPECT_FALSE(started.empty());
    for (DWORD id : started)
        CloseStartedProcess(id);
}

TEST_F(ModelItemWin, AFolderItemCopiesTheDroppedFilesThroughTheShell) {
    const std::wstring one = work_ + L"\\元 ファイル.txt", two = work_ + L"\\表.txt";
    ASSERT_TRUE(shelltest::WriteFileW(one, "one"));
    ASSERT_TRUE(shelltest::WriteFileW(two, "two"));
    const std::wstring target = scratch_.Make(L"コピー先");
    TItem folder(false);
    folder.Path = Narrowed(WithoutSeparator(target));
    folder.Arg = "/x";
    // Quoted names and a name separated by a tab are both copied.
    EXPECT_EQ(folder.Run("\"" + Narrowed(one) + "\"\t" + Narrowed(two)), 33);
    EXPECT_EQ(ReadWhole(target + L"元 ファイル.txt"), "one");
    EXPECT_EQ(ReadWhole(target + L"表.txt"), "two");
    EXPECT_EQ(ReadWhole(one), "one"); // copied, not moved
    EXPECT_TRUE(system_.ShellCalls.empty()) << "a folder with dropped files is not opened";
}

TEST_F(ModelItemWin, AMissingProgramReportsFileNotFound) {
    TItem missing(false);
    missing.Path = Narrowed(work_ + L"\\ない.exe");
    EXPECT_EQ(missing.Run(""), 2);
    EXPECT_EQ(missing.Run("\"C:\\a.txt\""), 2);
    EXPECT_FALSE(WaitForRecord(record_, 500).present);
}

namespace {

std::wstring SystemFile(const std::wstring& name) {
    wchar_t folder[MAX_PATH] = L"";
    GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder) + L"\\" + name;
}

// Connects the shortcut analysis of a TSCMake, as the main window does for its
// own, and disconnects it again.
class TConnectedAnalyser {
public:
    TConnectedAnalyser() { ConnectShortcutAnalyser(&sc_); }
    ~TConnectedAnalyser() { ConnectShortcutAnalyser(nullptr); }
    TConnectedAnalyser(const TConnectedAnalyser&) = delete;
    TConnectedAnalyser& operator=(const TConnectedAnalyser&) = delete;

private:
    TSCMake sc_;
};

} // namespace

TEST_F(ModelItemWin, FillingFromARealShortcutTakesItsFieldsAndTheTitleFromItsOwnName) {
    TOpenDocument doc; // the icon list the item's icon goes into
    const std::wstring shell32 = SystemFile(L"shell32.dll");
    // Where the shell-link object cannot keep a Japanese target, the program is
    // copied into a plain folder (the shortcut itself keeps its Japanese name).
    TScratchFolder ascii(L"kiropad-items");
    std::wstring target = program_;
    if (!shelltest::ShellLinkKeepsTarget(WithoutSeparator(scratch_.Path()), target)) {
        target = ascii.Make(L"app") + L"probe.exe";
        ASSERT_TRUE(CopyFileW(program_.c_str(), target.c_str(), FALSE));
    }
    shelltest::TShellLink fields;
    fields.Target = target;
    fields.WorkDir = work_;
    fields.Arguments = L"/open \"設定 ファイル.ini\"";
    fields.IconPath = shell32;
    fields.IconIndex = 3;
    fields.ShowCmd = SW_SHOWMAXIMIZED;
    const std::wstring link = scratch_.Path() + L"メモ ショートカット.lnk";
    ASSERT_EQ(shelltest::WriteShortcutWithShell(link, fields), S_OK);

    {
        TConnectedAnalyser analyser;
        TItem item(false);
        item.SetFromFile(Narrowed(link));
        EXPECT_EQ(item.Path, Narrowed(target));
        EXPECT_EQ(item.Arg, "/open \"設定 ファイル.ini\"");
        EXPECT_EQ(item.IFol, Narrowed(work_));
        EXPECT_EQ(item.Icon, Narrowed(shell32));
        EXPECT_EQ(item.IconN, 3);
        EXPECT_EQ(item.WindowState, wsMaximized);
        EXPECT_EQ(item.Name, "メモ ショートカット");
        EXPECT_EQ(item.LFol, Narrowed(WithoutSeparator(FolderOf(target))));
        // The icon is the shortcut's icon location, not the target's own.
        EXPECT_EQ(system_.IndexedIcons, 1);
        EXPECT_EQ(system_.AssociatedIcons, 0);
        EXPECT_GE(item.ImageIndex, 0);

        fields.ShowCmd = SW_SHOWMINNOACTIVE;
        ASSERT_EQ(shelltest::WriteShortcutWithShell(scratch_.Path() + L"最小.lnk", fields), S_OK);
        item.SetFromFile(Narrowed(scratch_.Path() + L"最小.lnk"));
        EXPECT_EQ(item.WindowState, wsMinimized);
        fields.ShowCmd = SW_SHOWNORMAL;
        ASSERT_EQ(shelltest::WriteShortcutWithShell(scratch_.Path() + L"普通.lnk", fields), S_OK);
        item.SetFromFile(Narrowed(scratch_.Path() + L"普通.lnk"));
        EXPECT_EQ(item.WindowState, wsNormal);

        // An extension in capitals passes the item's test, but the analysis takes
        // only ".lnk": the item points at the shortcut file itself.
        const std::wstring capitals = scratch_.Path() + L"大文字.LNK";
        ASSERT_TRUE(CopyFileW(link.c_str(), capitals.c_str(), FALSE));
        TItem upper(false);
        upper.SetFromFile(Narrowed(capitals));
        EXPECT_EQ(upper.Path, Narrowed(capitals));
        EXPECT_EQ(upper.Arg, "");
        EXPECT_EQ(TItem::GetKind(upper.Path), TLaunchKind::Program);
    }

    // Without an analyser the shortcut is a plain file as well.
    TItem plain(false);
    plain.SetFromFile(Narrowed(link));
    EXPECT_EQ(plain.Path, Narrowed(link));
    EXPECT_EQ(plain.Name, "メモ ショートカット");
    EXPECT_EQ(plain.IFol, Narrowed(WithoutSeparator(scratch_.Path())));
}

TEST_F(ModelItemWin, FillingFromARealProgramFindsTheHelpFileBesideIt) {
    const std::wstring tools = scratch_.Make(L"ツール");
    ASSERT_TRUE(CopyFileW(program_.c_str(), (tools + L"tool.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(program_.c_str(), (tools + L"other.exe").c_str(), FALSE));
    ASSERT_TRUE(shelltest::WriteFileW(tools + L"tool.hlp", "help"));

    TItem item(false);
    item.SetFromFile(Narrowed(tools + L"tool.exe"));
    EXPECT_EQ(item.Path, Narrowed(tools + L"tool.exe"));
    EXPECT_EQ(item.Name, "tool");
    EXPECT_EQ(item.IFol, Narrowed(WithoutSeparator(tools)));
    EXPECT_EQ(item.LFol, Narrowed(WithoutSeparator(tools)));
    EXPECT_EQ(item.LHelp, Narrowed(tools + L"tool.hlp"));

    TItem other(false);
    other.SetFromFile(Narrowed(tools + L"other.exe"));
    EXPECT_EQ(other.LHelp, "");

    // A real folder is its own working folder and has no link folder or help.
    TItem folder(false);
    folder.LHelp = "old";
    folder.SetFromFile(Narrowed(work_));
    EXPECT_EQ(folder.Name, "作業");
    EXPECT_EQ(folder.IFol, Narrowed(work_));
    EXPECT_EQ(folder.LFol, "");
    EXPECT_EQ(folder.LHelp, "");
}
