#include "mainwindow/win32/droppanel.h"

#include "mainwindow/commandstate.h"
#include "mainwindow/win32/itembutton.h"
#include "platform/system.h"
#include "shell/common.h"

namespace {

// Mouse events of a pooled control reach the button that uses it at the moment, and
// so does the notice of an arriving drop (the button catches up with the selected
// page before the drop looks for its target). The handlers are connected once, when
// the control is made: a control is never rewired while one of its handlers runs.
template <class TControl> void RouteEvents(TControl& control) {
    control.OnMouseDown = [&control](ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
        if (control.Button) control.Button->MouseDown(control, button, shift, x, y);
    };
    control.OnMouseMove = [&control](ui::TShiftState shift, int x, int y) {
        if (control.Button) control.Button->MouseMove(control, shift, x, y);
    };
    control.OnMouseUp = [&control](ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
        if (control.Button) control.Button->MouseUp(control, button, shift, x, y);
    };
    control.OnDropArriving = [&control] {
        if (control.Button) control.Button->CatchUp();
    };
}

} // namespace

TDropPanel::TDropPanel() {
    RouteEvents(*this);
    TLightControl::OnDropFiles = [this](const ui::TDropFiles& drop) { Dropped(drop); };
}

void TDropPanel::SetDragDropAccept(bool accept) {
    SetAcceptFiles(accept);
    dragDropAccept_ = accept;
}

void TDropPanel::Dropped(const ui::TDropFiles& drop) {
    std::vector<TDroppedName> names;
    for (const ui::TDroppedFile& f : drop.Files)
        names.push_back({f.Path, f.DisplayName});
    // A name the program cannot keep refuses the whole drop: nothing is stored or started.
    std::string refusal = DropRefusal(names);
    if (!refusal.empty()) {
        MsgBox(refusal, kBoxCaption, platform::mbOk | platform::mbIconWarning);
        return;
    }
    lastCount_ = (int)drop.Files.size();
    lastNames_.clear();
    for (const ui::TDroppedFile& f : drop.Files)
        lastNames_.push_back(f.Path);
    // The list lives only while the event runs, even when the event throws.
    struct TClear {
        TDropPanel& panel;
        ~TClear() {
            panel.lastCount_ = 0;
            panel.lastNames_.clear();
        }
    } clear{*this};
    if (OnDropFiles && lastCount_ > 0) {
        std::vector<std::string> list = lastNames_;
        OnDropFiles(*this, lastCount_, list);
    }
}

TItemImage::TItemImage() {
    RouteEvents(*this);
    SetPictureSource([this] { return Button ? Button->ShownFace() : platform::TPictureRef(); });
}
