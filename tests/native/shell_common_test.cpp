// The portable shell helpers on real inputs: paths with Shift-JIS characters whose
// trail byte is '\' or a letter, numbers typed into dialog fields, the multibyte
// scanner with its resume state, and the shortcut value mappings.
#include <gtest/gtest.h>

#include <string>

#include "shell/common.h"
#include "shell/linkstate.h"

namespace {

// "表" is 95 5C: its trail byte is a backslash. "ヂ" is 83 61: its trail byte is 'a'.
const std::string kHyo = "表";
const std::string kDi = "ヂ";

TEST(ShellPaths, LiteralsHaveTheTrailBytesTheTestsRelyOn) {
    ASSERT_EQ(kHyo, std::string("\x95\x5C"));
    ASSERT_EQ(kDi, std::string("\x83\x61"));
}

TEST(ShellPaths, RemoveExtCutsAtTheLastDotWhereverItStands) {
    EXPECT_EQ(RemoveExt("a.b.c"), "a.b");
    EXPECT_EQ(RemoveExt("my.dir\\tool"), "my");
    EXPECT_EQ(RemoveExt("D:\\my.dir\\tool"), "D:\\my");
    EXPECT_EQ(RemoveExt("noext"), "noext");
    EXPECT_EQ(RemoveExt(""), "");
    EXPECT_EQ(RemoveExt("D:\\Tools\\app.exe") + ".hlp", "D:\\Tools\\app.hlp");
}

TEST(ShellPaths, UpperExtTakesOnlyTheLastPathComponent) {
    EXPECT_EQ(GetUpperExt("D:\\dir.x\\file"), "");
    EXPECT_EQ(GetUpperExt("tool.Exe"), ".EXE");
    EXPECT_EQ(GetUpperExt("x.lnk"), ".LNK");
    EXPECT_EQ(GetUpperExt("D:.x"), ".X");
    EXPECT_EQ(GetUpperExt("a.b.c"), ".C");
    EXPECT_EQ(GetUpperExt("dir.x:file"), "");
    EXPECT_EQ(GetUpperExt(""), "");
    EXPECT_EQ(GetExt("x.LNK"), ".LNK");
}

TEST(ShellPaths, UpperExtNeverChangesADoubleByteCharacter) {
    // The trail byte 'a' of "ヂ" stays as it is; the plain letters around it change.
    EXPECT_EQ(GetUpperExt("C:\\x.b" + kDi + "c"), ".B" + kDi + "C");
    EXPECT_EQ(UpperCaseAnsi("ab" + kDi + kHyo + "z"), "AB" + kDi + kHyo + "Z");
}

TEST(ShellPaths, ATrailByteBackslashIsNoSeparator) {
    // A naive search would find the trail byte of "表" after the '.'.
    EXPECT_EQ(GetUpperExt("C:\\x." + kHyo), "." + kHyo);
    EXPECT_EQ(LastPathDelimiter("x." + kHyo), std::string::npos);
    EXPECT_EQ(FileNamePart("D:\\" + kHyo), kHyo);
    EXPECT_EQ(DirectoryPart("D:\\" + kHyo), "D:\\");
    EXPECT_EQ(FileNamePart("D:\\dir\\" + kHyo + ".lnk"), kHyo + ".lnk");
    EXPECT_EQ(DirectoryPart("D:\\" + kHyo + "\\a.exe"), "D:\\" + kHyo);
    // The separator after "表" must not count as a doubled one.
    EXPECT_EQ(DirectoryPart(kHyo + "\\a"), kHyo);
}

TEST(ShellPaths, DirectoryPartKeepsTheSeparatorOfARootAndTheColonOfADrive) {
    EXPECT_EQ(DirectoryPart("D:\\a.exe"), "D:\\");
    // The current folder of drive D:, not a folder named D.
    EXPECT_EQ(DirectoryPart("D:a.exe"), "D:");
    EXPECT_EQ(DirectoryPart("dir.x:file"), "dir.x");
    EXPECT_EQ(DirectoryPart("D:\\dir\\a.exe"), "D:\\dir");
    EXPECT_EQ(DirectoryPart("a.exe"), "");
    EXPECT_EQ(DirectoryPart("D:\\"), "D:\\");
    EXPECT_EQ(DirectoryPart("\\\\server\\share\\x.txt"), "\\\\server\\share");
    EXPECT_EQ(DirectoryPart("\\\\x"), "\\\\");
    EXPECT_EQ(FileNamePart("D:\\"), "");
    EXPECT_EQ(FileNamePart("D:a.exe"), "a.exe");
    EXPECT_EQ(FileNamePart("winword.exe"), "winword.exe");
}

TEST(ShellPaths, EndsWithPathDelimiterIgnoresATrailByte) {
    EXPECT_TRUE(EndsWithPathDelimiter("C:\\"));
    EXPECT_TRUE(EndsWithPathDelimiter("C:\\" + kHyo + "\\"));
    EXPECT_FALSE(EndsWithPathDelimiter("C:\\" + kHyo));
    EXPECT_FALSE(EndsWithPathDelimiter("C:\\Windows"));
    EXPECT_FALSE(EndsWithPathDelimiter(""));
}

TEST(ShellNumbers, StrToIntRangeFallsBackAndClamps) {
    EXPECT_EQ(StrToIntRange("", 1, 100, 5), 5);
    EXPECT_EQ(StrToIntRange("0", 1, 100, 5), 1);
    EXPECT_EQ(StrToIntRange("250", 1, 100, 5), 100);
    EXPECT_EQ(StrToIntRange("42", 1, 100, 5), 42);
    EXPECT_EQ(StrToIntRange(" 42", 1, 100, 5), 42);
    EXPECT_EQ(StrToIntRange("+7", 1, 100, 5), 7);
    EXPECT_EQ(StrToIntRange("-3", -10, 100, 5), -3);
    // The default itself is clamped too.
    EXPECT_EQ(StrToIntRange("x", 1, 100, 500), 100);
}

TEST(ShellNumbers, StrToIntRangeRejectsJunkAndOverflow) {
    EXPECT_EQ(StrToIntRange("99999999999", 1, 100, 5), 5);
    EXPECT_EQ(StrToIntRange("2147483648", 8, 2147483647, 10), 10);
    EXPECT_EQ(StrToIntRange("4294967297", 1, 100, 5), 5); // would wrap to 1 in 32 bits
    EXPECT_EQ(StrToIntRange("2147483647", 8, 2147483647, 10), 2147483647);
    EXPECT_EQ(StrToIntRange("-2147483648", -2147483647 - 1, 0, 10), -2147483647 - 1);
    EXPECT_EQ(StrToIntRange("12abc", 1, 100, 5), 5);
    EXPECT_EQ(StrToIntRange("1 2", 1, 100, 5), 5);
    EXPECT_EQ(StrToIntRange("-", 1, 100, 5), 5);
    EXPECT_EQ(StrToIntRange("0x10", 1, 100, 5), 5);
    EXPECT_EQ(StrToIntRange("１２", 1, 100, 5), 5); // full-width digits are no number
}

struct Sized {
    int Width() const { return 30; }
    int Height() const { return 20; }
};

TEST(ShellRects, HalfOpenExcludesTheRightAndBottomEdges) {
    platform::TRect r = ClientRectOf(Sized());
    EXPECT_EQ(r.Left, 0);
    EXPECT_EQ(r.Right, 30);
    EXPECT_EQ(r.Bottom, 20);
    EXPECT_TRUE(PtInRectHalfOpen({0, 0}, r));
    EXPECT_TRUE(PtInRectHalfOpen({29, 19}, r));
    EXPECT_FALSE(PtInRectHalfOpen({30, 5}, r));
    EXPECT_FALSE(PtInRectHalfOpen({5, 20}, r));
    EXPECT_FALSE(PtInRectHalfOpen({-1, 5}, r));
}

TEST(ShellMbcs, ClassifiesLeadAndTrailBytes) {
    const std::string text = "あa" + kHyo + "ｱ"; // 82 A0, 61, 95 5C, B1 (half-width kana)
    EXPECT_EQ(MbcsByteType(text, 1), TByteType::Lead);
    EXPECT_EQ(MbcsByteType(text, 2), TByteType::Trail);
    EXPECT_EQ(MbcsByteType(text, 3), TByteType::Single);
    EXPECT_EQ(MbcsByteType(text, 4), TByteType::Lead);
    EXPECT_EQ(MbcsByteType(text, 5), TByteType::Trail);
    EXPECT_EQ(MbcsByteType(text, 6), TByteType::Single);
    EXPECT_EQ(MbcsByteType(text, 7), TByteType::Single); // past the end
    EXPECT_EQ(MbcsByteType(text, 0), TByteType::Single);
}

TEST(ShellMbcs, AResumeStateGivesTheSameAnswersWalkingForward) {
    const std::string text = "Aあ" + kHyo + "b" + kDi + "\x81\x40" + "z";
    TMbcsState state;
    for (int i = 1; i <= (int)text.size(); ++i)
        EXPECT_EQ(MbcsByteType(text, i, &state), MbcsByteType(text, i)) << i;
}

TEST(ShellMbcs, TheStateRecordsWhereTheNextCharacterStarts) {
    const std::string text = "あい";
    TMbcsState state;
    EXPECT_EQ(MbcsByteType(text, 1, &state), TByteType::Lead);
    EXPECT_EQ(state.Position, 1);
    EXPECT_EQ(MbcsByteType(text, 2, &state), TByteType::Trail);
    EXPECT_EQ(state.Position, 3);
    EXPECT_EQ(MbcsByteType(text, 3, &state), TByteType::Lead);
    // Scanning really resumes at the state: from position 2 the byte A0 is read as
    // a character of its own.
    state.Position = 2;
    EXPECT_EQ(MbcsByteType(text, 2, &state), TByteType::Single);
    // An index before the state starts again from the beginning.
    state.Position = 4;
    EXPECT_EQ(MbcsByteType(text, 2, &state), TByteType::Trail);
}

TEST(ShellLinkState, ShowCommandsMapToThreeStates) {
    EXPECT_EQ(ShowCmdFromWndState(WNDSTATE::Normal), 5);
    EXPECT_EQ(ShowCmdFromWndState(WNDSTATE::Maximize), 3);
    EXPECT_EQ(ShowCmdFromWndState(WNDSTATE::Minimize), 7);
    EXPECT_EQ(WndStateFromShowCmd(5), WNDSTATE::Normal);
    EXPECT_EQ(WndStateFromShowCmd(1), WNDSTATE::Normal);
    EXPECT_EQ(WndStateFromShowCmd(2), WNDSTATE::Normal); // SW_SHOWMINIMIZED is not "minimised" here
    EXPECT_EQ(WndStateFromShowCmd(0), WNDSTATE::Normal);
    EXPECT_EQ(WndStateFromShowCmd(3), WNDSTATE::Maximize);
    EXPECT_EQ(WndStateFromShowCmd(7), WNDSTATE::Minimize);
}

TEST(ShellLinkState, HotKeysRoundTripAndNeedAKeyCode) {
    EXPECT_EQ(HotKeyFromShortcut(scCtrl | scAlt | 0x41), 0x0641);
    EXPECT_EQ(ShortcutFromHotKey(0x0641), scCtrl | scAlt | 0x41);
    EXPECT_EQ(HotKeyFromShortcut(scShift | 0x70), 0x0170);
    EXPECT_EQ(ShortcutFromHotKey(0x0170), scShift | 0x70);
    EXPECT_EQ(HotKeyFromShortcut(scShift | scCtrl | scAlt | 0x5A), 0x075A);
    EXPECT_EQ(ShortcutFromHotKey(0x075A), scShift | scCtrl | scAlt | 0x5A);
    EXPECT_EQ(HotKeyFromShortcut(scCtrl | scAlt), 0);
    EXPECT_EQ(HotKeyFromShortcut(0), 0);
    EXPECT_EQ(ShortcutFromHotKey(0), 0);
}

} // namespace
