#pragma once
// The stored description of the item-title font: colour, face, size, style.
#include <cstdint>
#include <string>

#include "platform/canvas.h"
#include "platform/types.h"
#include "ybfs/ybfs2.h"

class TYFont : public YBFS::TYBObject {
public:
    TYFont() { SetDefault(); }
    TYFont(const TYFont& other) : YBFS::TYBObject(other) { CopyMembers(other); }
    TYFont& operator=(const TYFont& other) {
        Assign(other);
        return *this;
    }

    // Colour of the system window text, "ＭＳ Ｐゴシック", 9 points, no style.
    void SetDefault();
    // Sets a framework font from the members, with the Shift-JIS character set.
    // A null font is ignored.
    void AssignTo(platform::TFontSpec* font) const;
    // Takes the members from a framework font (not its character set). A null
    // font is ignored.
    void AssignFrom(const platform::TFontSpec* font);
    // Copies the stored base (with the fields kept from the file unread) and the members.
    void Assign(const TYFont& other);

    // No Reset of its own: ids missing from a file keep the values held before.
    void ReadMembers() override;
    void WriteMembers() override;

    platform::TColor Color = platform::clWindowText;
    std::string Name;
    int Size = 9;      // points
    uint8_t Style = 0; // platform::fsBold | fsItalic | fsUnderline | fsStrikeOut

private:
    void CopyMembers(const TYFont& other);
};
