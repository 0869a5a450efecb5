#include "model/yfont.h"

namespace {
const int kShiftJisCharset = 128;
const uint8_t kStyleBits =
    platform::fsBold | platform::fsItalic | platform::fsUnderline | platform::fsStrikeOut;
} // namespace

void TYFont::SetDefault() {
    Color = platform::clWindowText;
    Name = "ＭＳ Ｐゴシック";
    Size = 9;
    Style = 0;
}

void TYFont::AssignTo(platform::TFontSpec* font) const {
    if (!font) return;
    font->Color = Color;
    font->Name = Name;
    font->Size = Size;
    font->Style = Style & kStyleBits;
    font->Charset = kShiftJisCharset;
}

void TYFont::AssignFrom(const platform::TFontSpec* font) {
    if (!font) return;
    Color = font->Color;
    Name = font->Name;
    Size = font->Size;
    Style = font->Style & kStyleBits;
}

void TYFont::Assign(const TYFont& other) {
    if (this == &other) return;
    YBFS::TYBObject::operator=(other);
    CopyMembers(other);
}

void TYFont::CopyMembers(const TYFont& other) {
    Name = other.Name;
    Color = other.Color;
    Size = other.Size;
    Style = other.Style;
}

void TYFont::ReadMembers() {
    Read(0, Color);
    Read(1, Name);
    Read(2, Size);
    Read(3, Style);
}

void TYFont::WriteMembers() {
    Write(0, Color);
    Write(1, Name);
    Write(2, Size);
    Write(3, Style);
}
