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

namespace {

int PixelsPerInchOf(const platform::TFontSpec& desc) {
    return desc.PixelsPerInch > 0 ? desc.PixelsPerInch : ScreenPixelsPerInch();
}

} // namespace

LOGFONTW MakeLogFont(const platform::TFontSpec& desc) {
    LOGFONTW lf = {};
    lf.lfHeight = -MulDiv(desc.Size, PixelsPerInchOf(desc), 72);
    lf.lfWeight = (desc.Style & platform::fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (desc.Style & platform::fsItalic) ? TRUE : FALSE;
    lf.lfUnderline = (desc.Style & platform::fsUnderline) ? TRUE : FALSE;
    lf.lfStrikeOut = (desc.Style & platform::fsStrikeOut) ? TRUE : FALSE;
    lf.lfCharSet = (BYTE)desc.Charset;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    std::wstring face = platform::Widen(desc.Name);
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return lf;
}

bool FontFromLogFont(const LOGFONTW& lf, platform::TColor color, platform::TFontSpec& desc) {
    std::string name;
    if (!platform::Narrow(std::wstring(lf.lfFaceName, wcsnlen(lf.lfFaceName, LF_FACESIZE)), name))
        return false;
    int height = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    desc.Name = name;
    desc.Size = MulDiv(height, 72, PixelsPerInchOf(desc));
    desc.Style = 0;
    if (lf.lfWeight >= FW_BOLD) desc.Style |= platform::fsBold;
    if (lf.lfItalic) desc.Style |= platform::fsItalic;
    if (lf.lfUnderline) desc.Style |= platform::fsUnderline;
    if (lf.lfStrikeOut) desc.Style |= platform::fsStrikeOut;
    desc.Charset = lf.lfCharSet;
    desc.Color = color;
    return true;
}

bool TFont::SameShape(const platform::TFontSpec& desc) const {
    return desc.Name == desc_.Name && desc.Size == desc_.Size && desc.Style == desc_.Style &&
           desc.Charset == desc_.Charset && desc.PixelsPerInch == desc_.PixelsPerInch;
}

void TFont::Assign(const platform::TFontSpec& desc) {
    if (desc == desc_ && font_) return;
    bool sameShape = SameShape(desc);
    desc_ = desc;
    if (!sameShape) font_.Reset();
}

HFONT TFont::Handle() const {
    if (!font_) {
        LOGFONTW lf = MakeLogFont(desc_);
        font_.Reset(CreateFontIndirectW(&lf));
    }
    return font_.Get();
}

} // namespace ui
