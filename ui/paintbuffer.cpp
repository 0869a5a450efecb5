#include "ui/paintbuffer.h"

#include <algorithm>
#include <cstring>

#include "ui/gdi.h"

namespace ui {

namespace {

// A strip holds at most this many pixels (1 MB): a window larger than the screen
// never needs a buffer of its own size.
const int kMaxBandPixels = 256 * 1024;

void PaintBands(const platform::TRect& area, const TBandPainter& paint,
                const std::function<void(HDC, const TDibSection&, const platform::TRect&)>& sink) {
    if (IsEmpty(area)) return;
    int width = area.Width();
    int bandHeight = std::max(1, std::min(area.Height(), kMaxBandPixels / width));
    TDibSection dib(width, bandHeight);
    if (!dib.Valid()) return;
    TMemoryDC dc;
    TSelectObject selected(dc.Get(), dib.Get());
    for (int top = area.Top; top < area.Bottom; top += bandHeight) {
        platform::TRect band(area.Left, top, area.Right, std::min(top + bandHeight, area.Bottom));
        SetViewportOrgEx(dc.Get(), -band.Left, -band.Top, nullptr);
        TPaintBand strip(dc.Get(), dib.Bits(), width, band);
        paint(strip);
        GdiFlush();
        sink(dc.Get(), dib, band);
    }
}

} // namespace

void TPaintBand::FillRect(const platform::TRect& r, uint32_t pixel) {
    platform::TRect c = Intersect(r, rect_);
    if (IsEmpty(c)) return;
    for (int y = c.Top; y < c.Bottom; ++y) {
        uint32_t* row = bits_ + (size_t)(y - rect_.Top) * (size_t)stride_ + (c.Left - rect_.Left);
        std::fill(row, row + c.Width(), pixel);
    }
}

void TPaintBand::Frame3D(const platform::TRect& r, uint32_t top, uint32_t bottom, int width,
                         const platform::TRect& clip) {
    platform::TRect ring = r;
    for (int i = 0; i < width && ring.Width() > 0 && ring.Height() > 0; ++i) {
        int right = ring.Right - 1, lowest = ring.Bottom - 1;
        FillRect(Intersect(platform::TRect(ring.Left, ring.Top, right, ring.Top + 1), clip), top); // top side
        FillRect(Intersect(platform::TRect(ring.Left, ring.Top, ring.Left + 1, lowest), clip),
                 top); // left side
        FillRect(Intersect(platform::TRect(right, ring.Top, right + 1, ring.Bottom), clip),
                 bottom); // right side
        FillRect(Intersect(platform::TRect(ring.Left, lowest, ring.Right, lowest + 1), clip),
                 bottom); // bottom
        ring = platform::TRect(ring.Left + 1, ring.Top + 1, ring.Right - 1, ring.Bottom - 1);
    }
}

void TPaintBand::Bevel(const platform::TRect& r, TBevelCut cut, int width, const platform::TRect& clip) {
    if (cut == bvNone || width <= 0) return;
    uint32_t light = ColorToPixel(clBtnHighlight), dark = ColorToPixel(clBtnShadow);
    if (cut == bvRaised)
        Frame3D(r, light, dark, width, clip);
    else
        Frame3D(r, dark, light, width, clip);
}

void TPaintBand::Blit(const platform::TPixmap& pixmap, int x, int y, const platform::TRect& clip) {
    platform::TRect c =
        Intersect(Intersect(platform::TRect(x, y, x + pixmap.Width(), y + pixmap.Height()), clip), rect_);
    if (IsEmpty(c)) return;
    for (int row = c.Top; row < c.Bottom; ++row) {
        uint32_t* dst = bits_ + (size_t)(row - rect_.Top) * (size_t)stride_ + (c.Left - rect_.Left);
        const uint32_t* src = pixmap.Row(row - y) + (c.Left - x);
        std::memcpy(dst, src, (size_t)c.Width() * 4);
    }
}

void PaintBuffered(HDC target, const platform::TRect& area, const TBandPainter& paint) {
    PaintBands(area, paint, [target](HDC dc, const TDibSection&, const platform::TRect& band) {
        BitBlt(target, band.Left, band.Top, band.Width(), band.Height(), dc, band.Left, band.Top, SRCCOPY);
    });
}

void PaintToPixmap(platform::TPixmap& out, const platform::TRect& area, const TBandPainter& paint) {
    out.Resize(area.Width(), area.Height());
    PaintBands(area, paint, [&out, &area](HDC, const TDibSection& dib, const platform::TRect& band) {
        for (int y = band.Top; y < band.Bottom; ++y)
            std::memcpy(out.Row(y - area.Top), dib.Row(y - band.Top), (size_t)band.Width() * 4);
    });
}

} // namespace ui
