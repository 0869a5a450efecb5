#include "ui/bufferedwindow.h"

namespace ui {

void TBufferedWindow::PaintTo(platform::TPixmap& out) {
    PaintToPixmap(out, platform::TRect(0, 0, ClientWidth(), ClientHeight()),
                  [this](TPaintBand& band) { PaintBand(band); });
}

LRESULT TBufferedWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        PaintUpdate(Handle(), ClientWidth(), ClientHeight(), [this](TPaintBand& band) { PaintBand(band); });
        return 0;
    }
    return TWindow::HandleMessage(message, wParam, lParam);
}

} // namespace ui
