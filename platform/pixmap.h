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

// A pixel buffer kept in little memory, for pictures that are mostly one colour (the
// faces of items: a button colour with an icon and a title on it). It stores the
// colour of the top left pixel as the background and, for each row, the pixels from
// the first to the last that differ from it. Unpacked, it is the buffer it was packed
// from, pixel for pixel.
class TPackedPixmap {
public:
    TPackedPixmap() = default;
    explicit TPackedPixmap(const TPixmap& source) { Pack(source); }

    void Pack(const TPixmap& source);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ <= 0 || height_ <= 0; }
    uint32_t Pixel(int x, int y) const;
    // Writes the pixels x to x + count - 1 of row y (all inside) to out.
    void CopyRow(int y, int x, int count, uint32_t* out) const;
    void UnpackTo(TPixmap& out) const;
    // The memory the pixels take, in bytes.
    size_t PackedBytes() const { return pixels_.size() * sizeof(uint32_t) + rows_.size() * sizeof(TRun); }

private:
    // The stored pixels of a row: columns Begin to End - 1, from pixels_[Offset].
    struct TRun {
        uint32_t Offset;
        int32_t Begin;
        int32_t End;
    };
    int width_ = 0;
    int height_ = 0;
    uint32_t background_ = 0;
    std::vector<TRun> rows_;
    std::vector<uint32_t> pixels_;
};

// A picture to show, plain or packed, or none; it does not own the picture.
class TPictureRef {
public:
    TPictureRef() = default;
    explicit TPictureRef(const TPixmap* plain) : plain_(plain) {}
    explicit TPictureRef(const TPackedPixmap* packed) : packed_(packed) {}

    const TPixmap* Plain() const { return plain_; }
    const TPackedPixmap* Packed() const { return packed_; }
    int Width() const { return plain_ ? plain_->Width() : packed_ ? packed_->Width() : 0; }
    int Height() const { return plain_ ? plain_->Height() : packed_ ? packed_->Height() : 0; }
    bool Empty() const { return Width() <= 0 || Height() <= 0; }
    // A plain copy of the picture (empty for none).
    void CopyTo(TPixmap& out) const;

private:
    const TPixmap* plain_ = nullptr;
    const TPackedPixmap* packed_ = nullptr;
};

// Converts a framework colour to a pixel value (0x00RRGGBB); system colours are
// resolved by the caller's table (the Win32 layer asks GetSysColor).
inline uint32_t ColorRefToPixel(uint32_t bgr) {
    return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

} // namespace platform
