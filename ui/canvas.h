#pragma once
// The two drawing surfaces of the framework behind platform::ICanvas: a pixel buffer
// (item faces, pictures of lightweight controls) and a device context (painting a
// window). Fonts, brushes and bitmaps are created for the drawing and released with
// the canvas; a canvas lives only as long as one piece of drawing.
#include <windows.h>

#include <memory>

#include "platform/canvas.h"
#include "ui/font.h"
#include "ui/gdi.h"

namespace ui {

// Draws on a TPixmap. Fills and stretched copies are done in software on the pixels;
// text goes through GDI on a DIB section that covers just the text and is copied back.
class TPixmapCanvas : public platform::ICanvas {
public:
    explicit TPixmapCanvas(platform::TPixmap& target);
    ~TPixmapCanvas() override;

    int Width() const override { return target_.Width(); }
    int Height() const override { return target_.Height(); }
    void SetBrushColor(platform::TColor color) override { brush_ = color; }
    platform::TColor BrushColor() const override { return brush_; }
    void FillRect(const platform::TRect& r) override;
    void SetFont(const platform::TFontSpec& font) override;
    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;
    void TextOut(int x, int y, const std::string& text) override;
    void StretchCopy(const platform::TRect& dst, const platform::TPixmap& src, const platform::TRect& srcRect,
                     uint32_t rop) override;

private:
    HDC MeasureDC();

    platform::TPixmap& target_;
    platform::TColor brush_ = platform::clWhite;
    TFont font_;
    std::unique_ptr<TMemoryDC> dc_;
    HGDIOBJ oldFont_ = nullptr;
};

// Draws on a device context (a window being painted, a memory DC), whose drawing
// area is width x height pixels from its logical origin.
class TDCCanvas : public platform::ICanvas {
public:
    TDCCanvas(HDC dc, int width, int height);
    ~TDCCanvas() override;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetBrushColor(platform::TColor color) override { brush_ = color; }
    platform::TColor BrushColor() const override { return brush_; }
    void FillRect(const platform::TRect& r) override;
    void SetFont(const platform::TFontSpec& font) override;
    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;
    void TextOut(int x, int y, const std::string& text) override;
    void StretchCopy(const platform::TRect& dst, const platform::TPixmap& src, const platform::TRect& srcRect,
                     uint32_t rop) override;

private:
    void UseFont();

    HDC dc_;
    int width_, height_;
    platform::TColor brush_ = platform::clWhite;
    TFont font_;
    bool fontSet_ = false;
    HGDIOBJ oldFont_ = nullptr;
};

// Draws a pixel buffer onto a device context at (x, y), unscaled, with one call.
void DrawPixmap(HDC dc, int x, int y, const platform::TPixmap& pixmap);

} // namespace ui
