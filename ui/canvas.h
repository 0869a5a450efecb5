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

// The GDI side of drawing text on pixel buffers: a memory DC with the font selected
// and a scratch DIB section for the text, made when first needed and then kept. Whoever
// draws many pixel buffers in a row (the item faces) keeps one for all of them: making
// a DC for each costs more than the drawing done with it.
class TTextScratch {
public:
    TTextScratch() = default;
    ~TTextScratch();
    TTextScratch(const TTextScratch&) = delete;
    TTextScratch& operator=(const TTextScratch&) = delete;

    void SetFont(const platform::TFontSpec& font);
    const TFont& Font() const { return font_; }
    // The DC with the present font selected.
    HDC DC();
    // A DIB section of at least width x height, selected into DC(); its contents are
    // whatever was drawn last.
    const TDibSection* Dib(int width, int height);

private:
    void UseFont();

    TFont font_;
    std::unique_ptr<TMemoryDC> dc_;
    std::unique_ptr<TDibSection> dib_;
    HGDIOBJ oldFont_ = nullptr, oldBitmap_ = nullptr;
    HFONT selectedFont_ = nullptr;
};

// Draws on a TPixmap. Fills and stretched copies are done in software on the pixels;
// text goes through GDI: the pixels under it are copied to the top left of a scratch
// DIB section, the text is drawn there, and that part is copied back. The GDI objects
// for the text are the canvas's own, or those of a TTextScratch given that outlives it.
class TPixmapCanvas : public platform::ICanvas {
public:
    explicit TPixmapCanvas(platform::TPixmap& target);
    TPixmapCanvas(platform::TPixmap& target, TTextScratch& text);
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
    platform::TPixmap& target_;
    platform::TColor brush_ = platform::clWhite;
    std::unique_ptr<TTextScratch> ownText_;
    TTextScratch& text_;
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
