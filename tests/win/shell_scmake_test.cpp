// Shortcut files: real .lnk files written by the system's own shell-link object are
// analysed; shortcuts written by TSCMake are read back by the system's object.
#include "shell_support.h"

#include <gtest/gtest.h>

#include "platform/win32/win32system.h"
#include "shell/common.h"
#include "shell/win32/scmake.h"

using namespace shelltest;

namespace {

class ShellShortcut : public ::testing::Test {
protected:
    // "表" ends in the byte 5C: the folder name tests the separator search.
    TTempFolder dir{L"lnk-\u8868"};
    TTempFolder plainDir{L"lnk-plain"};
    std::wstring target;
    TSCMake sc;

    void SetUp() override {
        // Some shell-link objects (Wine's) keep the target only in the system's ANSI
        // code page; where that page has no Japanese, the targets are plain ASCII.
        std::wstring japanese = dir.W() + L"\\\u30c4\u30fc\u30eb.exe"; // ツール.exe
        ASSERT_TRUE(WriteFileW(japanese, "MZ"));
        target = ShellLinkKeepsTarget(dir.W(), japanese) ? japanese : plainDir.W() + L"\\tool.exe";
        ASSERT_TRUE(WriteFileW(target, "MZ"));
    }

    TShellLink Fields(int showCmd) {
        TShellLink s;
        s.Target = target;
        s.WorkDir = dir.W();
        s.Arguments = L"/open \"\u8a2d\u5b9a.ini\""; // /open "設定.ini"
        s.IconPath = L"C:\\windows\\system32\\shell32.dll";
        s.IconIndex = 12;
        s.ShowCmd = showCmd;
        s.HotKey = 0x0641; // Ctrl+Alt+A
        return s;
    }
};

class ShellShortcutShowCmd : public ShellShortcut,
                             public ::testing::WithParamInterface<std::pair<int, WNDSTATE>> {};

TEST_P(ShellShortcutShowCmd, AnalysesEveryPropertyOfARealShortcut) {
    int showCmd = GetParam().first;
    std::wstring file = dir.W() + L"\\\u30e1\u30e2 " + std::to_wstring(showCmd) + L".lnk"; // メモ N.lnk
    ASSERT_EQ(WriteShortcutWithShell(file, Fields(showCmd)), S_OK);

    ASSERT_EQ(sc.AnalizeLink(platform::NarrowForDisplay(file)), 0);
    EXPECT_EQ(sc.SCDir, dir.A());
    EXPECT_EQ(sc.SCName, "メモ " + std::to_string(showCmd));
    EXPECT_EQ(W(sc.LinkPath), target);
    EXPECT_EQ(sc.WorkDir, dir.A());
    EXPECT_EQ(sc.Argument, "/open \"設定.ini\"");
    EXPECT_EQ(sc.IconPath, "C:\\windows\\system32\\shell32.dll");
    EXPECT_EQ(sc.IconNo, 12);
    // Only maximised and minimised are states a shortcut can hold; the shell reads
    // every other value as SW_SHOWNORMAL.
    EXPECT_EQ(sc.ShowCmd(), showCmd == 3 || showCmd == 7 ? showCmd : SW_SHOWNORMAL);
    EXPECT_EQ(sc.GetWndState(), GetParam().second);
    EXPECT_EQ(sc.HotKey(), 0x0641);
    EXPECT_EQ(sc.GetSCKey(), scCtrl | scAlt | 0x41);
}

INSTANTIATE_TEST_SUITE_P(ShowCommands, ShellShortcutShowCmd,
                         ::testing::Values(std::make_pair(1, WNDSTATE::Normal),
                                           std::make_pair(2, WNDSTATE::Normal),
                                           std::make_pair(3, WNDSTATE::Maximize),
                                           std::make_pair(5, WNDSTATE::Normal),
                                           std::make_pair(7, WNDSTATE::Minimize)));

TEST_F(ShellShortcut, AFailedAnalysisKeepsThePreviousProperties) {
    std::wstring good = dir.W() + L"\\good.lnk";
    ASSERT_EQ(WriteShortcutWithShell(good, Fields(3)), S_OK);
    ASSERT_EQ(sc.AnalizeLink(dir.A() + "\\good.lnk"), 0);

    // A valid shortcut whose extension is written in capitals is refused as it is.
    std::wstring capital = dir.W() + L"\\capital.LNK";
    ASSERT_EQ(WriteShortcutWithShell(capital, Fields(7)), S_OK);
    EXPECT_EQ(sc.AnalizeLink(dir.A() + "\\capital.LNK"), -1);
    // Not a shortcut at all, a missing file, and no extension.
    ASSERT_TRUE(WriteFileW(dir.W() + L"\\text.lnk", "just text, no shortcut"));
    EXPECT_EQ(sc.AnalizeLink(dir.A() + "\\text.lnk"), -1);
    EXPECT_EQ(sc.AnalizeLink(dir.A() + "\\missing.lnk"), -1);
    EXPECT_EQ(sc.AnalizeLink(dir.A() + "\\good"), -1);
    EXPECT_EQ(sc.AnalizeLink(dir.A() + "\\good.lnk\\x"), -1);

    EXPECT_EQ(sc.SCName, "good");
    EXPECT_EQ(W(sc.LinkPath), target);
    EXPECT_EQ(sc.GetWndState(), WNDSTATE::Maximize);
    EXPECT_EQ(sc.IconNo, 12);
}

TEST_F(ShellShortcut, ATargetCodePage932CannotHoldIsTakenExactly) {
    // "한" (Hangul) has no code page 932 form; storing it as '?' would point nowhere.
    std::wstring foreign = dir.W() + L"\\\ud55c.exe";
    ASSERT_TRUE(WriteFileW(foreign, "MZ"));
    std::string narrowed;
    EXPECT_FALSE(platform::Narrow(foreign, narrowed));
    TShellLink fields = Fields(1);
    fields.Target = foreign;
    ASSERT_EQ(WriteShortcutWithShell(dir.W() + L"\\foreign.lnk", fields), S_OK);
    if (!ShellLinkKeepsTarget(dir.W(), foreign)) {
        // This shell link lost the name's characters on the way: it points nowhere.
        EXPECT_EQ(sc.AnalizeLink(dir.A() + "\\foreign.lnk"), -1);
        return;
    }
    ASSERT_EQ(sc.AnalizeLink(dir.A() + "\\foreign.lnk"), 0);
    EXPECT_EQ(platform::Widen(sc.LinkPath), foreign);
}

TEST_F(ShellShortcut, CreatedShortcutsReadBackThroughTheShell) {
    sc.SCDir = dir.A();
    sc.SCName = "作成 テスト";
    sc.LinkPath = platform::NarrowForDisplay(target);
    sc.WorkDir = dir.A();
    sc.Argument = "-a \"表 示\"";
    sc.IconPath = "C:\\windows\\system32\\shell32.dll";
    sc.IconNo = 4;
    sc.SetWndState(WNDSTATE::Minimize);
    sc.SetSCKey(scCtrl | scAlt | 0x41);
    EXPECT_EQ(sc.CreateLink(), S_OK);

    std::wstring file = dir.W() + L"\\\u4f5c\u6210 \u30c6\u30b9\u30c8.lnk";
    TShellLink read;
    ASSERT_EQ(ReadShortcutWithShell(file, read), S_OK);
    EXPECT_EQ(read.Target, target);
    EXPECT_EQ(read.WorkDir, dir.W());
    EXPECT_EQ(read.Arguments, L"-a \"\u8868 \u793a\"");
    EXPECT_EQ(read.IconPath, L"C:\\windows\\system32\\shell32.dll");
    EXPECT_EQ(read.IconIndex, 4);
    EXPECT_EQ(HeaderShowCmd(file), 7);
    EXPECT_EQ(read.HotKey, 0x0641);

    // The state Normal is stored as SW_SHOW and reads back as Normal.
    sc.SetWndState(WNDSTATE::Normal);
    EXPECT_EQ(sc.CreateLink(), S_OK);
    EXPECT_EQ(HeaderShowCmd(file), 5);

    TSCMake again;
    ASSERT_EQ(again.AnalizeLink(platform::NarrowForDisplay(file)), 0);
    EXPECT_EQ(again.GetWndState(), WNDSTATE::Normal);
    EXPECT_EQ(again.GetSCKey(), scCtrl | scAlt | 0x41);
    EXPECT_EQ(again.Argument, sc.Argument);
}

TEST_F(ShellShortcut, CreateLinkDropsModifiersWithoutAKey) {
    sc.SCDir = dir.A();
    sc.SCName = "mods";
    sc.LinkPath = platform::NarrowForDisplay(target);
    sc.SetSCKey(scCtrl | scAlt);
    EXPECT_EQ(sc.HotKey(), 0);
    ASSERT_EQ(sc.CreateLink(), S_OK);
    TShellLink read;
    ASSERT_EQ(ReadShortcutWithShell(dir.W() + L"\\mods.lnk", read), S_OK);
    EXPECT_EQ(read.HotKey, 0);
    // A shortcut whose folder is given with its separator is saved in it all the same.
    sc.SCDir = dir.A() + "\\";
    sc.SCName = "root";
    EXPECT_EQ(sc.CreateLink(), S_OK);
    EXPECT_TRUE(ExistsW(dir.W() + L"\\root.lnk"));
}

TEST_F(ShellShortcut, CreateLinkWritesNothingWithoutNameFolderAndTarget) {
    sc.SCDir = dir.A();
    sc.SCName = "x";
    EXPECT_EQ(sc.CreateLink(), -1);
    sc.LinkPath = "C:\\a.exe";
    sc.SCName = "";
    EXPECT_EQ(sc.CreateLink(), -1);
    sc.SCName = "x";
    sc.SCDir = "";
    EXPECT_EQ(sc.CreateLink(), -1);
    EXPECT_FALSE(ExistsW(dir.W() + L"\\x.lnk"));
    // A name too long for the shell is refused rather than cut to another name.
    sc.SCDir = dir.A();
    sc.SCName = std::string(300, 'n');
    EXPECT_LT(sc.CreateLink(), 0);
    EXPECT_FALSE(ExistsW(dir.W() + L"\\" + std::wstring(250, L'n')));
}

TEST_F(ShellShortcut, TheSystemLayerAnalysesThroughTheConnectedComponent) {
    std::wstring file = dir.W() + L"\\sys.lnk";
    ASSERT_EQ(WriteShortcutWithShell(file, Fields(7)), S_OK);
    platform::TLinkInfo info;
    ConnectShortcutAnalyser(nullptr);
    EXPECT_EQ(platform::Win32System().AnalyseShortcut(dir.A() + "\\sys.lnk", info), -1);

    ConnectShortcutAnalyser(&sc);
    EXPECT_EQ(platform::Win32System().AnalyseShortcut(dir.A() + "\\sys.lnk", info), 0);
    ConnectShortcutAnalyser(nullptr);
    EXPECT_EQ(W(info.LinkPath), target);
    EXPECT_EQ(info.SCName, "sys");
    EXPECT_EQ(info.SCDir, dir.A());
    EXPECT_EQ(info.ShowCmd, 7);
    EXPECT_EQ(info.HotKey, 0x0641);
    EXPECT_EQ(info.IconNo, 12);
    EXPECT_EQ(info.Argument, "/open \"設定.ini\"");
}

} // namespace
