// Type to find: the search text, the comparison of titles in code page 932, and the
// order in which pages and slots are searched.
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "mainwindow/look.h"
#include "mainwindow/typefind.h"
#include "model/viewdata.h"

namespace {

// Pages of `slots` slots; the titles are placed at (page, slot), the rest are empty.
struct TTitles {
    int Pages, Slots;
    std::map<std::pair<int, int>, std::string> At;
    TTitleSource Source() {
        TTitleSource s;
        s.Pages = Pages;
        s.SlotCount = [this](int) { return Slots; };
        s.TitleAt = [this](int p, int slot) -> const std::string* {
            auto it = At.find({p, slot});
            return it == At.end() ? nullptr : &it->second;
        };
        return s;
    }
};

bool Found(const TFoundSlot& f, int page, int slot) {
    return f.Page == page && f.Slot == slot;
}

} // namespace

TEST(TypeFind, LettersWithinASecondMakeOneTextAndAPauseStartsANewOne) {
    TTypedText t;
    EXPECT_EQ("n", t.Add("n", 5000));
    EXPECT_FALSE(t.Continued());
    EXPECT_EQ("no", t.Add("o", 6000));
    EXPECT_TRUE(t.Continued());
    EXPECT_EQ("t", t.Add("t", 7001));
    EXPECT_FALSE(t.Continued());
    // The millisecond clock wraps round after 49 days.
    t.Add("a", 0xFFFFFF00u);
    EXPECT_EQ("ab", t.Add("b", 0x100u));
}

TEST(TypeFind, TitlesCompareWithoutCaseAndDoubleByteCharactersWhole) {
    EXPECT_TRUE(TitleStartsWith("Notepad", "NOTE"));
    EXPECT_TRUE(TitleStartsWith("notepad", "nOtEpAd"));
    EXPECT_FALSE(TitleStartsWith("Note", "Notes"));
    EXPECT_TRUE(TitleStartsWith("計算表", "計算"));
    EXPECT_FALSE(TitleStartsWith("計算表", "計画"));
    // Full-width Latin letters of either case are alike ("Ｗｏｒｄ" typed as "ｗ").
    EXPECT_TRUE(TitleStartsWith("\x82\x76\x82\x8F", "\x82\x97"));
    // A trail byte that looks like a Latin letter is no letter: "ア" is 83 41, "a" is not its start.
    EXPECT_FALSE(TitleStartsWith("\x83\x41", "\x83\x61"));
    EXPECT_FALSE(TitleStartsWith("\x83\x41x", "\x83"));
}

TEST(TypeFind, SearchGoesOnFromTheCursorThroughTheFollowingPagesAndRoundAgain) {
    TTitles titles{3, 6, {{{0, 1}, "alpha"}, {{0, 4}, "Apple"}, {{2, 0}, "apricot"}, {{1, 3}, "計算"}}};
    TTitleSource s = titles.Source();
    EXPECT_TRUE(Found(FindTyped(s, 0, -1, "a", false), 0, 1)) << "from before the first slot";
    EXPECT_TRUE(Found(FindTyped(s, 0, 1, "a", false), 0, 4)) << "a new search begins after the cursor";
    EXPECT_TRUE(Found(FindTyped(s, 0, 1, "al", true), 0, 1)) << "a longer text may stay where it is";
    EXPECT_TRUE(Found(FindTyped(s, 0, 4, "a", false), 2, 0)) << "the following pages";
    EXPECT_TRUE(Found(FindTyped(s, 2, 0, "a", false), 0, 1)) << "round to the pages before";
    EXPECT_TRUE(Found(FindTyped(s, 0, 1, "alpha", false), 0, 1)) << "and to the item it started from";
    EXPECT_TRUE(Found(FindTyped(s, 2, 5, "計", false), 1, 3));
    EXPECT_EQ(-1, FindTyped(s, 0, 0, "z", false).Page);
    // One letter again and again goes from title to title that begins with it.
    EXPECT_TRUE(Found(FindTyped(s, 0, 1, "aa", true), 0, 4));
    EXPECT_TRUE(Found(FindTyped(s, 0, 1, "計計", true), 1, 3));
    TTitles none{0, 0, {}};
    EXPECT_EQ(-1, FindTyped(none.Source(), 0, 0, "a", false).Page);
}

TEST(Look, HighContrastTakesTheSystemsColoursAndNormalContrastTheStoredOnes) {
    TViewData view;
    view.BtnColor = 0x00112233;
    view.SelColor = 0x00445566;
    view.BackColor = 0x00778899;
    TLook normal = LookOf(view, false);
    EXPECT_EQ(view.BtnColor, normal.Btn);
    EXPECT_EQ(view.SelColor, normal.Sel);
    EXPECT_EQ(view.BackColor, normal.Back);
    EXPECT_EQ(0x00FF0000u, normal.Focus) << "the blue frame";
    TLook high = LookOf(view, true);
    for (platform::TColor c : {high.Back, high.Btn, high.Sel, high.Text, high.SelText, high.Focus})
        EXPECT_TRUE(platform::IsSystemColor(c)) << std::hex << c;
    EXPECT_NE(high.Sel, high.Btn);
    EXPECT_EQ(0x00112233u, view.BtnColor) << "the stored colour stays";
}
