// Item faces and title fitting, measured with a fixed 6 pixels per byte and
// 12-pixel lines.
#include <gtest/gtest.h>

#include "mainwindow/itemface.h"
#include "model/iconlist.h"
#include "model/item.h"
#include "support/fake_canvas.h"
#include "support/fake_system.h"

namespace {

struct TTitle {
    platform::TPixmap Target{100, 100};
    TFakeCanvas Canvas{Target};
    std::vector<std::string> Lines(const std::string& text, int width) {
        Canvas.Texts.clear();
        DrawTitle(text, Canvas, 10, 20, 10 + width, 60);
        std::vector<std::string> lines;
        for (auto& t : Canvas.Texts)
            lines.push_back(t.Text);
        return lines;
    }
};

typedef std::vector<std::string> Lines;

} // namespace

TEST(DrawTitle, ATitleThatFitsIsOneCentredLine) {
    TTitle t;
    EXPECT_EQ(t.Lines("ab cd", 60), Lines{"ab cd"});
    EXPECT_EQ(t.Canvas.Texts[0].X, 10 + (60 - 30) / 2);
    EXPECT_EQ(t.Canvas.Texts[0].Y, 20 + (40 - 12) / 2);
}

TEST(DrawTitle, BreaksPreferBlanksThenTheNarrowerWiderHalfThenTheFirst) {
    TTitle t;
    // A break at the space beats the narrower break "ab cde" / "fghijk".
    EXPECT_EQ(t.Lines("ab cdefghijk", 60), (Lines{"ab", " cdefghijk"}));
    // The second line is right-aligned, the free height shared 1/4, 1/2, 1/4.
    int g = (40 - 24) / 2;
    EXPECT_EQ(t.Canvas.Texts[0].X, 10);
    EXPECT_EQ(t.Canvas.Texts[0].Y, 20 + g / 2);
    EXPECT_EQ(t.Canvas.Texts[1].X, 70 - 60);
    EXPECT_EQ(t.Canvas.Texts[1].Y, 20 + 12 + 3 * g / 2);
    // Of two space breaks the one with the narrower wider half wins ...
    EXPECT_EQ(t.Lines("aa bbbbb cccc", 66), (Lines{"aa bbbbb", " cccc"}));
    // ... and on equal widths the first.
    EXPECT_EQ(t.Lines("aaaa bb cccc", 60), (Lines{"aaaa", " bb cccc"}));
    // The full-width space is a blank too.
    EXPECT_EQ(t.Lines("あいう　えおか", 48), (Lines{"あいう", "　えおか"}));
}

TEST(DrawTitle, JapaneseTextBreaksBetweenCharacters) {
    TTitle t;
    EXPECT_EQ(t.Lines("あいうえおかきくけこ", 66), (Lines{"あいうえお", "かきくけこ"}));
    EXPECT_EQ(t.Lines("表示表示表", 42), (Lines{"表示", "表示表"}));
}

TEST(DrawTitle, AWordThatCannotBeSplitIsShortenedWithDots) {
    TTitle t;
    EXPECT_EQ(t.Lines("abcdefghijklmnopqrstuvwxyz", 60), (Lines{"abcdefghij", "klmnopq..."}));
    // 57 pixels hold 9 bytes: the tenth is a trail byte, so the cut falls before its character.
    EXPECT_EQ(t.Lines("あいうえおかきくけこさしすせそたちつてと", 57), (Lines{"あいうえ", "おかき..."}));
}

TEST(ItemFace, PageFaceFillsDrawsTheIconAndTheTitleBelowIt) {
    TFakeSystem sys;
    TIconList icons;
    TFaceStyle style;
    style.ItemWidth = 84;
    style.ItemHeight = 76;
    style.SelColor = 0x000000FF;
    style.ItemFont.Name = "face";
    style.Icons = &icons;
    TItem item(false);
    item.Name = "abc";

    platform::TPixmap face(80, 72, 0x123456);
    TFakeCanvas canvas(face);
    DrawItemFace(style, item, canvas, false);
    EXPECT_TRUE(canvas.Texts.empty()); // empty item: the plain colour only
    EXPECT_EQ(face.Pixel(79, 71), 0x00C0C0C0u);

    item.Path = "C:\\a.exe";
    item.ImageIndex = -1;
    DrawItemFace(style, item, canvas, false);
    EXPECT_TRUE(canvas.Rops.empty());
    ASSERT_EQ(canvas.Texts.size(), 1u);
    EXPECT_EQ(canvas.Font.Name, "face");
    // w = 76, h = 68: the title centred in (2, 36)-(78, 70).
    EXPECT_EQ(canvas.Texts[0].X, 2 + (76 - 18) / 2);
    EXPECT_EQ(canvas.Texts[0].Y, 36 + (34 - 12) / 2);

    platform::TIconImage red = TFakeSystem::SolidIcon(0x00FF0000);
    item.ImageIndex = -1;
    icons.SetIcon(item.ImageIndex, &red);
    canvas.Texts.clear();
    DrawItemFace(style, item, canvas, true);
    EXPECT_EQ(canvas.Texts[0].X, 4 + (76 - 18) / 2); // pressed: 2 pixels right and down
    // Icon at x = 4 + 22, y = 4 + 1; its transparent frame shows the selected colour.
    EXPECT_EQ(face.Pixel(26, 5), 0x00FF0000u);
    EXPECT_EQ(face.Pixel(27, 6), 0x00FF0000u);
    EXPECT_EQ(face.Pixel(25, 5), 0x00FF0000u); // outside the icon: the selected colour
    EXPECT_EQ(face.Pixel(40, 20), 0x00FF0000u);
    style.SelColor = 0x0000FF00;
    DrawItemFace(style, item, canvas, true);
    EXPECT_EQ(face.Pixel(26, 5), 0x0000FF00u);  // frame: the brush
    EXPECT_EQ(face.Pixel(40, 20), 0x00FF0000u); // inside: the icon

    platform::TPixmap ind(36, 36);
    TFakeCanvas indCanvas(ind);
    DrawIndFace(style, item, indCanvas, false);
    EXPECT_TRUE(indCanvas.Texts.empty());
    EXPECT_EQ(ind.Pixel(2, 2), 0x00C0C0C0u);   // frame of the icon at (2, 2)
    EXPECT_EQ(ind.Pixel(10, 10), 0x00FF0000u); // the icon
    EXPECT_EQ(ind.Pixel(35, 35), 0x00C0C0C0u);
}

namespace {

// The smallest rectangle around the pixels of one colour.
platform::TRect Extent(const platform::TPixmap& image, uint32_t pixel) {
    platform::TRect r(image.Width(), image.Height(), -1, -1);
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            if (image.Pixel(x, y) == pixel) {
                r.Left = std::min(r.Left, x), r.Top = std::min(r.Top, y);
                r.Right = std::max(r.Right, x + 1), r.Bottom = std::max(r.Bottom, y + 1);
            }
    return r;
}

// The red icon is drawn at 32 x 32 at most, inside the square of 32 at (left, top).
void ExpectIconIn(const platform::TPixmap& image, int left, int top) {
    platform::TRect icon = Extent(image, 0x00FF0000);
    EXPECT_LE(icon.Width(), 32);
    EXPECT_GE(icon.Left, left);
    EXPECT_LE(icon.Right, left + 32);
    EXPECT_GE(icon.Top, top);
    EXPECT_LE(icon.Bottom, top + 32);
}

} // namespace

// At 150 % the face is the scaled button less its scaled bevel, the title's place
// scales with it, and the 32 x 32 icon is drawn at its own size in the middle of
// its scaled place, never stretched.
TEST(ItemFace, AtAnotherScaleTheFaceGrowsAndTheIconKeepsItsPixels) {
    TFakeSystem sys;
    TIconList icons;
    TFaceStyle style;
    style.Scale = TDpiScale(144);
    style.SelColor = 0x0000FF00;
    style.Icons = &icons;
    ASSERT_EQ(style.FaceWidth(), 126 - 6);
    ASSERT_EQ(style.FaceHeight(), 114 - 6);
    ASSERT_EQ(style.IndFaceSize(), 60 - 6);
    TItem item(false);
    item.Name = "abc";
    item.Path = "C:\\a.exe";
    platform::TIconImage red = TFakeSystem::SolidIcon(0x00FF0000);
    icons.SetIcon(item.ImageIndex, &red);

    platform::TPixmap face(style.FaceWidth(), style.FaceHeight());
    TFakeCanvas canvas(face);
    DrawItemFace(style, item, canvas, false);
    // w = 114, h = 102 inside a border of 3; the icon's place is 48 x 48 at
    // (3 + 33, 3 + 1), the icon 32 x 32 in its middle.
    ExpectIconIn(face, 36 + 8, 4 + 8);
    int iconLeft = Extent(face, 0x00FF0000).Left;
    ASSERT_EQ(canvas.Texts.size(), 1u);
    EXPECT_EQ(canvas.Texts[0].X, 3 + (114 - 18) / 2);
    EXPECT_EQ(canvas.Texts[0].Y, 3 + 51 + (51 - 12) / 2);

    canvas.Texts.clear();
    DrawItemFace(style, item, canvas, true);
    EXPECT_EQ(canvas.Texts[0].X, 6 + (114 - 18) / 2) << "pressed: the scaled 2 pixels";
    EXPECT_EQ(Extent(face, 0x00FF0000).Left, iconLeft + 3);

    platform::TPixmap ind(style.IndFaceSize(), style.IndFaceSize());
    TFakeCanvas indCanvas(ind);
    DrawIndFace(style, item, indCanvas, false);
    ExpectIconIn(ind, 3 + 8, 3 + 8);
    EXPECT_EQ(ind.Pixel(53, 53), 0x00C0C0C0u);
}
