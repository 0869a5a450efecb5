// The canvases behind platform::ICanvas: over a pixel buffer (item faces) and over a
// device context; fonts made from a font description.
#include <windows.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "ui/canvas.h"
#include "ui/font.h"
#include "ui/gdi.h"

using namespace ui;
using platform::TPixmap;
using platform::TRect;

namespace {

platform::TFontSpec Gothic(int size = 9, platform::TColor color = platform::clBlack) {
    platform::TFontSpec f;
    f.Name = "ＭＳ Ｐゴシック";
    f.Size = size;
    f.Color = color;
    return f;
}

int CountPixels(const TPixmap& pm, const TRect& r, uint32_t value) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (pm.Pixel(x, y) == value) ++n;
    return n;
}

// An icon as the icon list draws it: the mask (white where transparent) merged with
// the brush, then the colour cell painted over it.
void DrawIconCells(platform::ICanvas& canvas, const TRect& dst) {
    TPixmap mask(4, 2, 0), colour(4, 2, 0);
    for (int y = 0; y < 2; ++y) {
        mask.SetPixel(0, y, 0x00FFFFFF);
        mask.SetPixel(1, y, 0x00FFFFFF);
        colour.SetPixel(2, y, 0x00FF0000);
        colour.SetPixel(3, y, 0x000000FF);
    }
    canvas.StretchCopy(dst, mask, TRect(0, 0, 4, 2), platform::kMergeCopy);
    canvas.StretchCopy(dst, colour, TRect(0, 0, 4, 2), platform::kSrcPaint);
}

} // namespace

TEST(UiFont, ConvertsPointsToPixelsAndBack) {
    platform::TFontSpec desc = Gothic(9);
    desc.Style = platform::fsBold | platform::fsUnderline;
    LOGFONTW lf = MakeLogFont(desc);
    EXPECT_EQ(-MulDiv(9, ScreenPixelsPerInch(), 72), lf.lfHeight);
    if (ScreenPixelsPerInch() == 96) {
        EXPECT_EQ(-12, lf.lfHeight) << "9 points are 12 pixels";
    }
    EXPECT_EQ(FW_BOLD, lf.lfWeight);
    EXPECT_TRUE(lf.lfUnderline);
    EXPECT_FALSE(lf.lfItalic);
    EXPECT_EQ(128, lf.lfCharSet);

    platform::TFontSpec back;
    ASSERT_TRUE(FontFromLogFont(lf, platform::clBlack, back));
    EXPECT_EQ(desc, back);

    wcscpy(lf.lfFaceName, L"\xD55C\xAE00"); // a face name code page 932 cannot hold
    EXPECT_FALSE(FontFromLogFont(lf, platform::clBlack, back));
    EXPECT_EQ(desc, back) << "left unchanged";
}

TEST(UiFont, OwnsOneHandleAndRemakesItOnlyForANewShape) {
    long live = LiveGdiObjects();
    {
        TFont font(Gothic(9));
        HFONT first = font.Handle();
        EXPECT_NE(nullptr, first);
        platform::TFontSpec red = Gothic(9, 0x000000FF);
        font.Assign(red);
        EXPECT_EQ(first, font.Handle()) << "a new colour needs no new font";
        font.Assign(Gothic(12));
        EXPECT_NE(nullptr, font.Handle());
        EXPECT_EQ(live + 1, LiveGdiObjects()) << "the 9-point font was released";
    }
    EXPECT_EQ(live, LiveGdiObjects());
}

TEST(UiPixmapCanvas, FillsMeasuresAndDrawsJapaneseText) {
    long live = LiveGdiObjects();
    TPixmap face(200, 40, 0x00FF0000);
    {
        TPixmapCanvas canvas(face);
        EXPECT_EQ(200, canvas.Width());
        canvas.SetBrushColor(platform::clWhite);
        canvas.FillRect(TRect(0, 0, 200, 30));
        EXPECT_EQ(0x00FFFFFFu, face.Pixel(0, 0));
        EXPECT_EQ(0x00FF0000u, face.Pixel(0, 30)) << "the fill stops at its rectangle";

        canvas.SetFont(Gothic(9));
        int one = canvas.TextWidth("あ"), three = canvas.TextWidth("あいう");
        EXPECT_GT(one, 0);
        EXPECT_GT(three, 2 * one);
        int h = canvas.TextHeight("あ");
        EXPECT_GE(h, 10);
        EXPECT_EQ(h, canvas.TextHeight("")) << "an empty text is a line high";

        canvas.TextOut(4, 4, "日本語のタイトル");
        int w = canvas.TextWidth("日本語のタイトル");
        TRect box(4, 4, 4 + w, 4 + h);
        int ink = (int)(box.Width() * box.Height()) - CountPixels(face, box, 0x00FFFFFF);
        EXPECT_GT(ink, 20) << "the glyphs changed pixels";
        EXPECT_EQ(0, CountPixels(face, TRect(4 + w + 2, 0, 200, 30), 0x00000000))
            << "nothing right of the text";

        // Text stands on the brush colour: its cells are painted with it.
        canvas.SetBrushColor(0x00FF00FF);
        canvas.TextOut(0, 30, "  ");
        EXPECT_EQ(0x00FF00FFu, face.Pixel(1, 31));
        canvas.SetFont(Gothic(14, 0x00FFFFFF)); // a second font: the first is released
        canvas.TextOut(-5, 35, "端");           // partly outside: clipped, no fault
    }
    EXPECT_EQ(live, LiveGdiObjects()) << "every GDI object released with the canvas";
}

// Faces are drawn one after another through one kept scratch: each must come out as
// a canvas of its own would draw it, whatever font or text size came before, and the
// scratch must keep a fixed number of GDI objects however many faces it draws.
TEST(UiPixmapCanvas, AKeptTextScratchDrawsEveryFaceAsAFreshCanvasWould) {
    struct TFaceText {
        platform::TFontSpec font;
        std::string text;
        int x, y;
    };
    const TFaceText faces[] = {
        {Gothic(9), "ツール 1", 2, 2},
        {Gothic(14, 0x000000FF), "大きな赤い題名です", 0, 10}, // larger: the scratch bitmap grows
        {Gothic(9), "小", 30, 20},                             // back to the first font, a small text
        {Gothic(9, 0x00FF0000), "ツール 2", -6, 25},           // same shape, new colour, clipped left
    };
    long live = LiveGdiObjects();
    {
        TTextScratch scratch;
        long afterFirst = 0;
        for (int round = 0; round < 3; ++round)
            for (const TFaceText& f : faces) {
                TPixmap shared(120, 40, 0x00C0C0C0), own(120, 40, 0x00C0C0C0);
                int sharedWidth, ownWidth;
                {
                    TPixmapCanvas canvas(shared, scratch);
                    canvas.SetBrushColor(0x00E0E0E0);
                    canvas.SetFont(f.font);
                    sharedWidth = canvas.TextWidth(f.text);
                    canvas.TextOut(f.x, f.y, f.text);
                }
                {
                    TPixmapCanvas canvas(own);
                    canvas.SetBrushColor(0x00E0E0E0);
                    canvas.SetFont(f.font);
                    ownWidth = canvas.TextWidth(f.text);
                    canvas.TextOut(f.x, f.y, f.text);
                }
                EXPECT_EQ(ownWidth, sharedWidth) << "measured with the face's own font: " << f.text;
                EXPECT_TRUE(std::equal(shared.Row(0), shared.Row(0) + 120 * 40, own.Row(0)))
                    << "round " << round << ", text " << f.text;
                if (round == 0 && &f == &faces[1]) afterFirst = LiveGdiObjects();
            }
        EXPECT_LE(LiveGdiObjects(), afterFirst) << "no object more for each face drawn";
    }
    EXPECT_EQ(live, LiveGdiObjects()) << "the scratch released its DC, font and bitmap";
}

TEST(UiPixmapCanvas, StretchCopyOfMaskAndColourGivesTheBrushWhereTheMaskIsWhite) {
    TPixmap face(8, 4, 0x00123456);
    TPixmapCanvas canvas(face);
    canvas.SetBrushColor(0x0000FF00); // green, 0x00BBGGRR
    DrawIconCells(canvas, TRect(0, 0, 8, 4));
    EXPECT_EQ(0x0000FF00u, face.Pixel(0, 0)) << "transparent: brush colour";
    EXPECT_EQ(0x0000FF00u, face.Pixel(3, 3));
    EXPECT_EQ(0x00FF0000u, face.Pixel(4, 0)) << "opaque: the icon's colour";
    EXPECT_EQ(0x000000FFu, face.Pixel(7, 3));
}

TEST(UiDCCanvas, DrawsOnADeviceContextLikeThePixmapCanvas) {
    long live = LiveGdiObjects();
    {
        TDibSection dib(8, 4);
        TMemoryDC dc;
        TSelectObject selected(dc.Get(), dib.Get());
        TDCCanvas canvas(dc.Get(), 8, 4);
        canvas.SetBrushColor(0x00123456);
        canvas.FillRect(TRect(0, 0, 8, 4));
        GdiFlush();
        EXPECT_EQ(0x00563412u, dib.Row(0)[0]);
        canvas.SetBrushColor(0x0000FF00);
        DrawIconCells(canvas, TRect(0, 0, 8, 4));
        GdiFlush();
        EXPECT_EQ(0x0000FF00u, dib.Row(0)[0]);
        EXPECT_EQ(0x00FF0000u, dib.Row(0)[4]);
        EXPECT_EQ(0x000000FFu, dib.Row(3)[7]);

        canvas.SetFont(Gothic(9));
        EXPECT_GT(canvas.TextWidth("漢字"), 0);
    }
    EXPECT_EQ(live, LiveGdiObjects());
}

TEST(UiDCCanvas, CopiesOnlyTheSourcePartInsideTheBuffer) {
    TDibSection dib(4, 1);
    TMemoryDC dc;
    TSelectObject selected(dc.Get(), dib.Get());
    TDCCanvas canvas(dc.Get(), 4, 1);
    canvas.SetBrushColor(0);
    canvas.FillRect(TRect(0, 0, 4, 1));
    TPixmap src(2, 1, 0x00FFFFFF);
    // The source rectangle reaches 2 pixels left of the buffer: those stay untouched.
    canvas.StretchCopy(TRect(0, 0, 4, 1), src, TRect(-2, 0, 2, 1), platform::kSrcCopy);
    GdiFlush();
    EXPECT_EQ(0u, dib.Row(0)[0]);
    EXPECT_EQ(0u, dib.Row(0)[1]);
    EXPECT_EQ(0x00FFFFFFu, dib.Row(0)[2]);
    EXPECT_EQ(0x00FFFFFFu, dib.Row(0)[3]);
}
