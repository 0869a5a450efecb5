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

// Types keys into the window as the keyboard does: the window is brought to the
// front, then each chord is pressed and released in turn. A chord is a key with
// the modifiers held around it, e.g. {VK_CONTROL, 'C'}; false when the window did
// not come to the front.
bool TypeKeys(HWND window, const std::vector<std::vector<WORD>>& chords);
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
