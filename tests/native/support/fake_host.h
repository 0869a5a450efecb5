#pragma once
// The main window as the model sees it, for native tests: a window handle, the
// view settings, a face painter over the measuring canvas and a settable
// position. Installs itself while it lives.
#include "mainwindow/itemface.h"
#include "model/host.h"
#include "model/viewdata.h"

class TFakeHost : public IMainHost {
public:
    TFakeHost();
    ~TFakeHost() override;
    TFakeHost(const TFakeHost&) = delete;
    TFakeHost& operator=(const TFakeHost&) = delete;

    platform::TWindowHandle WindowHandle() override { return Handle; }
    TViewData& ViewData() override { return View; }
    void PaintItemFace(const TItem& item, platform::TPixmap& image) override;
    platform::TPoint PresentPosition() override { return Position; }

    platform::TWindowHandle Handle = 0x1234;
    TViewData View;
    platform::TPoint Position;
    int FacesPainted = 0;
};
