#pragma once
// The two windowless controls an item button borrows from the grid's pools:
// the file-drop panel (its frame, colour and the target of dropped files) and the
// image laid over it (the face). Both send their mouse events to the button that
// uses them now; a control lying in a pool belongs to no button and sends nothing.
//
// The grid panel that hosts them accepts the shell's drops and routes each by its
// point (ui/lighthost.h); the drop panel reads the names, refuses a drop whose names
// the program cannot keep, and raises OnDropFiles once per drop.
#include <functional>
#include <string>
#include <vector>

#include "ui/lighthost.h"

class TItemBtnBase;

class TDropPanel : public ui::TLightControl {
public:
    typedef std::function<void(TDropPanel& sender, int iFiles, const std::vector<std::string>& dropFileNames)>
        TDropFilesEvent;

    TDropPanel();

    // The panel takes files dragged from the shell while this is on.
    bool GetDragDropAccept() const { return dragDropAccept_; }
    void SetDragDropAccept(bool accept);

    // The last drop, valid only while OnDropFiles runs.
    int LastDropCount() const { return lastCount_; }
    const std::vector<std::string>& LastDropNames() const { return lastNames_; }

    TDropFilesEvent OnDropFiles;
    // The button that uses the panel now (none while it lies in the pool).
    TItemBtnBase* Button = nullptr;

private:
    void Dropped(const ui::TDropFiles& drop);

    bool dragDropAccept_ = false;
    int lastCount_ = 0;
    std::vector<std::string> lastNames_;
};

// The image control of an item button: it shows the face its button names when it
// is painted, so it never holds on to a face that the item may replace.
class TItemImage : public ui::TLightControl {
public:
    TItemImage();

    TItemBtnBase* Button = nullptr;
};
