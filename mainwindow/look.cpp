#include "mainwindow/look.h"

#include "model/viewdata.h"
#include "model/yfont.h"

namespace {

// Framework values of the system colours (the top bit set, the index below it).
const platform::TColor kSysWindow = 0x80000005;
const platform::TColor kSysHighlight = 0x8000000D;
const platform::TColor kSysHighlightText = 0x8000000E;
const platform::TColor kSysBtnText = 0x80000012;
// The keyboard cursor's frame at normal contrast: blue (0xFF0000 in blue-green-red order).
const platform::TColor kFocusBlue = 0x00FF0000;

} // namespace

TLook LookOf(const TViewData& view, bool highContrast) {
    TLook look;
    if (highContrast) {
        look.Back = kSysWindow;
        look.Btn = platform::clBtnFace;
        look.Sel = kSysHighlight;
        look.Text = kSysBtnText;
        look.SelText = kSysHighlightText;
        look.Focus = kSysHighlight;
        look.SelFocus = kSysHighlightText;
        look.HighContrast = true;
        return look;
    }
    look.Back = view.BackColor;
    look.Btn = view.BtnColor;
    look.Sel = view.SelColor;
    look.Text = view.Font ? view.Font->Color : platform::clWindowText;
    look.SelText = look.Text;
    look.Focus = look.SelFocus = kFocusBlue;
    return look;
}
