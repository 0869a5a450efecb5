#pragma once
// The resolution a window is shown at, and the message that says it changed.
#include <windows.h>

namespace ui {

// Sent when the window moves to a display of another resolution (or the display's
// scale changes): the new DPI in the low word of wParam, the suggested window
// rectangle in lParam.
const UINT kDpiChangedMessage = 0x02E0;

// The window's pixels per inch: its monitor's where the system tracks them per
// window (and the program is aware of them), else the screen's.
int WindowDpi(HWND window);

// What a font description's PixelsPerInch is for a window at dpi: 0 (the screen's)
// when the two agree, so that fonts at the screen's resolution stay shared as they are.
int FontPixelsPerInch(int dpi);

} // namespace ui
