// The main window's command decisions: the independent row's item menu, page
// captions, dropped files as parameters, refused drops and launch errors.
#include <gtest/gtest.h>

#include "mainwindow/commandstate.h"
#include "model/item.h"
#include "platform/text.h"

TEST(ItemMenuState, TheIndependentRowInsertsAndRemovesEmptySlotsUnderTheLockButKeepsItsItems) {
    TItem empty(false);
    TItemMenuState row = ItemMenuState(empty, true, true, true, false);
    EXPECT_TRUE(row.Delete);
    EXPECT_TRUE(row.Insert);
    EXPECT_FALSE(row.Edit);
    TItem used(false);
    used.Path = "C:\\tools\\app.exe";
    EXPECT_FALSE(ItemMenuState(used, true, true, true, false).Delete)
        << "the lock keeps what the user stored";
    EXPECT_TRUE(ItemMenuState(used, true, false, true, false).Delete);
    TItemMenuState grid = ItemMenuState(empty, false, false, false, true);
    EXPECT_FALSE(grid.Delete) << "an empty page slot has nothing to delete";
    EXPECT_FALSE(grid.Insert);
    EXPECT_FALSE(grid.Exchange) << "nothing to exchange with an empty slot";
    EXPECT_TRUE(grid.Paste);
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
    std::string ok = "C:\\データ\\設定.txt", korean = platform::FromWide(L"C:\\\xD55C\xAD6D.txt");
    EXPECT_EQ("", DropRefusal({{ok, ok}, {korean, korean}})) << "any character is kept";

    // 259 characters are kept; one more is refused. Counted in characters, not bytes.
    std::string longest = "C:\\" + std::string(250, 'a') + "\\b.txt";
    longest.resize(259);
    EXPECT_EQ("", DropRefusal({{longest, longest}}));
    std::string tooLong = longest + "x";
    EXPECT_NE(std::string::npos, DropRefusal({{tooLong, tooLong}}).find("長すぎます"));
    std::string japanese = "C:\\";
    while (platform::Widen(japanese).size() < 259)
        japanese += "あ";
    EXPECT_EQ(259u, platform::Widen(japanese).size());
    EXPECT_GT(japanese.size(), 259u) << "more bytes than characters";
    EXPECT_EQ("", DropRefusal({{japanese, japanese}}));
}

TEST(LaunchErrorText, MissingFilesAreNamedAsSuch) {
    EXPECT_EQ("ファイルまたはパスが見つかりません。", LaunchErrorText(2));
    EXPECT_EQ("ファイルまたはパスが見つかりません。", LaunchErrorText(3));
    EXPECT_EQ("ファイルオープン時にエラーが発生しました。", LaunchErrorText(0));
    EXPECT_EQ("ファイルオープン時にエラーが発生しました。", LaunchErrorText(31));
}
