#pragma once
// A font of the framework: the description of platform::TFontSpec made into an HFONT.
#include <windows.h>

#include "platform/canvas.h"
#include "ui/gdi.h"

namespace ui {

// The screen's pixels per inch (LOGPIXELSY), which turns points into pixels.
int ScreenPixelsPerInch();
// Point size -> character height in pixels at the screen's resolution (9 points -> 12 at 96).
int PointsToPixels(int points);

// LOGFONTW of a font description: height from the point size, weight and effects from
// the style bits, the face name converted from code page 932.
LOGFONTW MakeLogFont(const platform::TFontSpec& desc);
// The description of a LOGFONTW (the colour is not part of a LOGFONTW: given). Returns
// false when the face name has no code page 932 form; desc is then left unchanged.
bool FontFromLogFont(const LOGFONTW& lf, platform::TColor color, platform::TFontSpec& desc);

class TFont {
public:
    TFont() = default;
    explicit TFont(const platform::TFontSpec& desc) { Assign(desc); }
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    // Takes a new description; the HFONT is made again when it is next asked for,
    // unless only the colour changed.
    void Assign(const platform::TFontSpec& desc);
    // Whether desc would keep the present HFONT: same face, size, style and charset.
    bool SameShape(const platform::TFontSpec& desc) const;
    const platform::TFontSpec& Description() const { return desc_; }
    platform::TColor Color() const { return desc_.Color; }
    // The font as a GDI object, owned by this TFont.
    HFONT Handle() const;

private:
    platform::TFontSpec desc_;
    mutable TScopedFont font_;
};

} // namespace ui
