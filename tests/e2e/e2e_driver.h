#pragma once
// Drives a running Kiropad from outside as a user would: its menu entries, keys,
// clicks at a point of its window, its message boxes, and a picture of its window.
#include <windows.h>

#include <string>
#include <vector>

#include "e2e_support.h"

namespace e2e {

const DWORD kStartMs = 30000;

// Copies Kiropad.exe into the sandbox, starts it there and waits for its main window.
HWND StartKiropad(TSandbox& box, TProcess& process);
// Closes the main window as its close button does; returns the exit code (-1: still running).
long CloseKiropad(HWND window, TProcess& process);
std::wstring TitleOf(HWND window);

// Brings the window to the front and waits until it takes input; false when it does not.
bool BringToFront(HWND window);
// Types keys into the window as the keyboard does: the window is brought to the
// front, then each chord is pressed and released in turn. A chord is a key with
// the modifiers held around it, e.g. {VK_CONTROL, 'C'}; false when the window did
// not come to the front.
bool TypeKeys(HWND window, const std::vector<std::vector<WORD>>& chords);
// The same chords for whatever has the keyboard now (an open menu, a dialog): no
// window is brought to the front first.
bool PressKeys(const std::vector<std::vector<WORD>>& chords);
// True when the window's thread handles a message within ms: it is neither gone nor hung.
bool Answers(HWND window, DWORD ms = 5000);
// Whether a menu of the process (the menu bar's or a popup) is open on the screen.
bool MenuOpen(DWORD pid);
// The visible dialog windows (#32770) of the process: its own dialogs, message boxes
// and the system's common dialogs it opened.
std::vector<HWND> DialogsOf(DWORD pid);
// Waits for a visible dialog window of the process that is not among `known`.
HWND WaitForNewDialog(DWORD pid, const std::vector<HWND>& known, DWORD ms = 10000);
bool WaitGone(HWND window, DWORD ms = 10000);
// A control of this id anywhere inside the dialog, on its tab pages too.
HWND ControlOf(HWND dialog, int id);
// Clicks a button of the dialog or of one of its tab pages (BM_CLICK, posted: what
// the button opens is modal); false when there is no such control.
bool ClickButton(HWND dialog, int id);
bool SetControlText(HWND dialog, int id, const std::wstring& text);
std::wstring ControlText(HWND dialog, int id);
// Picks a tab of a tab control as a click on it does (the dialog is told of the change).
bool PickTab(HWND dialog, int tabControlId, int index);
// A right click at a point of `host`'s client area (the messages are posted, as the
// menu it opens is modal); false when another window lies there on the screen.
bool RightClickAt(HWND host, POINT client);
// Writes the line "e2e drove: <what>" (UTF-8) to standard output, one for each dialog
// and command the suite went through, so that a run's log lists them.
void Drove(const std::wstring& what);
// A left click at a point of `host`'s client area, sent to the window under that
// point on the screen; false when another window lies there.
bool ClickAt(HWND host, POINT client);
// The texts of a dialog's static controls, one after another.
std::wstring StaticTexts(HWND dialog);
// Presses the dialog's button of this id (IDCANCEL, IDRETRY...) by its command.
bool PressButton(HWND dialog, int id);
// The direct child of `parent` of this class whose rectangle has this top-left corner
// in the parent's client coordinates.
HWND ChildAt(HWND parent, const wchar_t* className, POINT topLeft);
// Copies what the screen shows of the window into a 24-bit bitmap file. Returns the
// number of distinct colours seen (0 on failure), so a blank picture can be noticed.
size_t SaveWindowPicture(HWND window, const std::wstring& bmpPath);

} // namespace e2e
