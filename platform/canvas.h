#pragma once
// The drawing surface that item faces and the icon list paint on. The Win32 layer
// implements it with GDI over a memory bitmap (ui/); tests use a measuring fake.
#include <string>

#include "platform/pixmap.h"
#include "platform/types.h"

namespace platform {

// Style bits of a font, as the data file stores them.
const uint8_t fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8;

// A framework font: what a font object of the widget framework holds.
struct TFontSpec {
    TColor Color = clWindowText;
    std::string Name = "ＭＳ Ｐゴシック";
    int Size = 9;      // points
    uint8_t Style = 0; // fsBold | fsItalic | ...
    int Charset = 128; // Shift-JIS
    // The resolution the points are made pixels at: 0 for the screen's, else a
    // window's own (one on a display of another scale). Never stored.
    int PixelsPerInch = 0;

    bool operator==(const TFontSpec& o) const {
        return Color == o.Color && Name == o.Name && Size == o.Size && Style == o.Style && Charset == o.Charset &&
               PixelsPerInch == o.PixelsPerInch;
    }
    bool operator!=(const TFontSpec& o) const { return !(*this == o); }
};

class ICanvas {
public:
    virtual ~ICanvas() = default;

    virtual int Width() const = 0;
    virtual int Height() const = 0;

    virtual void SetBrushColor(TColor color) = 0;
    virtual TColor BrushColor() const = 0;
    // Fills with the brush colour.
    virtual void FillRect(const TRect& r) = 0;

    virtual void SetFont(const TFontSpec& font) = 0;
    // Text is code page 932. Measurements are in pixels with the current font.
    virtual int TextWidth(const std::string& text) = 0;
    virtual int TextHeight(const std::string& text) = 0;
    // Draws text with its top left at (x, y), its background painted with the brush.
    virtual void TextOut(int x, int y, const std::string& text) = 0;

    // Copies a rectangle of a pixel buffer stretched onto dst, combined by rop
    // (kSrcCopy, kMergeCopy with the brush colour, kSrcPaint).
    virtual void StretchCopy(const TRect& dst, const TPixmap& src, const TRect& srcRect, uint32_t rop) = 0;
};

} // namespace platform
