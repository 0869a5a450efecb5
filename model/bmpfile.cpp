#include "model/bmpfile.h"

#include <climits>
#include <cstring>

namespace bmpfile {

namespace {

const uint32_t kFileHeaderSize = 14;
const uint32_t kInfoHeaderSize = 40;
const uint32_t kBiRgb = 0;
const int32_t kPixelsPerMetre = 2835; // 72 dpi

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = (uint8_t)v;
    b[at + 1] = (uint8_t)(v >> 8);
}

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + (size_t)i] = (uint8_t)(v >> (8 * i));
}

uint16_t Get16(const std::vector<uint8_t>& b, size_t at) {
    return (uint16_t)(b[at] | (b[at + 1] << 8));
}

uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
    return (uint32_t)b[at] | ((uint32_t)b[at + 1] << 8) | ((uint32_t)b[at + 2] << 16) |
           ((uint32_t)b[at + 3] << 24);
}

// Bytes per row, padded to 4. Computed in 64 bits: a hostile width must not wrap
// around to a small stride that the file seems to hold.
uint64_t StrideOf(uint32_t width, uint32_t bitCount) {
    return (((uint64_t)width * bitCount + 31) / 32) * 4;
}

// Both headers with everything but the palette and the pixels, in b (all else 0).
void Headers(std::vector<uint8_t>& b, int width, int height, uint16_t bitCount, uint32_t paletteEntries) {
    uint32_t stride = (uint32_t)StrideOf((uint32_t)width, bitCount);
    uint32_t offBits = kFileHeaderSize + kInfoHeaderSize + 4 * paletteEntries;
    uint32_t imageSize = stride * (uint32_t)height;
    b.assign(offBits + imageSize, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, offBits + imageSize);
    Put32(b, 10, offBits);
    Put32(b, 14, kInfoHeaderSize);
    Put32(b, 18, (uint32_t)width);
    Put32(b, 22, (uint32_t)height); // positive: bottom-up rows
    Put16(b, 26, 1);
    Put16(b, 28, bitCount);
    Put32(b, 30, kBiRgb);
    Put32(b, 34, imageSize);
    Put32(b, 38, (uint32_t)kPixelsPerMetre);
    Put32(b, 42, (uint32_t)kPixelsPerMetre);
    Put32(b, 46, paletteEntries);
    Put32(b, 50, 0);
}

// What the headers of a file say, once they have been found consistent with it.
struct TLayout {
    uint32_t Width = 0;
    uint32_t Height = 0;
    bool TopDown = false;
    uint16_t BitCount = 0;
    uint64_t Stride = 0;
    uint32_t PixelOffset = 0;
    uint32_t PaletteOffset = 0;
    uint32_t PaletteEntries = 0; // entries that lie wholly before the pixels
};

bool ReadLayout(const std::vector<uint8_t>& f, TLayout& l) {
    if (f.size() < kFileHeaderSize + kInfoHeaderSize || f[0] != 'B' || f[1] != 'M') return false;
    uint64_t size = f.size();
    uint32_t headerSize = Get32(f, 14);
    // The 12-byte core header of old files is not written by anything we read.
    if (headerSize < kInfoHeaderSize || kFileHeaderSize + (uint64_t)headerSize > size) return false;
    int32_t width = (int32_t)Get32(f, 18);
    int32_t height = (int32_t)Get32(f, 22);
    // Without columns or rows there is no picture; and a file of no pixels could
    // otherwise claim a billion empty rows, each read and written in turn.
    if (width <= 0 || height == 0 || height == INT_MIN) return false;
    if (Get16(f, 26) != 1) return false;
    if (Get32(f, 30) != kBiRgb) return false;
    l.BitCount = Get16(f, 28);
    l.Width = (uint32_t)width;
    l.TopDown = height < 0;
    l.Height = (uint32_t)(height < 0 ? -height : height);
    l.Stride = StrideOf(l.Width, l.BitCount);
    l.PixelOffset = Get32(f, 10);
    l.PaletteOffset = kFileHeaderSize + headerSize;
    if (l.PixelOffset < l.PaletteOffset || l.PixelOffset > size) return false;
    if (l.BitCount == 0 || l.BitCount > 32) return false;
    if (l.Stride > size || (uint64_t)l.PixelOffset + l.Stride * l.Height > size) return false;
    l.PaletteEntries = (l.PixelOffset - l.PaletteOffset) / 4;
    return true;
}

// Offset of the bytes of image row y (0 = top).
size_t RowOffset(const TLayout& l, uint32_t y) {
    uint32_t fileRow = l.TopDown ? y : l.Height - 1 - y;
    return (size_t)l.PixelOffset + (size_t)fileRow * l.Stride;
}

} // namespace

void EncodeColor(const platform::TPixmap& p, std::vector<uint8_t>& b) {
    Headers(b, p.Width(), p.Height(), 32, 0);
    // Through plain pointers: a byte store through the vector would make the compiler
    // reload the vector's own pointers after each byte.
    uint8_t* at = b.data() + kFileHeaderSize + kInfoHeaderSize;
    for (int y = p.Height() - 1; y >= 0; --y) {
        const uint32_t* row = p.Row(y);
        for (int x = 0; x < p.Width(); ++x, at += 4) {
            uint32_t v = row[x];
            at[0] = (uint8_t)v;         // blue
            at[1] = (uint8_t)(v >> 8);  // green
            at[2] = (uint8_t)(v >> 16); // red
            at[3] = 0;
        }
    }
}

void EncodeMono(const TMonoBitmap& m, std::vector<uint8_t>& b) {
    Headers(b, m.Width(), m.Height(), 1, 2);
    size_t palette = kFileHeaderSize + kInfoHeaderSize;
    b[palette + 4] = b[palette + 5] = b[palette + 6] = 0xFF; // entry 1: white
    size_t at = palette + 8;
    size_t stride = (size_t)StrideOf((uint32_t)m.Width(), 1);
    for (int y = m.Height() - 1; y >= 0; --y) {
        if (m.Stride() > 0) std::memcpy(b.data() + at, m.Row(y), (size_t)m.Stride());
        // Bits past the width stay 0, as the row padding does.
        if (m.Width() % 8) b[at + (size_t)m.Stride() - 1] &= (uint8_t)(0xFF00 >> (m.Width() % 8));
        at += stride;
    }
}

std::vector<uint8_t> EncodeColor(const platform::TPixmap& pixmap) {
    std::vector<uint8_t> file;
    EncodeColor(pixmap, file);
    return file;
}

std::vector<uint8_t> EncodeMono(const TMonoBitmap& bitmap) {
    std::vector<uint8_t> file;
    EncodeMono(bitmap, file);
    return file;
}

bool DecodeColor(const std::vector<uint8_t>& f, platform::TPixmap& out) {
    TLayout l;
    if (!ReadLayout(f, l) || (l.BitCount != 24 && l.BitCount != 32)) return false;
    int bytesPerPixel = l.BitCount / 8;
    platform::TPixmap p((int)l.Width, (int)l.Height);
    for (uint32_t y = 0; y < l.Height; ++y) {
        const uint8_t* src = f.data() + RowOffset(l, y);
        uint32_t* row = p.Row((int)y);
        for (uint32_t x = 0; x < l.Width; ++x, src += bytesPerPixel)
            row[x] = ((uint32_t)src[2] << 16) | ((uint32_t)src[1] << 8) | src[0];
    }
    out = std::move(p);
    return true;
}

bool DecodeMono(const std::vector<uint8_t>& f, TMonoBitmap& out) {
    TLayout l;
    if (!ReadLayout(f, l) || l.BitCount != 1 || l.PaletteEntries < 2) return false;
    bool white[2];
    for (int i = 0; i < 2; ++i) {
        size_t e = (size_t)l.PaletteOffset + 4 * (size_t)i;
        white[i] = (unsigned)f[e] + f[e + 1] + f[e + 2] >= 384; // blue + green + red
    }
    // Rows are packed alike: each byte maps through the palette as a whole, and
    // the bits past the width stay clear.
    TMonoBitmap m((int)l.Width, (int)l.Height);
    int stride = m.Stride();
    uint8_t tail = l.Width % 8 ? (uint8_t)(0xFF << (8 - l.Width % 8)) : 0xFF;
    for (uint32_t y = 0; y < l.Height; ++y) {
        const uint8_t* src = f.data() + RowOffset(l, y);
        uint8_t* dst = m.Row((int)y);
        for (int i = 0; i < stride; ++i) {
            uint8_t b = src[i];
            uint8_t v = white[1] ? (white[0] ? 0xFF : b) : (white[0] ? (uint8_t)~b : 0);
            dst[i] = i == stride - 1 ? (uint8_t)(v & tail) : v;
        }
    }
    out = std::move(m);
    return true;
}

} // namespace bmpfile
