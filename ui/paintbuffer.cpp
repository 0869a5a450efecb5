#include "ui/paintbuffer.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "ui/gdi.h"

namespace ui {

namespace {

// A strip holds at most this many pixels (1 MB): a window larger than the screen
// never needs a buffer of its own size.
const int kMaxBandPixels = 256 * 1024;

TPaintSurface* g_surface = nullptr;

// The surface for a paint: the kept one when it is free and wide enough, else a DIB
// and a DC made for this paint (strips of at most kMaxBandPixels).
class TBandTarget {
public:
    TBandTarget(int width, int height) {
        TPaintSurface* kept = TPaintSurface::Current();
        if (kept && kept->Acquire(width)) {
            kept_ = kept;
            bandHeight_ = std::min(height, kept->Height());
            return;
        }
        bandHeight_ = std::max(1, std::min(height, kMaxBandPixels / width));
        own_.reset(new TOwnPair(width, bandHeight_));
    }
    ~TBandTarget() {
        if (kept_) kept_->Release();
    }
    TBandTarget(const TBandTarget&) = delete;
    TBandTarget& operator=(const TBandTarget&) = delete;

    bool Valid() const { return kept_ || own_->Dib.Valid(); }
    int BandHeight() const { return bandHeight_; }
    HDC DC() const { return kept_ ? kept_->DC() : own_->Dc.Get(); }
    const TDibSection& Dib() const { return kept_ ? kept_->Dib() : own_->Dib; }

private:
    struct TOwnPair {
        TOwnPair(int width, int height) : Dib(width, height), Selected(Dc.Get(), Dib.Get()) {}
        TDibSection Dib;
        TMemoryDC Dc;
        TSelectObject Selected;
    };
    TPaintSurface* kept_ = nullptr;
    std::unique_ptr<TOwnPair> own_;
    int bandHeight_ = 1;
};

void PaintBands(const platform::TRect& area, const TBandPainter& paint,
                const std::function<void(HDC, const TDibSection&, const platform::TRect&)>& sink) {
    if (IsEmpty(area)) return;
    TBandTarget target(area.Width(), area.Height());
    if (!target.Valid()) return;
    const TDibSection& dib = target.Dib();
    HDC dc = target.DC();
    int bandHeight = target.BandHeight();
    for (int top = area.Top; top < area.Bottom; top += bandHeight) {
        platform::TRect band(area.Left, top, area.Right, std::min(top + bandHeight, area.Bottom));
        SetViewportOrgEx(dc, -band.Left, -band.Top, nullptr);
        TPaintBand strip(dc, dib.Bits(), dib.Width(), band);
        paint(strip);
        GdiFlush();
        sink(dc, dib, band);
    }
}

int CappedWidth(int width) {
    return std::max(1, std::min(width, TPaintSurface::kMaxPixels));
}

int CappedHeight(int width, int height) {
    return std::max(1, std::min(height, TPaintSurface::kMaxPixels / CappedWidth(width)));
}

} // namespace

TPaintSurface::TPaintSurface(int width, int height)
    : width_(CappedWidth(width)), height_(CappedHeight(width, height)) {
    // Made now (its pages are touched only when painted on), so that the surface holds
    // the same GDI objects from start to end; a wider paint replaces it.
    Widen(std::min(width_, kStartWidth));
    if (!g_surface) g_surface = this;
}

bool TPaintSurface::Widen(int width) {
    if (previous_) SelectObject(dc_.Get(), previous_);
    previous_ = nullptr;
    dib_.reset(new TDibSection(width, height_));
    if (!dib_->Valid()) {
        dib_.reset();
        return false;
    }
    previous_ = SelectObject(dc_.Get(), dib_->Get());
    return true;
}

TPaintSurface::TPaintSurface()
    : TPaintSurface(GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)) {}

TPaintSurface::~TPaintSurface() {
    if (g_surface == this) g_surface = nullptr;
    if (previous_) SelectObject(dc_.Get(), previous_);
}

TPaintSurface* TPaintSurface::Current() {
    return g_surface;
}

bool TPaintSurface::Acquire(int width) {
    if (busy_ || !Valid() || width > width_) return false;
    // Wider than any paint before: a new DIB, a little wider than asked, so that a
    // window widened step by step does not make one per step.
    if ((!dib_ || dib_->Width() < width) &&
        !Widen(std::min(width_, std::max(width, dib_ ? dib_->Width() * 3 / 2 : 0))))
        return false;
    busy_ = true;
    saved_ = SaveDC(dc_.Get());
    return true;
}

void TPaintSurface::Release() {
    if (!busy_) return;
    if (saved_) RestoreDC(dc_.Get(), saved_);
    saved_ = 0;
    busy_ = false;
}

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
    const platform::TRect limit = Intersect(clip, rect_);
    if (IsEmpty(limit)) return;
    platform::TRect ring = r;
    for (int i = 0; i < width && ring.Width() > 0 && ring.Height() > 0; ++i) {
        int right = ring.Right - 1, lowest = ring.Bottom - 1;
        FillRect(Intersect(platform::TRect(ring.Left, ring.Top, right, ring.Top + 1), clip), top); // top side
        // The left side (down to the row above the bottom) and the right side, one
        // pixel each per row: walked together, not as two one-pixel-wide fills.
        bool left = ring.Left >= limit.Left && ring.Left < limit.Right;
        bool rightSide = right >= limit.Left && right < limit.Right;
        if (left || rightSide)
            for (int y = std::max(ring.Top, limit.Top), end = std::min(ring.Bottom, limit.Bottom); y < end;
                 ++y) {
                uint32_t* row = bits_ + (size_t)(y - rect_.Top) * (size_t)stride_ - rect_.Left;
                if (left && y < lowest) row[ring.Left] = top;
                if (rightSide) row[right] = bottom;
            }
        FillRect(Intersect(platform::TRect(ring.Left, lowest, ring.Right, lowest + 1), clip),
                 bottom); // bottom
        ring = platform::TRect(ring.Left + 1, ring.Top + 1, ring.Right - 1, ring.Bottom - 1);
    }
}

void TPaintBand::Bevel(const platform::TRect& r, TBevelCut cut, int width, const platform::TRect& clip) {
    if (cut == TBevelCut::None || width <= 0) return;
    if (!bevelColors_) {
        light_ = ColorToPixel(clBtnHighlight);
        dark_ = ColorToPixel(clBtnShadow);
        bevelColors_ = true;
    }
    if (cut == TBevelCut::Raised)
        Frame3D(r, light_, dark_, width, clip);
    else
        Frame3D(r, dark_, light_, width, clip);
}

void TPaintBand::Blit(const platform::TPixmap& pixmap, int x, int y, const platform::TRect& clip) {
    Blit(platform::TPictureRef(&pixmap), x, y, clip);
}

void TPaintBand::Blit(const platform::TPictureRef& picture, int x, int y, const platform::TRect& clip) {
    platform::TRect c =
        Intersect(Intersect(platform::TRect(x, y, x + picture.Width(), y + picture.Height()), clip), rect_);
    if (IsEmpty(c)) return;
    const platform::TPixmap* plain = picture.Plain();
    for (int row = c.Top; row < c.Bottom; ++row) {
        uint32_t* dst = bits_ + (size_t)(row - rect_.Top) * (size_t)stride_ + (c.Left - rect_.Left);
        if (plain)
            std::memcpy(dst, plain->Row(row - y) + (c.Left - x), (size_t)c.Width() * 4);
        else
            picture.Packed()->CopyRow(row - y, c.Left - x, c.Width(), dst);
    }
}

void PaintBuffered(HDC target, const platform::TRect& area, const TBandPainter& paint) {
    PaintBands(area, paint, [target](HDC dc, const TDibSection&, const platform::TRect& band) {
        BitBlt(target, band.Left, band.Top, band.Width(), band.Height(), dc, band.Left, band.Top, SRCCOPY);
    });
}

void PaintUpdate(HWND window, int width, int height, const TBandPainter& paint) {
    TPaintDC dc(window);
    platform::TRect area = Intersect(FromRECT(dc.PaintRect()), platform::TRect(0, 0, width, height));
    RECT clip;
    if (GetClipBox(dc.Get(), &clip) != ERROR) area = Intersect(area, FromRECT(clip));
    PaintBuffered(dc.Get(), area, paint);
}

void PaintToPixmap(platform::TPixmap& out, const platform::TRect& area, const TBandPainter& paint) {
    out.Resize(area.Width(), area.Height());
    PaintBands(area, paint, [&out, &area](HDC, const TDibSection& dib, const platform::TRect& band) {
        for (int y = band.Top; y < band.Bottom; ++y)
            std::memcpy(out.Row(y - area.Top), dib.Row(y - band.Top), (size_t)band.Width() * 4);
    });
}

} // namespace ui
