#include "model/monobitmap.h"

#include <algorithm>

void TMonoBitmap::Resize(int width, int height, bool white) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return;
    TMonoBitmap next;
    next.width_ = width;
    next.height_ = height;
    next.rows_.assign((size_t)next.Stride() * (size_t)height, white ? 0xFF : 0x00);
    int w = std::min(width, width_), h = std::min(height, height_);
    int whole = w / 8; // full bytes copy as they are, the last partial byte bit by bit
    for (int y = 0; y < h; ++y) {
        std::copy(Row(y), Row(y) + whole, next.Row(y));
        for (int x = whole * 8; x < w; ++x)
            next.SetPixel(x, y, Pixel(x, y));
    }
    *this = std::move(next);
}

void TMonoBitmap::Fill(bool white) {
    std::fill(rows_.begin(), rows_.end(), white ? 0xFF : 0x00);
}

void TMonoBitmap::SetPixel(int x, int y, bool white) {
    uint8_t& b = rows_[(size_t)y * (size_t)Stride() + (size_t)(x >> 3)];
    uint8_t bit = (uint8_t)(0x80 >> (x & 7));
    b = white ? (uint8_t)(b | bit) : (uint8_t)(b & ~bit);
}

platform::TPixmap TMonoBitmap::ToPixmap(const platform::TRect& r) const {
    platform::TPixmap out(std::max(r.Width(), 0), std::max(r.Height(), 0));
    for (int y = 0; y < out.Height(); ++y)
        for (int x = 0; x < out.Width(); ++x) {
            int sx = r.Left + x, sy = r.Top + y;
            bool inside = sx >= 0 && sy >= 0 && sx < width_ && sy < height_;
            out.SetPixel(x, y, inside && Pixel(sx, sy) ? 0x00FFFFFF : 0);
        }
    return out;
}

void TMonoBitmap::StretchFrom(const platform::TRect& dst, const platform::TPixmap& src,
                              const platform::TRect& s) {
    int dw = dst.Width(), dh = dst.Height(), sw = s.Width(), sh = s.Height();
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    for (int y = std::max(dst.Top, 0); y < std::min(dst.Bottom, height_); ++y) {
        int sy = s.Top + (int)((long long)(y - dst.Top) * sh / dh);
        if (sy < 0 || sy >= src.Height()) continue;
        for (int x = std::max(dst.Left, 0); x < std::min(dst.Right, width_); ++x) {
            int sx = s.Left + (int)((long long)(x - dst.Left) * sw / dw);
            if (sx < 0 || sx >= src.Width()) continue;
            SetPixel(x, y, (src.Pixel(sx, sy) & 0x00FFFFFF) != 0);
        }
    }
}
