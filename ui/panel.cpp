#include "ui/panel.h"

#include <windowsx.h>

#include "platform/text.h"
#include "ui/font.h"
#include "ui/gdi.h"

namespace ui {

namespace {

platform::TFontSpec ParentFont(TWindow* parent) {
    if (TPanel* panel = dynamic_cast<TPanel*>(parent)) return panel->Font();
    if (TForm* form = dynamic_cast<TForm*>(parent)) return form->Font();
    return platform::TFontSpec();
}

} // namespace

TPanel::TPanel(TWindow* parent) : font_(ParentFont(parent)) {
    TCreateParams p;
    p.ClassName = L"KiropadPanel";
    p.Style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    p.Width = 185;
    p.Height = 41;
    p.Parent = parent;
    CreateHandle(p);
}

void TPanel::SetParent(TWindow& parent) {
    if (!Handle() || Parent() == &parent) return;
    ::SetParent(Handle(), parent.Handle());
    SetParentWindow(&parent);
}

void TPanel::SetColor(platform::TColor color) {
    if (color == color_) return;
    color_ = color;
    Invalidate();
}

void TPanel::SetFont(const platform::TFontSpec& font) {
    if (font == font_) return;
    font_ = font;
    Invalidate();
}

void TPanel::SetBevelOuter(TBevelCut bevel) {
    if (bevel == bevelOuter_) return;
    bevelOuter_ = bevel;
    Invalidate();
}

void TPanel::SetBevelWidth(int width) {
    if (width == bevelWidth_) return;
    bevelWidth_ = width;
    Invalidate();
}

void TPanel::SetShowAccelChar(bool show) {
    if (show == showAccelChar_) return;
    showAccelChar_ = show;
    Invalidate();
}

void TPanel::PaintBand(TPaintBand& band) {
    platform::TRect client(0, 0, ClientWidth(), ClientHeight());
    FillBackground(band, Intersect(client, band.Rect()), ColorToPixel(color_));
    band.Bevel(client, bevelOuter_, bevelWidth_);
    if (Caption().empty()) return;
    int inset = bevelOuter_ == TBevelCut::None ? 0 : bevelWidth_;
    RECT r = {inset, inset, client.Right - inset, client.Bottom - inset};
    TFont font(font_);
    TSelectObject selected(band.DC(), font.Handle());
    SetBkMode(band.DC(), TRANSPARENT);
    SetTextColor(band.DC(), ColorToRGB(font_.Color));
    std::wstring text = platform::Widen(Caption());
    UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS;
    if (!showAccelChar_) format |= DT_NOPREFIX;
    DrawTextW(band.DC(), text.c_str(), (int)text.size(), &r, format);
}

void TPanel::FillBackground(TPaintBand& band, const platform::TRect& area, uint32_t pixel) {
    band.FillRect(area, pixel);
}

void TPanel::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(button, shift, x, y);
}

void TPanel::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(shift, x, y);
}

void TPanel::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(button, shift, x, y);
}

LRESULT TPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        MouseDown(message == WM_LBUTTONDOWN   ? TMouseButton::Left
                  : message == WM_RBUTTONDOWN ? TMouseButton::Right
                                              : TMouseButton::Middle,
                  MouseShiftState(wParam), x, y);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        MouseUp(message == WM_LBUTTONUP   ? TMouseButton::Left
                : message == WM_RBUTTONUP ? TMouseButton::Right
                                          : TMouseButton::Middle,
                MouseShiftState(wParam), x, y);
        // The right button's release also asks for the context menu.
        break;
    case WM_MOUSEMOVE:
        MouseMove(MouseShiftState(wParam), x, y);
        return 0;
    }
    return TBufferedWindow::HandleMessage(message, wParam, lParam);
}

} // namespace ui
