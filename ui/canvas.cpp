#include "ui/canvas.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/text.h"
#include "platform/win32/bitmapinfo.h"

namespace ui {

namespace {

SIZE MeasureText(HDC dc, const std::wstring& text) {
    SIZE size = {0, 0};
    if (!text.empty()) {
        GetTextExtentPoint32W(dc, text.c_str(), (int)text.size(), &size);
    } else {
        // An empty text is as high as a line of the font, as wide as nothing.
        TEXTMETRICW tm;
        if (GetTextMetricsW(dc, &tm)) size.cy = tm.tmHeight;
    }
    return size;
}

} // namespace

// ---------------------------------------------------------------------------------
// TTextScratch

TTextScratch::~TTextScratch() {
    if (!dc_) return;
    // Objects selected into a DC cannot be deleted: the DC's own go back first.
    if (oldBitmap_) SelectObject(dc_->Get(), oldBitmap_);
    if (oldFont_) SelectObject(dc_->Get(), oldFont_);
}

void TTextScratch::SetFont(const platform::TFontSpec& font) {
    // A new shape deletes the HFONT, which must not be selected at that moment. The
    // same font again (every face sets it) leaves the DC as it is.
    if (!font_.SameShape(font) && dc_ && oldFont_) {
        SelectObject(dc_->Get(), oldFont_);
        selectedFont_ = nullptr;
    }
    font_.Assign(font);
}

void TTextScratch::UseFont() {
    HFONT font = font_.Handle();
    if (font == selectedFont_) return;
    HGDIOBJ old = SelectObject(dc_->Get(), font);
    if (!oldFont_) oldFont_ = old;
    selectedFont_ = font;
}

HDC TTextScratch::DC() {
    if (!dc_) dc_.reset(new TMemoryDC());
    UseFont();
    return dc_->Get();
}

const TDibSection* TTextScratch::Dib(int width, int height) {
    HDC dc = DC();
    if (!dib_ || dib_->Width() < width || dib_->Height() < height) {
        int w = std::max(width, dib_ ? dib_->Width() : 0), h = std::max(height, dib_ ? dib_->Height() : 0);
        if (dib_ && oldBitmap_) SelectObject(dc, oldBitmap_);
        dib_.reset(new TDibSection(w, h));
        if (!dib_->Valid()) {
            dib_.reset();
            return nullptr;
        }
        HGDIOBJ old = SelectObject(dc, dib_->Get());
        if (!oldBitmap_) oldBitmap_ = old;
    }
    return dib_.get();
}

// ---------------------------------------------------------------------------------
// TPixmapCanvas

TPixmapCanvas::TPixmapCanvas(platform::TPixmap& target)
    : target_(target), ownText_(new TTextScratch()), text_(*ownText_) {}

TPixmapCanvas::TPixmapCanvas(platform::TPixmap& target, TTextScratch& text) : target_(target), text_(text) {}

TPixmapCanvas::~TPixmapCanvas() = default;

void TPixmapCanvas::FillRect(const platform::TRect& r) {
    target_.FillRect(r, ColorToPixel(brush_));
}

void TPixmapCanvas::SetFont(const platform::TFontSpec& font) {
    text_.SetFont(font);
}

int TPixmapCanvas::TextWidth(const std::string& text) {
    return MeasureText(text_.DC(), platform::Widen(text)).cx;
}

int TPixmapCanvas::TextHeight(const std::string& text) {
    return MeasureText(text_.DC(), platform::Widen(text)).cy;
}

void TPixmapCanvas::TextOut(int x, int y, const std::string& text) {
    std::wstring wide = platform::Widen(text);
    if (wide.empty()) return;
    HDC dc = text_.DC();
    SIZE size = MeasureText(dc, wide);
    // Italic glyphs lean out of their cell; take some room to the right for them.
    int lean = (text_.Font().Description().Style & platform::fsItalic) ? size.cy / 2 : 0;
    platform::TRect box = Intersect(platform::TRect(x, y, x + size.cx + lean, y + size.cy),
                                    platform::TRect(0, 0, target_.Width(), target_.Height()));
    if (IsEmpty(box)) return;

    // The text is drawn at the top left of the scratch DIB over a copy of the pixels it covers.
    const TDibSection* dib = text_.Dib(box.Width(), box.Height());
    if (!dib) return;
    for (int row = 0; row < box.Height(); ++row)
        std::memcpy(dib->Row(row), target_.Row(box.Top + row) + box.Left, (size_t)box.Width() * 4);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, ColorToRGB(brush_));
    SetTextColor(dc, ColorToRGB(text_.Font().Color()));
    ::TextOutW(dc, x - box.Left, y - box.Top, wide.c_str(), (int)wide.size());
    GdiFlush();
    for (int row = 0; row < box.Height(); ++row)
        std::memcpy(target_.Row(box.Top + row) + box.Left, dib->Row(row), (size_t)box.Width() * 4);
}

void TPixmapCanvas::StretchCopy(const platform::TRect& dst, const platform::TPixmap& src,
                                const platform::TRect& srcRect, uint32_t rop) {
    target_.StretchCopy(dst, src, srcRect, rop, ColorToPixel(brush_));
}

// ---------------------------------------------------------------------------------
// TDCCanvas

TDCCanvas::TDCCanvas(HDC dc, int width, int height) : dc_(dc), width_(width), height_(height) {}

TDCCanvas::~TDCCanvas() {
    if (oldFont_) SelectObject(dc_, oldFont_);
}

void TDCCanvas::UseFont() {
    HGDIOBJ old = SelectObject(dc_, font_.Handle());
    if (!oldFont_) oldFont_ = old;
    fontSet_ = true;
}

void TDCCanvas::FillRect(const platform::TRect& r) {
    TScopedBrush brush(CreateSolidBrush(ColorToRGB(brush_)));
    RECT rc = ToRECT(r);
    ::FillRect(dc_, &rc, brush.Get());
}

void TDCCanvas::SetFont(const platform::TFontSpec& font) {
    // A font selected into a DC cannot be deleted: put the DC's own back first.
    if (fontSet_) SelectObject(dc_, oldFont_);
    font_.Assign(font);
    if (fontSet_) SelectObject(dc_, font_.Handle());
}

int TDCCanvas::TextWidth(const std::string& text) {
    if (!fontSet_) UseFont();
    return MeasureText(dc_, platform::Widen(text)).cx;
}

int TDCCanvas::TextHeight(const std::string& text) {
    if (!fontSet_) UseFont();
    return MeasureText(dc_, platform::Widen(text)).cy;
}

void TDCCanvas::TextOut(int x, int y, const std::string& text) {
    if (!fontSet_) UseFont();
    std::wstring wide = platform::Widen(text);
    SetBkMode(dc_, OPAQUE);
    SetBkColor(dc_, ColorToRGB(brush_));
    SetTextColor(dc_, ColorToRGB(font_.Color()));
    ::TextOutW(dc_, x, y, wide.c_str(), (int)wide.size());
}

void TDCCanvas::StretchCopy(const platform::TRect& dst, const platform::TPixmap& src,
                            const platform::TRect& srcRect, uint32_t rop) {
    if (IsEmpty(dst) || IsEmpty(srcRect)) return;
    platform::TRect s = Intersect(srcRect, platform::TRect(0, 0, src.Width(), src.Height()));
    if (IsEmpty(s)) return;
    // Only the part of the source inside the buffer is copied, to its share of dst.
    platform::TRect d(dst.Left + MulDiv(s.Left - srcRect.Left, dst.Width(), srcRect.Width()),
                      dst.Top + MulDiv(s.Top - srcRect.Top, dst.Height(), srcRect.Height()),
                      dst.Left + MulDiv(s.Right - srcRect.Left, dst.Width(), srcRect.Width()),
                      dst.Top + MulDiv(s.Bottom - srcRect.Top, dst.Height(), srcRect.Height()));
    // Copy the source rectangle out so that the DIB handed to GDI starts at its top left.
    std::vector<uint32_t> pixels((size_t)s.Width() * (size_t)s.Height());
    for (int row = 0; row < s.Height(); ++row)
        std::memcpy(&pixels[(size_t)row * (size_t)s.Width()], src.Row(s.Top + row) + s.Left,
                    (size_t)s.Width() * 4);
    BITMAPINFO bi = platform::TopDownInfo(s.Width(), s.Height());
    TScopedBrush brush;
    std::unique_ptr<TSelectObject> selected;
    if (rop == platform::kMergeCopy) {
        brush.Reset(CreateSolidBrush(ColorToRGB(brush_)));
        selected.reset(new TSelectObject(dc_, brush.Get()));
    }
    SetStretchBltMode(dc_, COLORONCOLOR);
    StretchDIBits(dc_, d.Left, d.Top, d.Width(), d.Height(), 0, 0, s.Width(), s.Height(), pixels.data(), &bi,
                  DIB_RGB_COLORS, rop);
}

void DrawPixmap(HDC dc, int x, int y, const platform::TPixmap& pixmap) {
    if (pixmap.Empty()) return;
    BITMAPINFO bi = platform::TopDownInfo(pixmap.Width(), pixmap.Height());
    SetDIBitsToDevice(dc, x, y, pixmap.Width(), pixmap.Height(), 0, 0, 0, pixmap.Height(), pixmap.Data(), &bi,
                      DIB_RGB_COLORS);
}

} // namespace ui
