#pragma once
// Ownership of GDI handles, and a count of what this layer keeps alive.
//
// Every GDI object that the widget framework creates goes through one of the
// owners below, which count it: Wine answers 0 to GetGuiResources, so leak tests
// read these counters instead. Windows of the framework are counted the same way.
#include <windows.h>

#include <cstdint>

#include "platform/types.h"

namespace ui {

// GDI objects (fonts, brushes, pens, bitmaps, memory DCs, regions) created through
// this layer and not yet released.
long LiveGdiObjects();
// GDI objects created since the program started; never decreases. A paint that
// creates the same few objects however many controls it paints shows no cost per control.
long GdiObjectsCreated();
// Windows of this layer (forms, panels, hosts, system controls, dialogs) that exist.
long LiveWindows();

namespace detail {
void CountGdiCreated();
void CountGdiReleased();
void CountWindowCreated();
void CountWindowDestroyed();
} // namespace detail

// Owns one GDI object (HFONT, HBRUSH, HPEN, HBITMAP, HRGN) and deletes it.
template <class H> class TGdiObject {
public:
    TGdiObject() = default;
    explicit TGdiObject(H handle) { Reset(handle); }
    ~TGdiObject() { Reset(); }
    TGdiObject(TGdiObject&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
    TGdiObject& operator=(TGdiObject&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = other.handle_;
            other.handle_ = nullptr;
        }
        return *this;
    }
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;

    H Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

    // Deletes the present object and takes ownership of handle (which may be null).
    void Reset(H handle = nullptr) {
        if (handle_) {
            DeleteObject(handle_);
            detail::CountGdiReleased();
        }
        handle_ = handle;
        if (handle_) detail::CountGdiCreated();
    }

private:
    H handle_ = nullptr;
};

typedef TGdiObject<HFONT> TScopedFont;
typedef TGdiObject<HBRUSH> TScopedBrush;
typedef TGdiObject<HPEN> TScopedPen;
typedef TGdiObject<HBITMAP> TScopedBitmap;
typedef TGdiObject<HRGN> TScopedRegion;

// A memory device context, compatible with dc (the screen when null).
class TMemoryDC {
public:
    explicit TMemoryDC(HDC compatible = nullptr);
    ~TMemoryDC();
    TMemoryDC(const TMemoryDC&) = delete;
    TMemoryDC& operator=(const TMemoryDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// A window's device context from GetDC, given back with ReleaseDC (the screen's when
// the window is null). Borrowed from the system, so not counted.
class TWindowDC {
public:
    explicit TWindowDC(HWND window = nullptr);
    // From GetDCEx with these DCX_ flags (DCX_CLIPSIBLINGS alone covers the children).
    TWindowDC(HWND window, DWORD dcxFlags);
    ~TWindowDC();
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint ... EndPaint.
class TPaintDC {
public:
    explicit TPaintDC(HWND window);
    ~TPaintDC();
    TPaintDC(const TPaintDC&) = delete;
    TPaintDC& operator=(const TPaintDC&) = delete;
    HDC Get() const { return ps_.hdc; }
    const RECT& PaintRect() const { return ps_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT ps_;
};

// Selects an object into a DC and puts the previous one back when it goes.
class TSelectObject {
public:
    TSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~TSelectObject() {
        if (old_) SelectObject(dc_, old_);
    }
    TSelectObject(const TSelectObject&) = delete;
    TSelectObject& operator=(const TSelectObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A top-down 32-bit DIB section: its bits are pixels 0x00RRGGBB, rows top to bottom,
// exactly the layout of platform::TPixmap.
class TDibSection {
public:
    TDibSection(int width, int height);
    HBITMAP Get() const { return bitmap_.Get(); }
    bool Valid() const { return bits_ != nullptr; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    uint32_t* Bits() const { return bits_; }
    uint32_t* Row(int y) const { return bits_ + (size_t)y * (size_t)width_; }

private:
    TScopedBitmap bitmap_;
    uint32_t* bits_ = nullptr;
    int width_, height_;
};

// Colour used by controls that paint nothing of their own background.
const platform::TColor clNone = 0x1FFFFFFF;
const platform::TColor clBtnHighlight = 0x80000014;
const platform::TColor clBtnShadow = 0x80000010;
const platform::TColor clWindow = 0x80000005;

// A framework colour as a COLORREF, system colours resolved with GetSysColor.
COLORREF ColorToRGB(platform::TColor color);
// A framework colour as a pixel value 0x00RRGGBB.
uint32_t ColorToPixel(platform::TColor color);

// TRect <-> RECT.
inline RECT ToRECT(const platform::TRect& r) {
    return RECT{r.Left, r.Top, r.Right, r.Bottom};
}
inline platform::TRect FromRECT(const RECT& r) {
    return platform::TRect(r.left, r.top, r.right, r.bottom);
}
// The common part of two rectangles (empty when they do not meet).
platform::TRect Intersect(const platform::TRect& a, const platform::TRect& b);
inline bool IsEmpty(const platform::TRect& r) {
    return r.Right <= r.Left || r.Bottom <= r.Top;
}
inline bool Contains(const platform::TRect& r, int x, int y) {
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

} // namespace ui
