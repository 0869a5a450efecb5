#include "ui/gdi.h"

#include "platform/pixmap.h"
#include "platform/win32/bitmapinfo.h"

#include <algorithm>
#include <atomic>

namespace ui {

namespace {
std::atomic<long> g_liveGdi{0};
std::atomic<long> g_createdGdi{0};
std::atomic<long> g_liveWindows{0};
} // namespace

long LiveGdiObjects() {
    return g_liveGdi;
}
long GdiObjectsCreated() {
    return g_createdGdi;
}
long LiveWindows() {
    return g_liveWindows;
}

namespace detail {
void CountGdiCreated() {
    ++g_liveGdi;
    ++g_createdGdi;
}
void CountGdiReleased() {
    --g_liveGdi;
}
void CountWindowCreated() {
    ++g_liveWindows;
}
void CountWindowDestroyed() {
    --g_liveWindows;
}
} // namespace detail

TMemoryDC::TMemoryDC(HDC compatible) : dc_(CreateCompatibleDC(compatible)) {
    if (dc_) detail::CountGdiCreated();
}

TMemoryDC::~TMemoryDC() {
    if (dc_) {
        DeleteDC(dc_);
        detail::CountGdiReleased();
    }
}

TWindowDC::TWindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}

TWindowDC::TWindowDC(HWND window, DWORD dcxFlags) : window_(window), dc_(GetDCEx(window, nullptr, dcxFlags)) {}

TWindowDC::~TWindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
}

TPaintDC::TPaintDC(HWND window) : window_(window) {
    BeginPaint(window_, &ps_);
}

TPaintDC::~TPaintDC() {
    EndPaint(window_, &ps_);
}

TDibSection::TDibSection(int width, int height) : width_(std::max(width, 1)), height_(std::max(height, 1)) {
    BITMAPINFO bi = platform::TopDownInfo(width_, height_);
    void* bits = nullptr;
    bitmap_.Reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap_) bits_ = static_cast<uint32_t*>(bits);
}

COLORREF ColorToRGB(platform::TColor color) {
    if (platform::IsSystemColor(color)) return GetSysColor((int)(color & 0xFF));
    return (COLORREF)(color & 0x00FFFFFF);
}

uint32_t ColorToPixel(platform::TColor color) {
    return platform::ColorRefToPixel(ColorToRGB(color));
}

platform::TRect Intersect(const platform::TRect& a, const platform::TRect& b) {
    platform::TRect r(std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                      std::min(a.Bottom, b.Bottom));
    if (IsEmpty(r)) return platform::TRect();
    return r;
}

} // namespace ui
