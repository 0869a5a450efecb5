#pragma once
// A panel: a child window with a colour, an outer bevel and a caption centred in it,
// and mouse events. The page buttons of the main window are panels, and the panels
// that hold the item grid are panels that host lightweight controls (ui/lighthost.h).
#include <string>

#include "platform/canvas.h"
#include "ui/bufferedwindow.h"

namespace ui {

class TPanel : public TBufferedWindow {
public:
    // Created visible on parent (not null), with the parent's font (a form's or a
    // panel's). A pointer, because a panel on a panel would otherwise look like a copy.
    explicit TPanel(TWindow* parent);

    // Moves the panel to another parent window.
    void SetParent(TWindow& parent);

    void SetColor(platform::TColor color);
    platform::TColor Color() const { return color_; }
    void SetFont(const platform::TFontSpec& font);
    const platform::TFontSpec& Font() const { return font_; }
    void SetBevelOuter(TBevelCut bevel);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelWidth(int width);
    int BevelWidth() const { return bevelWidth_; }
    // On: "&" marks the next character as the access key (underlined) and "&&" shows
    // one "&". Off: the caption shows as it stands.
    void SetShowAccelChar(bool show);
    bool ShowAccelChar() const { return showAccelChar_; }

    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

protected:
    // Paints one strip of the panel: colour, bevel and caption.
    void PaintBand(TPaintBand& band) override;
    // Fills area (client coordinates, within the strip) with the panel's colour. A
    // panel that paints opaque things over parts of it fills only what they leave.
    virtual void FillBackground(TPaintBand& band, const platform::TRect& area, uint32_t pixel);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Mouse messages in client coordinates; the panel raises its events.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);

private:
    platform::TColor color_ = platform::clBtnFace;
    platform::TFontSpec font_;
    TBevelCut bevelOuter_ = TBevelCut::Raised;
    int bevelWidth_ = 1;
    bool showAccelChar_ = true;
};

} // namespace ui
