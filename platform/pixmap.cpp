#include "platform/pixmap.h"

#include <algorithm>
#include <cstring>

namespace platform {

void TPixmap::Resize(int width, int height, uint32_t fill) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return;
    std::vector<uint32_t> next((size_t)width * (size_t)height, fill);
    int w = std::min(width, width_), h = std::min(height, height_);
    for (int y = 0; y < h; ++y)
        std::copy(pixels_.begin() + (ptrdiff_t)y * width_, pixels_.begin() + (ptrdiff_t)y * width_ + w,
                  next.begin() + (ptrdiff_t)y * width);
    pixels_.swap(next);
    width_ = width;
    height_ = height;
}

void TPixmap::Fill(uint32_t value) { std::fill(pixels_.begin(), pixels_.end(), value); }

void TPixmap::FillRect(const TRect& r, uint32_t value) {
    int l = std::max(r.Left, 0), t = std::max(r.Top, 0);
    int rr = std::min(r.Right, width_), b = std::min(r.Bottom, height_);
    for (int y = t; y < b; ++y) std::fill(Row(y) + l, Row(y) + rr, value);
}

void TPixmap::StretchCopy(const TRect& dst, const TPixmap& src, const TRect& s, uint32_t rop, uint32_t brush) {
    int dw = dst.Width(), dh = dst.Height(), sw = s.Width(), sh = s.Height();
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    for (int y = std::max(dst.Top, 0); y < std::min(dst.Bottom, height_); ++y) {
        int sy = s.Top + (int)((long long)(y - dst.Top) * sh / dh);
        if (sy < 0 || sy >= src.Height()) continue;
        uint32_t* row = Row(y);
        const uint32_t* srow = src.Row(sy);
        for (int x = std::max(dst.Left, 0); x < std::min(dst.Right, width_); ++x) {
            int sx = s.Left + (int)((long long)(x - dst.Left) * sw / dw);
            if (sx < 0 || sx >= src.Width()) continue;
            uint32_t v = srow[sx];
            switch (rop) {
            case kMergeCopy: row[x] = v & brush; break;
            case kSrcPaint: row[x] = row[x] | v; break;
            default: row[x] = v; break;
            }
        }
    }
}

// ---------------------------------------------------------------------------------
// TPackedPixmap

void TPackedPixmap::Pack(const TPixmap& source) {
    width_ = source.Width();
    height_ = source.Height();
    background_ = source.Empty() ? 0 : source.Pixel(0, 0);
    rows_.assign(source.Empty() ? 0 : (size_t)height_, TRun{0, 0, 0});
    // The runs first, then the pixels into memory of their exact size.
    size_t total = 0;
    for (size_t y = 0; y < rows_.size(); ++y) {
        const uint32_t* row = source.Row((int)y);
        int begin = 0, end = width_;
        while (begin < end && row[begin] == background_) ++begin;
        while (end > begin && row[end - 1] == background_) --end;
        rows_[y] = TRun{(uint32_t)total, begin, end};
        total += (size_t)(end - begin);
    }
    std::vector<uint32_t> pixels(total);
    for (size_t y = 0; y < rows_.size(); ++y) {
        const TRun& run = rows_[y];
        std::copy(source.Row((int)y) + run.Begin, source.Row((int)y) + run.End, pixels.begin() + run.Offset);
    }
    pixels_.swap(pixels);
}

uint32_t TPackedPixmap::Pixel(int x, int y) const {
    const TRun& run = rows_[(size_t)y];
    return x >= run.Begin && x < run.End ? pixels_[run.Offset + (size_t)(x - run.Begin)] : background_;
}

void TPackedPixmap::CopyRow(int y, int x, int count, uint32_t* out) const {
    const TRun& run = rows_[(size_t)y];
    int begin = std::max(x, run.Begin), end = std::min(x + count, run.End);
    if (begin >= end) {
        std::fill(out, out + count, background_);
        return;
    }
    std::fill(out, out + (begin - x), background_);
    std::memcpy(out + (begin - x), pixels_.data() + run.Offset + (begin - run.Begin), (size_t)(end - begin) * 4);
    std::fill(out + (end - x), out + count, background_);
}

void TPackedPixmap::UnpackTo(TPixmap& out) const {
    out = TPixmap(width_, height_);
    for (int y = 0; y < (int)rows_.size(); ++y)
        CopyRow(y, 0, width_, out.Row(y));
}

// ---------------------------------------------------------------------------------
// TPictureRef

void TPictureRef::CopyTo(TPixmap& out) const {
    if (plain_)
        out = *plain_;
    else if (packed_)
        packed_->UnpackTo(out);
    else
        out = TPixmap();
}

} // namespace platform
