#pragma once
// The pictures of item buttons: the page face (icon over a title of at most two
// lines), the independent face (icon only), and the title fitting. Every face is
// drawn with the same sizes, colours and font, taken from a TFaceStyle. Sizes and
// offsets are 96-DPI values drawn at the style's scale.
#include <string>

#include "mainwindow/dpiscale.h"
#include "platform/canvas.h"
#include "platform/types.h"

class TIconList;
class TItem;
class TViewData;

struct TFaceStyle {
    int ItemWidth = 84;  // W: an item button; the page face is (W - 4) x (H - 4)
    int ItemHeight = 76; // H
    platform::TColor BtnColor = platform::clBtnFace;
    platform::TColor SelColor = 0x00E0E0E0;
    platform::TFontSpec ItemFont;
    // The title's colour on a pressed face, when it is not the font's own (high contrast).
    bool OwnSelText = false;
    platform::TColor SelTextColor = 0;
    const TIconList* Icons = nullptr; // none: no icons are drawn
    TDpiScale Scale;

    // The page face in pixels: the button less its bevel, (W - 4) x (H - 4) at 96.
    int FaceWidth() const { return Scale(ItemWidth) - 2 * Scale(kBevel); }
    int FaceHeight() const { return Scale(ItemHeight) - 2 * Scale(kBevel); }
    // The independent face: 36 x 36 at 96.
    int IndFaceSize() const { return Scale(kIndButton) - 2 * Scale(kBevel); }
    static constexpr int kBevel = 2;
    static constexpr int kIndButton = 40;
};

// The style of the view settings, with their font applied to the item font.
TFaceStyle FaceStyleOf(const TViewData& view, const TIconList* icons);

// The page face on a canvas of FaceWidth() x FaceHeight(); pressed shifts the
// content 2 pixels (at 96) right and down on the selected colour. Icons keep their
// own size, centred in the place of a scaled icon.
void DrawItemFace(const TFaceStyle& style, const TItem& item, platform::ICanvas& canvas, bool pressed);
// The independent face on a canvas of IndFaceSize() square: the icon only.
void DrawIndFace(const TFaceStyle& style, const TItem& item, platform::ICanvas& canvas, bool pressed);
// Fits text into the rectangle with the canvas's font and brush: one centred line
// when it fits; else two lines broken where both fit (preferably at a space or a
// full-width space, then where the wider half is narrowest); else a first line as
// long as fits and a second line shortened with "...". A double-byte character is
// never cut.
void DrawTitle(const std::string& text, platform::ICanvas& canvas, int left, int top, int right, int bottom);
