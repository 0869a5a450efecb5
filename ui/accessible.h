#pragma once
// Accessible objects for windows that draw their controls themselves. A screen
// reader asks a window for its object with WM_GETOBJECT; a window that paints
// windowless buttons would otherwise show it one blank panel. The window names a
// source that describes its children (name, role, state, place, description,
// default action); the server answers WM_GETOBJECT with an IAccessible over that
// source and raises the events that tell a reader what changed.
//
// The accessibility library is loaded at the first request: a start without a
// screen reader never loads it.
#include <windows.h>

#include <string>

#include "platform/types.h"

namespace ui {

// One child of an accessible window, as a screen reader is told about it. Texts
// are in code page 932. Role and State are the MSAA values (ROLE_SYSTEM_...,
// STATE_SYSTEM_...).
struct TAccessibleChild {
    std::string Name;
    std::string Description;
    std::string DefaultAction; // empty: the child has none
    long Role = 0;
    long State = 0;
    platform::TRect Bounds; // in the window's client coordinates
};

// What the window tells about itself and its children. Children are numbered
// from 0; the accessible object numbers them from 1 (0 is the window itself).
class IAccessibleSource {
public:
    virtual ~IAccessibleSource() = default;
    virtual std::string AccessibleName() = 0;
    virtual long AccessibleRole() = 0;
    virtual int AccessibleChildCount() = 0;
    // False when there is no such child (any more).
    virtual bool DescribeChild(int index, TAccessibleChild& child) = 0;
    // The child a point of the client area lies on, or -1.
    virtual int ChildAt(int x, int y) = 0;
    // The child with the keyboard cursor, and the selected one; -1: none.
    virtual int FocusedChild() = 0;
    virtual int SelectedChild() { return FocusedChild(); }
    // Does what a click on the child does. Runs from the window's message loop,
    // never inside the reader's call.
    virtual void DoDefaultAction(int index) = 0;
    // Moves the keyboard cursor (or the selection) to the child; false when refused.
    virtual bool SelectChild(int) { return false; }
};

class TAccessibleObject;

// Serves the accessible object of one window over its source.
class TAccessibleServer {
public:
    TAccessibleServer(HWND window, IAccessibleSource& source);
    // A reader may hold the object longer than the window lives: it is cut off
    // from the source, and answers that it is gone.
    ~TAccessibleServer();
    TAccessibleServer(const TAccessibleServer&) = delete;
    TAccessibleServer& operator=(const TAccessibleServer&) = delete;

    // WM_GETOBJECT for the client area, and the default actions posted to the window.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Raises a WinEvent (EVENT_OBJECT_...) for a child (-1: the window itself).
    void RaiseEvent(DWORD event, int child);

private:
    HWND window_;
    IAccessibleSource& source_;
    TAccessibleObject* object_ = nullptr; // one reference held; made at the first request
};

// True while the system's high-contrast mode is on: faces and text then take the
// system's colours instead of the stored ones.
bool HighContrastOn();
// For tests: 1 or 0 answers HighContrastOn so; -1 asks the system again.
void OverrideHighContrast(int on);

} // namespace ui
