#include "mainwindow/win32/pagecolumn.h"

#include <algorithm>
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
    std::vector<std::unique_ptr<ui::TFont>> fonts;
    for (TPageButton* b : buttons_) {
        if (!b || !b->Showing() || b->Caption().empty()) continue;
        platform::TRect r = b->HostRect();
        if (ui::IsEmpty(ui::Intersect(r, band.Rect()))) continue;
        const platform::TFontSpec& font = b->Font();
        if (fonts.empty() || fonts.back()->Description() != font) {
            auto same = std::find_if(fonts.begin(), fonts.end(), [&](const std::unique_ptr<ui::TFont>& f) {
                return f->Description() == font;
            });
            if (same == fonts.end())
                fonts.push_back(std::make_unique<ui::TFont>(font));
            else
                std::rotate(same, same + 1, fonts.end()); // the one in use goes last
        }
        ui::TSelectObject selected(dc, fonts.back()->Handle());
        SetTextColor(dc, ui::ColorToRGB(font.Color));
        int inset = b->BevelOuter() == ui::TBevelCut::None ? 0 : b->BevelWidth();
        RECT rc = {r.Left + inset, r.Top + inset, r.Right - inset, r.Bottom - inset};
        std::wstring text = platform::Widen(b->Caption());
        // Prefix processing on, as a panel's caption: the doubled "&" of a page name shows once.
        DrawTextW(dc, text.c_str(), (int)text.size(), &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}
