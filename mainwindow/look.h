#pragma once
// The colours the main window is drawn with. They are the stored ones of the view
// settings; while the system's high-contrast mode is on they are the system's
// colours instead (the stored ones stay as they are, in memory and in the file).
#include "platform/types.h"

class TViewData;

struct TLook {
    platform::TColor Back;     // the panels behind the buttons
    platform::TColor Btn;      // a button's face
    platform::TColor Sel;      // a pressed button, the selected page
    platform::TColor Text;     // titles and captions
    platform::TColor SelText;  // titles and captions on the selected colour
    platform::TColor Focus;    // the frame of the keyboard cursor
    platform::TColor SelFocus; // the same frame on a pressed face
    bool HighContrast = false;
};

TLook LookOf(const TViewData& view, bool highContrast);
