#pragma once
// Flicker-free painting of a window's update area with a bounded cost.
//
// The area is painted strip by strip into one DIB section: a strip is drawn in
// software on the DIB's pixels (fills, bevels, pixel buffers) and with GDI through a
// memory DC whose coordinates are the window's client coordinates (text), then copied
// to the screen with one BitBlt. The DIB and the DC are the only GDI objects, created
// for the paint and released at its end, however many controls it draws.
#include <windows.h>

#include <functional>

#include "platform/pixmap.h"
#include "platform/types.h"

namespace ui {

enum TBevelCut { bvNone, bvLowered, bvRaised };

class TPaintBand {
public:
    TPaintBand(HDC dc, uint32_t* bits, int stride, const platform::TRect& rect)
        : dc_(dc), bits_(bits), stride_(stride), rect_(rect) {}

    // Client coordinates for GDI; logical (0, 0) is the window's client origin.
    HDC DC() const { return dc_; }
    // The strip, in client coordinates.
    const platform::TRect& Rect() const { return rect_; }

    // Software drawing, clipped to the strip (and to clip when given). Call Flush()
    // after GDI drawing and before software drawing that must come on top of it.
    void FillRect(const platform::TRect& r, uint32_t pixel);
    // The edge of a panel: width rings, each with the top and left sides in top and
    // the bottom and right sides in bottom (the corners bottom-left and top-right
    // take bottom).
    void Frame3D(const platform::TRect& r, uint32_t top, uint32_t bottom, int width,
                 const platform::TRect& clip);
    // An outer bevel of width rings in the system's highlight and shadow colours.
    void Bevel(const platform::TRect& r, TBevelCut cut, int width, const platform::TRect& clip);
    void Bevel(const platform::TRect& r, TBevelCut cut, int width) { Bevel(r, cut, width, r); }
    // Copies a pixel buffer with its top left at (x, y), clipped to clip.
    void Blit(const platform::TPixmap& pixmap, int x, int y, const platform::TRect& clip);
    void Flush() const { GdiFlush(); }

private:
    HDC dc_;
    uint32_t* bits_;
    int stride_;
    platform::TRect rect_;
};

typedef std::function<void(TPaintBand& band)> TBandPainter;

// Paints area of a window through strips and copies each to target (a paint DC).
void PaintBuffered(HDC target, const platform::TRect& area, const TBandPainter& paint);
// Paints area into a pixel buffer of area's size instead of a window (for pictures and tests).
void PaintToPixmap(platform::TPixmap& out, const platform::TRect& area, const TBandPainter& paint);

} // namespace ui
