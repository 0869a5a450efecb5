#pragma once
// The program's icon in the notification area. Mouse actions on it arrive at the
// owner window as the callback message (wParam: the icon id, lParam: the mouse message),
// which the owner handles with its OnMessage hook.
#include <windows.h>

#include <string>

namespace ui {

class TWindow;

class TTrayIcon {
public:
    TTrayIcon(TWindow& owner, UINT callbackMessage = WM_USER + 1, UINT id = 1);
    // Removes the icon when it is shown.
    ~TTrayIcon();
    TTrayIcon(const TTrayIcon&) = delete;
    TTrayIcon& operator=(const TTrayIcon&) = delete;

    // Shows the icon (or changes it when shown): the icon resource of the program (such as
    // "SMALLICON") at the system's small-icon size, and the tip (code page 932; cut to what
    // the tip holds). Returns what the shell answers.
    bool Add(const std::string& iconResource, const std::string& tip);
    // Adds the shown icon once more: a restarted shell (its "TaskbarCreated" message) has
    // forgotten every icon. Nothing happens when the icon is not shown.
    bool AddAgain();
    // Removes the icon. Returns what the shell answers.
    bool Remove();
    bool Shown() const { return shown_; }
    // The icon last handed to the shell (shared: never destroyed by its user).
    HICON Icon() const { return icon_; }
    // The name of the message a restarted shell sends to every top-level window.
    static UINT TaskbarCreatedMessage();

    UINT CallbackMessage() const { return callbackMessage_; }
    UINT Id() const { return id_; }

private:
    TWindow& owner_;
    UINT callbackMessage_;
    UINT id_;
    bool shown_ = false;
    HWND window_ = nullptr; // the window the icon was added for
    HICON icon_ = nullptr;
    std::string iconResource_;
    std::string tip_;
};

} // namespace ui
