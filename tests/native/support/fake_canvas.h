#pragma once
// A measuring canvas for the face tests: every byte of text is CharWidth pixels
// wide and every text LineHeight high. It paints fills and block copies onto a
// pixel buffer (brush colours resolved through the installed system) and
// records the text it is asked to draw.
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/pixmap.h"

class TFakeCanvas : public platform::ICanvas {
public:
    struct TText {
        int X, Y;
        std::string Text;
    };

    explicit TFakeCanvas(platform::TPixmap& target) : target_(target) {}

    int Width() const override { return target_.Width(); }
    int Height() const override { return target_.Height(); }
    void SetBrushColor(platform::TColor color) override { brush_ = color; }
    platform::TColor BrushColor() const override { return brush_; }
    void FillRect(const platform::TRect& r) override;
    void SetFont(const platform::TFontSpec& font) override { Font = font; }
    int TextWidth(const std::string& text) override { return (int)text.size() * CharWidth; }
    int TextHeight(const std::string&) override { return LineHeight; }
    void TextOut(int x, int y, const std::string& text) override { Texts.push_back(TText{x, y, text}); }
    void StretchCopy(const platform::TRect& dst, const platform::TPixmap& src, const platform::TRect& srcRect,
                     uint32_t rop) override;

    int CharWidth = 6;
    int LineHeight = 12;
    platform::TFontSpec Font;
    std::vector<TText> Texts;
    std::vector<uint32_t> Rops; // raster operations of the block copies, in order

private:
    platform::TPixmap& target_;
    platform::TColor brush_ = platform::clWhite;
};
