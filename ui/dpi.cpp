#include "ui/dpi.h"

#include "ui/font.h"

namespace ui {

int WindowDpi(HWND window) {
    // Systems before Windows 10 1607 have no per-window DPI: looked up, not linked.
    using TGetDpiForWindow = UINT(WINAPI*)(HWND);
    static const TGetDpiForWindow getDpiForWindow = [] {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        return user32 ? (TGetDpiForWindow)(void*)GetProcAddress(user32, "GetDpiForWindow") : nullptr;
    }();
    if (getDpiForWindow && window) {
        UINT dpi = getDpiForWindow(window);
        if (dpi > 0) return (int)dpi;
    }
    return ScreenPixelsPerInch();
}

int FontPixelsPerInch(int dpi) {
    return dpi == ScreenPixelsPerInch() ? 0 : dpi;
}

} // namespace ui
