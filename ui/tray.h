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

    // Shows the icon (or changes it when shown): the icon resource of the program (such as "SMALLICON") at 16
    // x 16, and the tip (code page 932; cut to what the tip holds). Returns what the shell answers.
    bool Add(const std::string& iconResource, const std::string& tip);
    // Removes the icon. Returns what the shell answers.
    bool Remove();
    bool Shown() const { return shown_; }

    UINT CallbackMessage() const { return callbackMessage_; }
    UINT Id() const { return id_; }

private:
    TWindow& owner_;
    UINT callbackMessage_;
    UINT id_;
    bool shown_ = false;
    HWND window_ = nullptr; // the window the icon was added for
};

} // namespace ui
