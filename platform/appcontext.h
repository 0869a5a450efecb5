#pragma once
// The running application as the lower layers see it: its title and window, its
// message box and the display of unexpected exceptions. The application object of
// the widget framework implements the context and installs itself while it lives;
// the message box goes through the one system seam (platform/system.h).
#include <exception>
#include <string>

#include "platform/types.h"

class IAppContext {
public:
    virtual ~IAppContext() = default;
    // Caption of the program's own message boxes.
    virtual std::string Title() const = 0;
    // The application's window: owner of the help viewer.
    virtual platform::TWindowHandle Handle() const = 0;
};

void SetAppContext(IAppContext* context);
IAppContext* AppContext();
// The application's title, or "" while no application exists.
std::string AppTitle();

// The application's message box (MessageBox flags and results), owned by its
// active window.
int MsgBox(const std::string& text, const std::string& caption, unsigned flags);

// The standard display of an exception: its message in a box with a stop sign,
// captioned with the application's title.
void ShowException(const std::string& message);

// The application's exception event for errors nobody handled: shows the error,
// then ends the program with exit code 1 through the normal exit path (static
// objects are destroyed, streams flushed). An exception that is not a standard
// one reaches it as an Exception with an empty message.
[[noreturn]] void FatalExceptionHandler(void* sender, const std::exception& error);
