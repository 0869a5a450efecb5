#include "ui/font.h"

#include <cwchar>

#include "platform/text.h"

namespace ui {

int ScreenPixelsPerInch() {
    static int ppi = 0;
    if (ppi == 0) {
        TWindowDC screen;
        ppi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
        if (ppi <= 0) ppi = 96;
    }
    return ppi;
}

int PointsToPixels(int points) {
    return MulDiv(points, ScreenPixelsPerInch(), 72);
}

LOGFONTW MakeLogFont(const platform::TFontSpec& spec) {
    LOGFONTW lf = {};
    lf.lfHeight = -PointsToPixels(spec.Size);
    lf.lfWeight = (spec.Style & platform::fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (spec.Style & platform::fsItalic) ? TRUE : FALSE;
    lf.lfUnderline = (spec.Style & platform::fsUnderline) ? TRUE : FALSE;
    lf.lfStrikeOut = (spec.Style & platform::fsStrikeOut) ? TRUE : FALSE;
    lf.lfCharSet = (BYTE)spec.Charset;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    std::wstring face = platform::Widen(spec.Name);
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return lf;
}

bool SpecFromLogFont(const LOGFONTW& lf, platform::TColor color, platform::TFontSpec& spec) {
    std::string name;
    if (!platform::Narrow(std::wstring(lf.lfFaceName, wcsnlen(lf.lfFaceName, LF_FACESIZE)), name))
        return false;
    int height = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    spec.Name = name;
    spec.Size = MulDiv(height, 72, ScreenPixelsPerInch());
    spec.Style = 0;
    if (lf.lfWeight >= FW_BOLD) spec.Style |= platform::fsBold;
    if (lf.lfItalic) spec.Style |= platform::fsItalic;
    if (lf.lfUnderline) spec.Style |= platform::fsUnderline;
    if (lf.lfStrikeOut) spec.Style |= platform::fsStrikeOut;
    spec.Charset = lf.lfCharSet;
    spec.Color = color;
    return true;
}

void TFont::Assign(const platform::TFontSpec& spec) {
    if (spec == spec_ && font_) return;
    bool sameShape = spec.Name == spec_.Name && spec.Size == spec_.Size && spec.Style == spec_.Style &&
                     spec.Charset == spec_.Charset;
    spec_ = spec;
    if (!sameShape) font_.Reset();
}

HFONT TFont::Handle() const {
    if (!font_) {
        LOGFONTW lf = MakeLogFont(spec_);
        font_.Reset(CreateFontIndirectW(&lf));
    }
    return font_.Get();
}

} // namespace ui
