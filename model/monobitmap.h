#pragma once
// A 1-bit-per-pixel bitmap of our own: the icon mask strip. A set bit is white,
// which in a mask means transparent. Rows are packed, most significant bit first.
#include <cstdint>
#include <vector>

#include "platform/pixmap.h"
#include "platform/types.h"

class TMonoBitmap {
public:
    TMonoBitmap() = default;
    TMonoBitmap(int width, int height, bool white = false) { Resize(width, height, white); }

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Bytes per packed row.
    int Stride() const { return (width_ + 7) / 8; }

    // Sets a new size; the pixels that the old and new sizes share keep their values.
    void Resize(int width, int height, bool white = false);
    void Fill(bool white);

    bool Pixel(int x, int y) const {
        return (rows_[(size_t)y * (size_t)Stride() + (size_t)(x >> 3)] >> (7 - (x & 7))) & 1;
    }
    void SetPixel(int x, int y, bool white);

    const uint8_t* Row(int y) const { return rows_.data() + (size_t)y * (size_t)Stride(); }
    uint8_t* Row(int y) { return rows_.data() + (size_t)y * (size_t)Stride(); }

    // The rectangle as 32-bit pixels: 0x00FFFFFF for white, 0 for black.
    platform::TPixmap ToPixmap(const platform::TRect& r) const;
    // Copies src stretched (nearest pixel) onto dst; a source pixel counts as white
    // when it is not black.
    void StretchFrom(const platform::TRect& dst, const platform::TPixmap& src,
                     const platform::TRect& srcRect);

    bool operator==(const TMonoBitmap& o) const {
        return width_ == o.width_ && height_ == o.height_ && rows_ == o.rows_;
    }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> rows_;
};
