#include "support/fake_canvas.h"

#include "platform/system.h"

void TFakeCanvas::FillRect(const platform::TRect& r) {
    target_.FillRect(r, platform::System().ColorToPixel(brush_));
}

void TFakeCanvas::StretchCopy(const platform::TRect& dst, const platform::TPixmap& src,
                              const platform::TRect& srcRect, uint32_t rop) {
    Rops.push_back(rop);
    target_.StretchCopy(dst, src, srcRect, rop, platform::System().ColorToPixel(brush_));
}
