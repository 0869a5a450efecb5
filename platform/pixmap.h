#pragma once
// A 32-bit pixel buffer of our own: the faces of items and the icon strips live
// in memory as these, not as GDI objects, so that a grid of 10,000 items costs no
// system handles. Pixels are 0x00RRGGBB, rows top to bottom, as a top-down DIB.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/types.h"

namespace platform {

class TPixmap {
public:
    TPixmap() = default;
    TPixmap(int width, int height, uint32_t fill = 0) { Resize(width, height, fill); }

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ <= 0 || height_ <= 0; }

    // Sets a new size; the pixels that the old and new sizes share keep their values,
    // new ones get fill.
    void Resize(int width, int height, uint32_t fill = 0);
    void Fill(uint32_t value);
    void FillRect(const TRect& r, uint32_t value);

    uint32_t Pixel(int x, int y) const { return pixels_[(size_t)y * (size_t)width_ + (size_t)x]; }
    void SetPixel(int x, int y, uint32_t v) { pixels_[(size_t)y * (size_t)width_ + (size_t)x] = v; }
    uint32_t* Row(int y) { return pixels_.data() + (size_t)y * (size_t)width_; }
    const uint32_t* Row(int y) const { return pixels_.data() + (size_t)y * (size_t)width_; }
    uint32_t* Data() { return pixels_.data(); }
    const uint32_t* Data() const { return pixels_.data(); }

    // Copies src's rectangle onto dst stretched (nearest pixel), combining with rop
    // (kSrcCopy, kMergeCopy with the given brush value, kSrcPaint); clipped to this.
    void StretchCopy(const TRect& dst, const TPixmap& src, const TRect& srcRect, uint32_t rop, uint32_t brush = 0);

    bool operator==(const TPixmap& o) const {
        return width_ == o.width_ && height_ == o.height_ && pixels_ == o.pixels_;
    }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
};

// Converts a framework colour to a pixel value (0x00RRGGBB); system colours are
// resolved by the caller's table (the Win32 layer asks GetSysColor).
inline uint32_t ColorRefToPixel(uint32_t bgr) {
    return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

} // namespace platform
