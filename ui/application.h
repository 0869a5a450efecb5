#pragma once
// The application object of the widget framework: the program's title and help
// file, the message loop, the handling of exceptions that escape an event handler,
// the activation event and the program's message boxes.
//
// One exists while the program runs (the entry point creates it; in-process GUI
// tests create their own). While it lives, every message box of the program goes
// through MsgBox: the boxes of every layer reach it through the system seam
// (platform::System().MessageBox), so that each is owned by the active window and
// tests can answer it.
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"
#include "platform/appcontext.h"

struct tagMSG;

namespace ui {

class TPaintSurface;

// Answers the messages other threads have sent to this thread's windows, and
// nothing else: no posted message, no input. Long work on the window's thread (the
// start) calls it between its steps, so that a program broadcasting to every window
// is not held up for the whole of it.
void AnswerSentMessages();

class TApplication : public IAppContext {
public:
    typedef std::function<void(void* sender, const std::exception& error)> TExceptionEvent;
    typedef std::function<void()> TNotifyEvent;
    // Sees every message the loop takes before it is dispatched; true = handled.
    typedef std::function<bool(tagMSG& msg)> TMessageEvent;
    typedef std::function<int(const std::string& text, const std::string& caption, unsigned flags)>
        TMessageBoxFn;

    TApplication();
    ~TApplication() override;
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // Caption of the program's message boxes; starts as the program file's name.
    std::string Title() const override { return title_; }
    void SetTitle(const std::string& title);
    // The application's own (hidden) window: owner of the help viewer.
    platform::TWindowHandle Handle() const override { return handle_; }

    const std::string& HelpFile() const { return helpFile_; }
    void SetHelpFile(const std::string& file) { helpFile_ = file; }

    // The main form: Run returns once it has been destroyed.
    void SetMainWindow(platform::TWindowHandle window) { mainWindow_ = window; }
    platform::TWindowHandle MainWindow() const { return mainWindow_; }

    // Takes and dispatches messages until Terminate, WM_QUIT or the end of the
    // main window.
    void Run();
    // Dispatches every message waiting now, then returns. WM_QUIT terminates.
    void ProcessMessages();
    // Asks the loop to end after the message in hand.
    void Terminate();
    bool Terminated() const { return terminated_; }

    // Errors that escape an event handler; FatalExceptionHandler unless replaced.
    TExceptionEvent OnException;
    // The program became the active application (WM_ACTIVATEAPP true).
    TNotifyEvent OnActivate;
    TMessageEvent OnMessage;

    // Hands the exception in flight (or any exception_ptr) to OnException; one that
    // is not a standard exception arrives as an Exception with an empty message.
    // Window procedures catch everything and call this: an exception must never
    // unwind through the system's frames.
    void HandleException(void* sender, std::exception_ptr error);
    // Runs f; whatever it throws goes to HandleException.
    template <class F> void Guard(void* sender, F&& f) {
        try {
            f();
        } catch (...) {
            HandleException(sender, std::current_exception());
        }
    }
    // Runs the program's body (the main window's creation and the loop). An exception
    // that escapes it is shown while the application lives: under its title, and
    // waiting for the user even when the main window's end already asked the loop to
    // quit. Returns 0, or 1 after such an exception.
    int RunGuarded(const std::function<void()>& body);
    // The standard display of an exception: its message, stop icon, the title.
    void ShowException(const std::exception& error);

    // A modal message box (MessageBox flags and results) owned by the active window.
    int MsgBox(const std::string& text, const std::string& caption, unsigned flags);
    // The window that owns boxes: the thread's active window, else the main window
    // while it is visible, else none.
    platform::TWindowHandle ActiveWindow() const;

    // Test hook: when set, it answers every box instead of the user. Returns the
    // hook it replaces.
    TMessageBoxFn SetMessageBoxHook(TMessageBoxFn hook);

private:
    friend struct TApplicationWindow;
    void Dispatch(tagMSG& msg);
    void Activated();

    platform::TWindowHandle handle_ = 0;
    platform::TWindowHandle mainWindow_ = 0;
    // The buffer every window of the program paints through (ui/paintbuffer.h).
    std::unique_ptr<TPaintSurface> paintSurface_;
    std::string title_;
    std::string helpFile_;
    bool terminated_ = false;
    TMessageBoxFn hook_;
};

// The application object that exists now; the program aborts when there is none.
TApplication& Application();
bool HasApplication();

// One message box shown while a script answered it.
struct TMessageBoxRecord {
    std::string Text;
    std::string Caption;
    unsigned Flags = 0;
    int Answer = 0;
};

// The answer a box gets when nobody chooses: OK for an OK box, otherwise the
// button that declines (Cancel, No, Abort).
int DeclineAnswer(unsigned flags);

// For in-process GUI tests: while it lives, every box is answered from a queue of
// scripted answers (or DeclineAnswer once the queue is empty) and recorded.
class TScriptedMessageBoxes {
public:
    explicit TScriptedMessageBoxes(TApplication& app = Application());
    ~TScriptedMessageBoxes();
    TScriptedMessageBoxes(const TScriptedMessageBoxes&) = delete;
    TScriptedMessageBoxes& operator=(const TScriptedMessageBoxes&) = delete;

    // Queues the answers of the next boxes, in order.
    void Answer(std::initializer_list<int> answers);
    const std::vector<TMessageBoxRecord>& Shown() const { return shown_; }

private:
    TApplication& app_;
    TApplication::TMessageBoxFn previous_;
    std::vector<int> queue_;
    std::vector<TMessageBoxRecord> shown_;
};

} // namespace ui
