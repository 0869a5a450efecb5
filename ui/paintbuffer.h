#pragma once
// Flicker-free painting of a window's update area with a bounded cost.
//
// The area is painted strip by strip into one DIB section: a strip is drawn in
// software on the DIB's pixels (fills, bevels, pixel buffers) and with GDI through a
// memory DC whose coordinates are the window's client coordinates (text), then copied
// to the screen with one BitBlt. The DIB and the DC are the only GDI objects, however
// many controls a paint draws: the paint surface's (kept from paint to paint, so that
// a paint writes on memory that is already there: the first write to fresh pages
// costs more than the paint), or while there is none or it is in use, a pair created
// for the paint and released at its end.
#include <windows.h>

#include <functional>
#include <memory>

#include "platform/pixmap.h"
#include "platform/types.h"
#include "ui/gdi.h"

namespace ui {

enum class TBevelCut { None, Lowered, Raised };

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
    void Blit(const platform::TPictureRef& picture, int x, int y, const platform::TRect& clip);
    void Flush() const { GdiFlush(); }

private:
    HDC dc_;
    uint32_t* bits_;
    int stride_;
    platform::TRect rect_;
    // The system's highlight and shadow as pixels, read once per strip (a grid has a
    // bevel per button).
    bool bevelColors_ = false;
    uint32_t light_ = 0, dark_ = 0;
};

// A DIB section with a memory DC, kept for the paints of all the windows of the thread,
// up to the screen's size. While one exists, paints whose area is no wider than that
// use it; it exists at most once (the application owns it), and a paint within a paint
// makes its own pair. The DIB is as wide as the widest paint so far, not as the screen:
// a paint writes its rows one DIB row apart, and fresh memory costs at its first write.
class TPaintSurface {
public:
    // Serves paints of up to width x height pixels (at most kMaxPixels).
    TPaintSurface(int width, int height);
    // The size of the screen (all monitors), capped.
    TPaintSurface();
    ~TPaintSurface();
    TPaintSurface(const TPaintSurface&) = delete;
    TPaintSurface& operator=(const TPaintSurface&) = delete;

    static const int kMaxPixels = 4096 * 2048;
    // The surface that exists now, or null.
    static TPaintSurface* Current();

    bool Valid() const { return dc_.Get() != nullptr; }
    // The largest paint served.
    int Width() const { return width_; }
    int Height() const { return height_; }
    HDC DC() const { return dc_.Get(); }
    // The pixels, while a paint has the surface: at least as wide as the paint and
    // as high as the largest paint served.
    const TDibSection& Dib() const { return *dib_; }

    // Takes the surface for one paint of width pixels: false when it is in use (a
    // paint within a paint), the paint is wider than the surface serves, or there is
    // no memory for it. Each true is matched by Release, which puts the DC's state
    // back as it was taken.
    bool Acquire(int width);
    void Release();

private:
    static const int kStartWidth = 256;
    // A DIB of width x the largest height in place of the one there is.
    bool Widen(int width);

    int width_, height_;
    std::unique_ptr<TDibSection> dib_;
    TMemoryDC dc_;
    HGDIOBJ previous_ = nullptr; // the DC's own bitmap, back in place at the end
    int saved_ = 0;              // the DC's saved state while a paint has it
    bool busy_ = false;
};

typedef std::function<void(TPaintBand& band)> TBandPainter;

// Paints area of a window through strips and copies each to target (a paint DC).
void PaintBuffered(HDC target, const platform::TRect& area, const TBandPainter& paint);
// Answers WM_PAINT of a window whose client area is width x height: BeginPaint,
// then PaintBuffered of what is to be painted and can show (a window larger than
// the screen paints its visible part), then EndPaint.
void PaintUpdate(HWND window, int width, int height, const TBandPainter& paint);
// Paints area into a pixel buffer of area's size instead of a window (for pictures and tests).
void PaintToPixmap(platform::TPixmap& out, const platform::TRect& area, const TBandPainter& paint);

} // namespace ui
