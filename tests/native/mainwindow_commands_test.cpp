// The main window's command decisions: menu enabling for items and pages, page
// captions, dropped files as parameters, refused drops and launch errors.
#include <gtest/gtest.h>

#include "mainwindow/commandstate.h"
#include "model/item.h"
#include "platform/text.h"

TEST(ItemMenuState, AnEmptyPageSlotOffersEditAndPasteOnly) {
    TItem empty(false);
    TItemMenuState s = ItemMenuState(empty, false, false, false, true);
    EXPECT_TRUE(s.Edit);
    EXPECT_TRUE(s.Paste);
    EXPECT_FALSE(s.Copy);
    EXPECT_FALSE(s.Cut);
    EXPECT_FALSE(s.Delete) << "Del on an empty page slot does nothing";
    EXPECT_FALSE(s.Exchange);
    EXPECT_FALSE(s.Insert) << "page slots are never inserted";
    EXPECT_FALSE(ItemMenuState(empty, false, false, true, true).Paste) << "nothing to paste";
}

TEST(ItemMenuState, AUsedItemCanBeCopiedCutDeletedAndExchangedOnlyWithASource) {
    TItem item(false);
    item.Path = "C:\\Tools\\calc.exe";
    TItemMenuState s = ItemMenuState(item, false, false, false, false);
    EXPECT_TRUE(s.Copy);
    EXPECT_TRUE(s.Cut);
    EXPECT_TRUE(s.Delete);
    EXPECT_FALSE(s.Paste) << "paste only into an empty slot";
    EXPECT_FALSE(s.Exchange) << "no copy source";
    EXPECT_TRUE(ItemMenuState(item, false, false, false, true).Exchange);
    EXPECT_FALSE(s.LFol);
    item.LFol = "C:\\Tools";
    item.LHelp = "C:\\Tools\\calc.hlp";
    s = ItemMenuState(item, false, false, false, false);
    EXPECT_TRUE(s.LFol);
    EXPECT_TRUE(s.LHelp);
}

TEST(ItemMenuState, TheEditLockLeavesCopyAndTheRelatedFilesOnly) {
    TItem item(false);
    item.Path = "C:\\Tools\\calc.exe";
    item.LFol = "C:\\Tools";
    TItemMenuState s = ItemMenuState(item, false, true, false, true);
    EXPECT_TRUE(s.Copy);
    EXPECT_TRUE(s.LFol);
    EXPECT_FALSE(s.Edit);
    EXPECT_FALSE(s.Delete);
    EXPECT_FALSE(s.Cut);
    EXPECT_FALSE(s.Exchange);
    TItem empty(false);
    EXPECT_FALSE(ItemMenuState(empty, false, true, false, true).Paste);
}

TEST(ItemMenuState, TheIndependentRowDeletesAndInsertsEvenUnderTheLock) {
    TItem empty(false);
    TItemMenuState s = ItemMenuState(empty, true, true, true, false);
    EXPECT_TRUE(s.Delete);
    EXPECT_TRUE(s.Insert);
    EXPECT_FALSE(s.Edit);
}

TEST(PageMenuState, MovesFollowThePositionAndDeleteNeedsASecondPage) {
    TPageMenuState first = PageMenuState(false, 0, 3);
    EXPECT_TRUE(first.Rename);
    EXPECT_TRUE(first.NewPage);
    EXPECT_TRUE(first.Delete);
    EXPECT_FALSE(first.Up);
    EXPECT_TRUE(first.Down);
    TPageMenuState last = PageMenuState(false, 2, 3);
    EXPECT_TRUE(last.Up);
    EXPECT_FALSE(last.Down);
    TPageMenuState only = PageMenuState(false, 0, 1);
    EXPECT_FALSE(only.Delete) << "the last page is never deleted";
    EXPECT_FALSE(only.Up);
    EXPECT_FALSE(only.Down);
}

TEST(PageMenuState, TheEditLockDisablesEveryPageCommand) {
    TPageMenuState s = PageMenuState(true, 1, 3);
    EXPECT_FALSE(s.Rename || s.NewPage || s.Delete || s.Up || s.Down);
}

TEST(DoubleAmpersands, EveryAmpersandShowsLiterally) {
    EXPECT_EQ("Tools && Games", DoubleAmpersands("Tools & Games"));
    EXPECT_EQ("&&&&", DoubleAmpersands("&&")) << "what was inserted is not scanned again";
    EXPECT_EQ("無題", DoubleAmpersands("無題"));
    EXPECT_EQ("表&&示", DoubleAmpersands("表&示")) << "a trail byte 0x5C beside it stays whole";
    EXPECT_EQ("", DoubleAmpersands(""));
}

TEST(JoinDropParameters, EachPathQuotedAndSeparatedByOneSpace) {
    EXPECT_EQ("\"C:\\a b.txt\"", JoinDropParameters({"C:\\a b.txt"}));
    EXPECT_EQ("\"C:\\a.txt\" \"C:\\データ\\b.doc\" \"D:\\c\"",
              JoinDropParameters({"C:\\a.txt", "C:\\データ\\b.doc", "D:\\c"}));
    EXPECT_EQ("", JoinDropParameters({}));
}

TEST(DropRefusal, NamesThatCannotBeKeptRefuseTheWholeDrop) {
    std::string ok = "C:\\データ\\設定.txt";
    EXPECT_EQ("", DropRefusal({{ok, true, ok}}));

    std::string refusal = DropRefusal({{ok, true, ok}, {"", false, "C:\\??.txt"}});
    EXPECT_NE(std::string::npos, refusal.find("扱えない文字")) << platform::Cp932ToUtf8(refusal);
    EXPECT_NE(std::string::npos, refusal.find("C:\\??.txt")) << "the name is shown";

    // 259 characters are kept; one more is refused. Counted in characters, not bytes.
    std::string longest = "C:\\" + std::string(250, 'a') + "\\b.txt";
    longest.resize(259);
    EXPECT_EQ("", DropRefusal({{longest, true, longest}}));
    std::string tooLong = longest + "x";
    EXPECT_NE(std::string::npos, DropRefusal({{tooLong, true, tooLong}}).find("長すぎます"));
    std::string japanese = "C:\\";
    while (platform::Widen(japanese).size() < 259)
        japanese += "あ";
    EXPECT_EQ(259u, platform::Widen(japanese).size());
    EXPECT_GT(japanese.size(), 259u) << "more bytes than characters";
    EXPECT_EQ("", DropRefusal({{japanese, true, japanese}}));
}

TEST(LaunchErrorText, MissingFilesAreNamedAsSuch) {
    EXPECT_EQ("ファイルまたはパスが見つかりません。", LaunchErrorText(2));
    EXPECT_EQ("ファイルまたはパスが見つかりません。", LaunchErrorText(3));
    EXPECT_EQ("ファイルオープン時にエラーが発生しました。", LaunchErrorText(0));
    EXPECT_EQ("ファイルオープン時にエラーが発生しました。", LaunchErrorText(31));
}
