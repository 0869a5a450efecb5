#pragma once
// A child window that paints itself strip by strip through the paint buffer
// (ui/paintbuffer.h): no background erase, no flicker, only what can show. Panels
// and the status bar are such windows.
#include <windows.h>

#include "platform/pixmap.h"
#include "ui/paintbuffer.h"
#include "ui/window.h"

namespace ui {

class TBufferedWindow : public TWindow {
public:
    // Paints the whole client area into a pixel buffer of its size, as it would show
    // on the screen (child windows excepted).
    void PaintTo(platform::TPixmap& out);

protected:
    // Paints one strip of the client area.
    virtual void PaintBand(TPaintBand& band) = 0;
    // Answers WM_ERASEBKGND (the paint covers everything) and WM_PAINT.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

} // namespace ui
