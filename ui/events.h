#pragma once
// Event types shared by the framework's windows, controls, menus and timers, and the
// one place where an exception that escapes an event handler goes.
#include <windows.h>

#include <exception>
#include <functional>
#include <string>

namespace ui {

// Keys and mouse buttons held while an event happens.
typedef unsigned TShiftState;
const TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32;

enum class TMouseButton { Left, Right, Middle };

// Shift, Ctrl and Alt as the keyboard state says now.
TShiftState KeyboardShiftState();
// The shift state of a key message: the keyboard state, and Alt from the message itself
// for WM_SYSKEYDOWN / WM_SYSKEYUP (bit 29 of lParam).
TShiftState KeyMessageShiftState(UINT message, LPARAM lParam);
// The shift state of a mouse message (its MK_ flags, and Alt from the keyboard).
TShiftState MouseShiftState(WPARAM wParam);

typedef std::function<void()> TNotifyEvent;
// Mouse down and up: the button, the shift state and the point in the control's coordinates.
typedef std::function<void(TMouseButton button, TShiftState shift, int x, int y)> TMouseEvent;
typedef std::function<void(TShiftState shift, int x, int y)> TMouseMoveEvent;
// Keys: a handler that sets key to 0 has consumed it.
typedef std::function<void(WORD& key, TShiftState shift)> TKeyEvent;

// Messages enter our code through window procedures that the system calls. An
// exception must not unwind through the system's frames, so each entry point catches
// it and hands it here. The application object installs its handler (show the error,
// end the program); the default one shows the message and ends the process with 1.
typedef std::function<void(std::exception_ptr error)> TExceptionHandler;
void SetExceptionHandler(TExceptionHandler handler);
// Passes an exception to the installed handler. Call inside a catch block.
void HandleException(std::exception_ptr error);

// The message of an exception, in code page 932: our Exception's message, what() of
// another standard exception, or a general text for anything else.
std::string ExceptionMessage(std::exception_ptr error);

} // namespace ui
