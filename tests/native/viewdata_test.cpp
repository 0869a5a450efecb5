// View settings and their font: defaults, the stored order (7 before 6), the
// start-position capture, the mode's low byte, and the framework font.
#include <gtest/gtest.h>

#include "model/viewdata.h"
#include "support/fake_host.h"
#include "support/model_env.h"
#include "support/ybfs_bytes.h"

TEST(ViewData, DefaultsAreWrittenInTheStoredOrder) {
    TViewData v; // 0 to 5, then 7 before the font 6, then 8 to 12
    EXPECT_EQ(Serialise(v), DefaultViewBody().Bytes());
}

TEST(ViewData, MissingIdsKeepDefaultsAndUnknownIdsSurvive) {
    TViewData v;
    v.ItemWidth = 300;
    v.Font->Size = 20;
    // No font at all, an unknown id: cleared to defaults first, then read.
    Parse(v, TBody().I32(3, 90).I32(77, 1).Bytes());
    EXPECT_EQ(v.ItemWidth, 84);
    EXPECT_EQ(v.ItemHeight, 90);
    EXPECT_EQ(v.Font->Size, 9);
    // A font without its style keeps style 0, with an unknown id of its own.
    Parse(v, TBody().Obj(6, TBody().I32(2, 14).Str(8, "x")).Bytes());
    EXPECT_EQ(v.Font->Size, 14);
    EXPECT_EQ(v.Font->Style, 0);
    EXPECT_EQ(v.Font->Name, "ＭＳ Ｐゴシック");
    std::vector<uint8_t> saved = Serialise(v);
    TBody font = TBody().I32(0, 0x80000008).Str(1, "ＭＳ Ｐゴシック").I32(2, 14).U8(3, 0).Str(8, "x");
    std::vector<uint8_t> fontBytes = TBody().Obj(6, font).Bytes();
    fontBytes.resize(fontBytes.size() - 2);
    EXPECT_NE(std::search(saved.begin(), saved.end(), fontBytes.begin(), fontBytes.end()), saved.end());
    // A variable of the wrong size fails the read.
    EXPECT_THROW(Parse(v, TBody().I16(1, 5).Bytes()), YBFS::EReadTypeError);
}

TEST(ViewData, LastExitModeStoresTheWindowPositionOnWriting) {
    TFakeHost host;
    host.Position = {120, -40};
    TViewData& v = host.View;
    v.StartPos = spFixed;
    v.Left = 7;
    Serialise(v);
    EXPECT_EQ(v.Left, 7);
    v.StartPos = spLastExit;
    std::vector<uint8_t> bytes = Serialise(v);
    EXPECT_EQ(v.Left, 120);
    EXPECT_EQ(v.Top, -40);

    TViewData back;
    Parse(back, bytes);
    EXPECT_EQ(back.StartPos, spLastExit);
    EXPECT_EQ(back.Top, -40);
    Parse(back, TBody().I32(9, 0x7A5B3C03).Bytes()); // only the low byte is the mode
    EXPECT_EQ(back.StartPos, spFixed);
}

TEST(YFont, AppliesToAndTakesFromAFrameworkFont) {
    TYFont f;
    platform::TFontSpec framework;
    framework.Charset = 0;
    framework.Name = "other";
    f.AssignTo(&framework);
    EXPECT_EQ(framework.Name, "ＭＳ Ｐゴシック");
    EXPECT_EQ(framework.Size, 9);
    EXPECT_EQ(framework.Color, platform::clWindowText);
    EXPECT_EQ(framework.Style, 0);
    EXPECT_EQ(framework.Charset, 128);
    f.AssignTo(nullptr);

    framework.Name = "Meiryo";
    framework.Size = 11;
    framework.Style = platform::fsBold | platform::fsStrikeOut;
    framework.Color = 0x123456;
    framework.Charset = 0;
    f.AssignFrom(&framework);
    f.AssignFrom(nullptr);
    EXPECT_EQ(f.Name, "Meiryo");
    EXPECT_EQ(f.Style, platform::fsBold | platform::fsStrikeOut);
    EXPECT_EQ(f.Color, 0x123456u);

    Parse(f, TBody().Str(1, "X").I32(50, 3).Bytes());
    TYFont copy;
    copy = f;
    EXPECT_EQ(copy.Name, "X");
    EXPECT_EQ(copy.Size, 11); // kept: the font has no defaults of its own on reading
    EXPECT_EQ(Serialise(copy), Serialise(f));
}
