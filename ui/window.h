#pragma once
// Windows of the framework.
//
// TWindow puts `this` into the window's GWLP_USERDATA when the window is created and
// forwards every message to the virtual HandleMessage: the one place where a message
// enters a class. System controls (the status bar) are subclassed to the same effect.
// TForm is a top-level window, TPanel (ui/panel.h) a child window.
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "ui/accessible.h"
#include "ui/events.h"

namespace ui {

class TForm;
class TMainMenu;
class TMenu;
class TPopupMenu;
class TStatusBar;
class TTimer;

class TWindow {
public:
    virtual ~TWindow();
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    HWND Handle() const { return hwnd_; }
    // The framework window of a handle, or null.
    static TWindow* FromHandle(HWND hwnd);

    TWindow* Parent() const { return parent_; }
    // The form this window belongs to (itself for a form), or null.
    TForm* Form();

    // Position and size in the parent's client coordinates (screen for a form).
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
    void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
    void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
    void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    int ClientWidth() const;
    int ClientHeight() const;
    POINT ClientToScreen(POINT p) const;
    POINT ScreenToClient(POINT p) const;

    void SetVisible(bool visible);
    bool Visible() const;
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    void SetEnabled(bool enabled);
    bool Enabled() const;

    // Caption text in code page 932.
    void SetCaption(const std::string& caption);
    const std::string& Caption() const { return caption_; }

    void Invalidate();
    // Paints what is invalid now.
    virtual void Update();
    // Destroys the window now (hooks such as a form's OnDestroy run).
    void DestroyHandle();

    // Seen first for every message; returning true stops the message with result.
    std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)> OnMessage;
    // The accessible object of the client area: its children are described by source
    // (null: the system's standard object serves). The source outlives the window's use of it.
    void SetAccessibleSource(IAccessibleSource* source);
    // Tells accessibility clients of an event (EVENT_OBJECT_...) of a child of that
    // object (-1: the window itself).
    void RaiseAccessibleEvent(DWORD event, int child);

    // The menu that a right-click opens when its automatic popup is on.
    void SetPopupMenu(TPopupMenu* menu) { popupMenu_ = menu; }
    TPopupMenu* PopupMenu() const { return popupMenu_; }

protected:
    TWindow() = default;

    struct TCreateParams {
        const wchar_t* ClassName = nullptr;
        bool SystemClass = false; // a control class of the system, subclassed
        DWORD Style = 0;
        DWORD ExStyle = 0;
        UINT ClassStyle = 0; // for the framework's classes
        HBRUSH Background = nullptr;
        // The icons of the framework class, from the program's resources (the class is
        // registered by the first window that asks for it).
        const wchar_t* ClassIcon = nullptr;
        std::wstring Caption;
        int Left = 0, Top = 0, Width = 0, Height = 0;
        TWindow* Parent = nullptr;
        HWND Owner = nullptr; // a top-level window's owner
    };
    // Creates the window; a control of a system class is subclassed.
    void CreateHandle(const TCreateParams& params);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);
    // A key that no form preview consumed: the window's own handling.
    virtual LRESULT KeyMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void SetParentWindow(TWindow* parent) { parent_ = parent; }

private:
    friend class TTimer;
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR data);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void Attach(HWND hwnd);
    void Detach();

    HWND hwnd_ = nullptr;
    TWindow* parent_ = nullptr;
    std::unique_ptr<TAccessibleServer> accessible_;
    bool subclassed_ = false;
    TPopupMenu* popupMenu_ = nullptr;
    std::string caption_;
    std::map<UINT_PTR, TTimer*> timers_;
    UINT_PTR nextTimerId_ = 1;
};

// A top-level window: a single-line fixed border with the system menu and the
// minimise box (no maximise box, no sizing), created hidden. Closing it (Close, the
// close button) runs OnClose and OnDestroy (DoClose and DoDestroy); destroying the
// object instead takes a window that is still open down quietly, without its hooks.
class TForm : public TWindow {
public:
    // icon: the resource name of the title bar's icon, or null for the system's.
    explicit TForm(const std::string& caption = "", TWindow* owner = nullptr, const wchar_t* icon = nullptr);
    ~TForm() override;

    // Sets the client area to exactly width x height, with the menu bar as it wraps.
    void SetClientSize(int width, int height);

    // The form sees every key before the control with the focus.
    void SetKeyPreview(bool preview) { keyPreview_ = preview; }
    bool KeyPreview() const { return keyPreview_; }

    void SetMenu(TMainMenu* menu);
    TMainMenu* Menu() const { return menu_; }
    // Menus whose shortcut keys the form dispatches besides its main menu.
    void AddShortcutMenu(TMenu* menu) { shortcutMenus_.push_back(menu); }
    // Runs the command whose shortcut is key + shift, if a menu of the form has one
    // (enabling is computed first; a disabled entry ignores its key). True when the
    // key belongs to a menu entry and so is consumed.
    bool DispatchShortcut(WORD key, TShiftState shift);

    // Font and colour of the form; child panels take them when they are created.
    void SetFont(const platform::TFontSpec& font) { font_ = font; }
    const platform::TFontSpec& Font() const { return font_; }
    void SetColor(platform::TColor color);
    platform::TColor Color() const { return color_; }
    // The icon of the title bar, from the program's resources.
    void SetIconResource(const wchar_t* name);

    // Fires OnCreate once. Call it where the form's construction ends, after the hooks
    // are connected; Show calls it when it has not run yet.
    void FinishCreate();
    // Shows the form (and activates it).
    void ShowForm();
    // Asks the form to close: OnClose may refuse; otherwise the window is destroyed.
    void Close();
    // The main form: destroying it ends the message loop (PostQuitMessage).
    void SetMainForm(bool main) { mainForm_ = main; }

    // Called by a status bar created on the form, which the form keeps at its bottom.
    void AttachStatusBar(TStatusBar* bar) { statusBar_ = bar; }
    void DetachStatusBar(TStatusBar* bar) {
        if (statusBar_ == bar) statusBar_ = nullptr;
    }

    // The key preview: shortcut keys, then OnKeyDown / OnKeyUp when the preview is on.
    // True when the key is consumed. Windows of the form call it for their keys.
    bool PreviewKey(UINT message, WORD& key, TShiftState shift);
    // A typed character (WM_CHAR, or WM_IME_CHAR of the input method's result) for the
    // key preview: DoKeyPress when the preview is on. True when it is consumed.
    bool PreviewChar(wchar_t ch);

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnDestroy;
    // allow starts true; a handler that clears it keeps the form open.
    std::function<void(bool& allow)> OnClose;
    std::function<void(platform::ICanvas& canvas)> OnPaint;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    std::function<void(bool active)> OnActivate;
    // A WM_SYSCOMMAND (the whole command value); setting handled skips the system's handling.
    std::function<void(WPARAM command, bool& handled)> OnSysCommand;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT KeyMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The form's events. Each runs the On... hook of the same name; a form class of its
    // own overrides them instead of assigning its hooks.
    virtual void DoCreate();
    virtual void DoShow();
    virtual void DoClose(bool& allow);
    virtual void DoDestroy();
    virtual void DoPaint(platform::ICanvas& canvas);
    virtual void DoKeyDown(WORD& key, TShiftState shift);
    virtual void DoKeyUp(WORD& key, TShiftState shift);
    virtual void DoKeyPress(wchar_t ch, bool& handled);
    virtual void DoSysCommand(WPARAM command, bool& handled);

private:
    DWORD Style() const;
    void DoKey(bool down, WORD& key, TShiftState shift) {
        if (down)
            DoKeyDown(key, shift);
        else
            DoKeyUp(key, shift);
    }

    bool keyPreview_ = false;
    bool created_ = false;
    bool mainForm_ = false;
    TMainMenu* menu_ = nullptr;
    std::vector<TMenu*> shortcutMenus_;
    TStatusBar* statusBar_ = nullptr;
    platform::TFontSpec font_;
    platform::TColor color_ = platform::clBtnFace;
    HICON icon_ = nullptr;
};

} // namespace ui
