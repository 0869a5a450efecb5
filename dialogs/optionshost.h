#pragma once
// What the options dialog asks of the main window, which implements it: the main
// window lies above the dialogs, so the dialog reaches it only through this.

class IOptionsHost {
public:
    virtual ~IOptionsHost() = default;
    // Rebuilds the window for a new page grid: the document re-lays every page to
    // columns x rows, then the layout is built again.
    virtual void ResizePages(int columns, int rows) = 0;
    // Rebuilds the window's layout and repaints every item face (the look changed).
    virtual void RebuildLayout() = 0;
    // Copies the window's present left and top into the view settings.
    virtual void StorePosition() = 0;
};
