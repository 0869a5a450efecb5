#include "mainwindow/win32/pagecolumn.h"

#include <map>
#include <memory>

#include "platform/text.h"
#include "ui/font.h"
#include "ui/gdi.h"

TPageButton::TPageButton() {
    OnMouseDown = [this](ui::TMouseButton button, ui::TShiftState, int x, int y) {
        if (OnPageMouseDown) OnPageMouseDown(*this, button, x, y);
    };
    OnMouseUp = [this](ui::TMouseButton button, ui::TShiftState, int x, int y) {
        if (OnPageMouseUp) OnPageMouseUp(*this, button, x, y);
    };
}

void TPageButton::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    Invalidate();
}

void TPageButton::SetFont(const platform::TFontSpec& font) {
    if (font == font_) return;
    font_ = font;
    Invalidate();
}

TPageColumn::TPageColumn(ui::TWindow* parent, const std::vector<TPageButton*>& buttons)
    : ui::TLightHost(parent), buttons_(buttons) {}

void TPageColumn::PaintBand(ui::TPaintBand& band) {
    ui::TLightHost::PaintBand(band);
    band.Flush();
    HDC dc = band.DC();
    SetBkMode(dc, TRANSPARENT);
    // The buttons share one font as a rule: a font is made once per strip and kind,
    // not once per button, so that a column of thousands of pages paints quickly.
    std::map<std::string, std::unique_ptr<ui::TFont>> fonts;
    for (TPageButton* b : buttons_) {
        if (!b || !b->Showing() || b->Caption().empty()) continue;
        platform::TRect r = b->HostRect();
        if (ui::IsEmpty(ui::Intersect(r, band.Rect()))) continue;
        const platform::TFontSpec& spec = b->Font();
        std::string key = spec.Name + '\x01' + std::to_string(spec.Size) + '\x01' +
                          std::to_string(spec.Style) + '\x01' + std::to_string(spec.Charset);
        std::unique_ptr<ui::TFont>& font = fonts[key];
        if (!font) font.reset(new ui::TFont(spec));
        ui::TSelectObject selected(dc, font->Handle());
        SetTextColor(dc, ui::ColorToRGB(spec.Color));
        int inset = b->BevelOuter() == ui::bvNone ? 0 : b->BevelWidth();
        RECT rc = {r.Left + inset, r.Top + inset, r.Right - inset, r.Bottom - inset};
        std::wstring text = platform::Widen(b->Caption());
        // Prefix processing on, as a panel's caption: the doubled "&" of a page name shows once.
        DrawTextW(dc, text.c_str(), (int)text.size(), &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}
