#include "ui/window.h"

#include <commctrl.h>

#include <set>

#include "platform/text.h"
#include "ui/accessible.h"
#include "ui/application.h"
#include "ui/canvas.h"
#include "ui/gdi.h"
#include "ui/menu.h"
#include "ui/statusbar.h"
#include "ui/timer.h"

namespace ui {

namespace {

const UINT_PTR kSubclassId = 0x4B50; // "KP"
const wchar_t* const kObjectProperty = L"KiropadWindowObject";

// The big (default size) or the small icon of that name. Shared icons stay loaded
// with the program: one handle per name and size.
HICON LoadIconResource(const wchar_t* name, bool small) {
    int width = small ? GetSystemMetrics(SM_CXSMICON) : 0, height = small ? GetSystemMetrics(SM_CYSMICON) : 0;
    return (HICON)LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_ICON, width, height,
                             (small ? 0 : LR_DEFAULTSIZE) | LR_SHARED);
}

void RegisterFrameworkClass(const wchar_t* name, UINT style, HBRUSH background, WNDPROC proc,
                            const wchar_t* icon) {
    static std::set<std::wstring> registered;
    if (registered.count(name)) return;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    if (icon) {
        // A window of the class has its icons from its creation: setting them afterwards
        // costs the display a round trip per icon.
        wc.hIcon = LoadIconResource(icon, false);
        wc.hIconSm = LoadIconResource(icon, true);
    }
    RegisterClassExW(&wc);
    registered.insert(name);
}

} // namespace

// ---------------------------------------------------------------------------------
// TWindow

TWindow::~TWindow() {
    accessible_.reset(); // its source may be a member of a derived window, gone by now
    for (auto& t : timers_)
        t.second->owner_ = nullptr;
    timers_.clear();
    // The hooks may refer to objects that are gone by now: the window dies quietly.
    OnMessage = nullptr;
    if (hwnd_) DestroyWindow(hwnd_);
}

TWindow* TWindow::FromHandle(HWND hwnd) {
    if (!hwnd || !IsWindow(hwnd)) return nullptr;
    if ((WNDPROC)GetClassLongPtrW(hwnd, GCLP_WNDPROC) == WindowProc)
        return reinterpret_cast<TWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    // A subclassed system control: its user data belongs to the control, not to us.
    return static_cast<TWindow*>(GetPropW(hwnd, kObjectProperty));
}

TForm* TWindow::Form() {
    for (TWindow* w = this; w; w = w->parent_)
        if (TForm* f = dynamic_cast<TForm*>(w)) return f;
    return nullptr;
}

void TWindow::CreateHandle(const TCreateParams& p) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    parent_ = p.Parent;
    HWND parentHwnd = p.Parent ? p.Parent->Handle() : p.Owner;
    if (p.SystemClass) {
        static bool commonControls = false;
        if (!commonControls) {
            INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
            InitCommonControlsEx(&icc);
            commonControls = true;
        }
        HWND hwnd = CreateWindowExW(p.ExStyle, p.ClassName, p.Caption.c_str(), p.Style, p.Left, p.Top,
                                    p.Width, p.Height, parentHwnd, nullptr, instance, nullptr);
        if (!hwnd) return;
        SetWindowSubclass(hwnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
        subclassed_ = true;
        Attach(hwnd);
        return;
    }
    RegisterFrameworkClass(p.ClassName, p.ClassStyle, p.Background, WindowProc, p.ClassIcon);
    CreateWindowExW(p.ExStyle, p.ClassName, p.Caption.c_str(), p.Style, p.Left, p.Top, p.Width, p.Height,
                    parentHwnd, nullptr, instance, this);
}

void TWindow::Attach(HWND hwnd) {
    hwnd_ = hwnd;
    if (subclassed_)
        SetPropW(hwnd, kObjectProperty, this);
    else
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    detail::CountWindowCreated();
}

void TWindow::Detach() {
    if (subclassed_)
        RemovePropW(hwnd_, kObjectProperty);
    else
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    detail::CountWindowDestroyed();
}

LRESULT CALLBACK TWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    TWindow* self;
    if (message == WM_NCCREATE) {
        self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->Attach(hwnd);
    } else {
        self = reinterpret_cast<TWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    LRESULT result = 0;
    try {
        result = self->Dispatch(message, wParam, lParam);
    } catch (...) {
        HandleException(std::current_exception());
    }
    if (message == WM_NCDESTROY) self->Detach();
    return result;
}

LRESULT CALLBACK TWindow::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR data) {
    TWindow* self = reinterpret_cast<TWindow*>(data);
    LRESULT result = 0;
    try {
        result = self->Dispatch(message, wParam, lParam);
    } catch (...) {
        HandleException(std::current_exception());
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, SubclassProc, id);
        self->Detach();
    }
    return result;
}

LRESULT TWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (OnMessage) {
        LRESULT result = 0;
        if (OnMessage(message, wParam, lParam, result)) return result;
    }
    if (accessible_) {
        LRESULT result = 0;
        if (accessible_->HandleMessage(message, wParam, lParam, result)) return result;
    }
    return HandleMessage(message, wParam, lParam);
}

void TWindow::SetAccessibleSource(IAccessibleSource* source) {
    accessible_.reset();
    if (source && hwnd_) accessible_ = std::make_unique<TAccessibleServer>(hwnd_, *source);
}

void TWindow::RaiseAccessibleEvent(DWORD event, int child) {
    if (accessible_) accessible_->RaiseEvent(event, child);
}

LRESULT TWindow::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
    if (subclassed_) return DefSubclassProc(hwnd_, message, wParam, lParam);
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT TWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCPAINT: {
        // A window without frame, caption or scroll bars has nothing to paint outside
        // its client area; the default handling would still take a window DC for it.
        RECT window, client;
        GetWindowRect(hwnd_, &window);
        GetClientRect(hwnd_, &client);
        if (window.right - window.left == client.right && window.bottom - window.top == client.bottom)
            return 0;
        break;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP: {
        TForm* form = Form();
        if (form && form != this) {
            WORD key = (WORD)wParam;
            if (form->PreviewKey(message, key, KeyMessageShiftState(message, lParam))) return 0;
            wParam = key;
        }
        return KeyMessage(message, wParam, lParam);
    }
    case WM_CHAR:
    case WM_IME_CHAR: {
        // The input method's result arrives as WM_IME_CHAR; handled here, it makes no WM_CHAR.
        TForm* form = Form();
        if (form && form->PreviewChar((wchar_t)wParam)) return 0;
        break;
    }
    case WM_TIMER: {
        auto it = timers_.find(wParam);
        if (it == timers_.end()) break;
        it->second->Fire();
        return 0;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == 0 && lParam == 0 && MenuCommand(LOWORD(wParam))) return 0;
        break;
    case WM_INITMENUPOPUP:
        if (MenuInitPopup(reinterpret_cast<HMENU>(wParam))) return 0;
        break;
    case WM_CONTEXTMENU:
        if (popupMenu_ && popupMenu_->AutoPopup()) {
            POINT p = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
            if (lParam == (LPARAM)-1) p = ClientToScreen(POINT{0, 0}); // from the keyboard
            if (!popupMenu_->OwnerWindow()) popupMenu_->SetOwnerWindow(hwnd_);
            popupMenu_->Popup(p.x, p.y);
            return 0;
        }
        break;
    }
    return DefaultHandler(message, wParam, lParam);
}

LRESULT TWindow::KeyMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultHandler(message, wParam, lParam);
}

namespace {
RECT WindowRectInParent(HWND hwnd) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    HWND parent = GetParent(hwnd);
    if (parent && (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD))
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}
} // namespace

void TWindow::SetBounds(int left, int top, int width, int height) {
    if (!hwnd_) return;
    // Only what changes is asked for: a window whose size stays is spared the size
    // negotiation (a top-level window's asks the display for its limits).
    RECT r = WindowRectInParent(hwnd_);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (r.right - r.left == width && r.bottom - r.top == height) flags |= SWP_NOSIZE;
    if (r.left == left && r.top == top) flags |= SWP_NOMOVE;
    if ((flags & SWP_NOSIZE) && (flags & SWP_NOMOVE)) return;
    SetWindowPos(hwnd_, nullptr, left, top, width, height, flags);
}

int TWindow::Left() const {
    return hwnd_ ? WindowRectInParent(hwnd_).left : 0;
}
int TWindow::Top() const {
    return hwnd_ ? WindowRectInParent(hwnd_).top : 0;
}
int TWindow::Width() const {
    RECT r = hwnd_ ? WindowRectInParent(hwnd_) : RECT{};
    return r.right - r.left;
}
int TWindow::Height() const {
    RECT r = hwnd_ ? WindowRectInParent(hwnd_) : RECT{};
    return r.bottom - r.top;
}
int TWindow::ClientWidth() const {
    RECT r = {};
    if (hwnd_) GetClientRect(hwnd_, &r);
    return r.right;
}
int TWindow::ClientHeight() const {
    RECT r = {};
    if (hwnd_) GetClientRect(hwnd_, &r);
    return r.bottom;
}

POINT TWindow::ClientToScreen(POINT p) const {
    if (hwnd_) ::ClientToScreen(hwnd_, &p);
    return p;
}

POINT TWindow::ScreenToClient(POINT p) const {
    if (hwnd_) ::ScreenToClient(hwnd_, &p);
    return p;
}

void TWindow::SetVisible(bool visible) {
    if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

bool TWindow::Visible() const {
    return hwnd_ && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void TWindow::SetEnabled(bool enabled) {
    if (hwnd_) EnableWindow(hwnd_, enabled);
}

bool TWindow::Enabled() const {
    return hwnd_ && IsWindowEnabled(hwnd_);
}

void TWindow::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (!hwnd_) return;
    SetWindowTextW(hwnd_, platform::Widen(caption).c_str());
    if (GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD) Invalidate();
}

void TWindow::Invalidate() {
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void TWindow::Update() {
    if (hwnd_) UpdateWindow(hwnd_);
}

void TWindow::DestroyHandle() {
    if (hwnd_) DestroyWindow(hwnd_);
}

// ---------------------------------------------------------------------------------
// TForm

TForm::TForm(const std::string& caption, TWindow* owner, const wchar_t* icon) {
    TCreateParams p;
    p.ClassName = L"KiropadForm";
    p.ClassIcon = icon;
    p.Style = Style();
    p.Caption = platform::Widen(caption);
    p.Left = CW_USEDEFAULT;
    p.Top = CW_USEDEFAULT;
    p.Width = 400;
    p.Height = 300;
    p.Owner = owner ? owner->Handle() : nullptr;
    CreateHandle(p);
    SetCaption(caption);
    if (icon) SetIconResource(icon);
}

TForm::~TForm() {
    OnCreate = nullptr;
    OnShow = nullptr;
    OnDestroy = nullptr;
    OnClose = nullptr;
    OnPaint = nullptr;
    OnKeyDown = nullptr;
    OnKeyUp = nullptr;
    OnActivate = nullptr;
    OnSysCommand = nullptr;
    if (Handle()) {
        // Menus and the status bar may die before the window: detach the menu bar.
        ::SetMenu(Handle(), nullptr);
        DestroyHandle();
    }
}

DWORD TForm::Style() const {
    return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
}

void TForm::SetClientSize(int width, int height) {
    HWND hwnd = Handle();
    if (!hwnd) return;
    RECT r = {0, 0, width, height};
    AdjustWindowRectEx(&r, (DWORD)GetWindowLongW(hwnd, GWL_STYLE), GetMenu(hwnd) != nullptr,
                       (DWORD)GetWindowLongW(hwnd, GWL_EXSTYLE));
    SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A menu bar that wraps onto a second line takes client height: measure and correct.
    for (int i = 0; i < 3; ++i) {
        RECT c, w;
        GetClientRect(hwnd, &c);
        int dw = width - c.right, dh = height - c.bottom;
        if (dw == 0 && dh == 0) break;
        GetWindowRect(hwnd, &w);
        SetWindowPos(hwnd, nullptr, 0, 0, w.right - w.left + dw, w.bottom - w.top + dh,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TForm::SetMenu(TMainMenu* menu) {
    menu_ = menu;
    if (Handle()) {
        ::SetMenu(Handle(), menu ? menu->Handle() : nullptr);
        if (menu) menu->SetOwnerWindow(Handle());
        // A hidden window draws its menu bar when it is shown.
        if (IsWindowVisible(Handle())) DrawMenuBar(Handle());
    }
}

bool TForm::DispatchShortcut(WORD key, TShiftState shift) {
    if (menu_ && menu_->DispatchShortcut(key, shift)) return true;
    for (TMenu* m : shortcutMenus_)
        if (m->DispatchShortcut(key, shift)) return true;
    return false;
}

void TForm::SetColor(platform::TColor color) {
    color_ = color;
    if (Handle()) InvalidateRect(Handle(), nullptr, TRUE);
}

void TForm::SetIconResource(const wchar_t* name) {
    icon_ = LoadIconResource(name, false);
    // Nothing to send when the window's class carries these icons already.
    if (icon_ && Handle() && (HICON)GetClassLongPtrW(Handle(), GCLP_HICON) != icon_) {
        SendMessageW(Handle(), WM_SETICON, ICON_BIG, (LPARAM)icon_);
        HICON small = LoadIconResource(name, true);
        SendMessageW(Handle(), WM_SETICON, ICON_SMALL, (LPARAM)(small ? small : icon_));
    }
}

void TForm::FinishCreate() {
    if (created_) return;
    created_ = true;
    DoCreate();
}

void TForm::ShowForm() {
    FinishCreate();
    if (!Handle()) return;
    AnswerSentMessages(); // the making of a form and its showing each take a while
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
}

void TForm::Close() {
    if (Handle()) SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

bool TForm::PreviewKey(UINT message, WORD& key, TShiftState shift) {
    bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    if (down && DispatchShortcut(key, shift)) return true;
    if (!keyPreview_) return false;
    DoKey(down, key, shift);
    return key == 0;
}

bool TForm::PreviewChar(wchar_t ch) {
    if (!keyPreview_) return false;
    bool handled = false;
    DoKeyPress(ch, handled);
    return handled;
}

LRESULT TForm::KeyMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // Keys that reach the form itself: it is the control with the focus.
    WORD key = (WORD)wParam;
    TShiftState shift = KeyMessageShiftState(message, lParam);
    bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    if (down && DispatchShortcut(key, shift)) return 0;
    DoKey(down, key, shift);
    if (key == 0) return 0;
    return DefaultHandler(message, key, lParam);
}

LRESULT TForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE: {
        bool allow = true;
        DoClose(allow);
        if (allow) DestroyWindow(Handle());
        return 0;
    }
    case WM_DESTROY:
        DoDestroy();
        if (mainForm_) PostQuitMessage(0);
        return 0;
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(Handle(), &r);
        TScopedBrush brush(CreateSolidBrush(ColorToRGB(color_)));
        FillRect(reinterpret_cast<HDC>(wParam), &r, brush.Get());
        return 1;
    }
    case WM_PAINT: {
        TPaintDC dc(Handle());
        TDCCanvas canvas(dc.Get(), ClientWidth(), ClientHeight());
        DoPaint(canvas);
        return 0;
    }
    case WM_SHOWWINDOW:
        if (wParam) DoShow();
        break;
    case WM_ACTIVATE:
        if (OnActivate) OnActivate(LOWORD(wParam) != WA_INACTIVE);
        break;
    case WM_SYSCOMMAND: {
        bool handled = false;
        DoSysCommand(wParam, handled);
        if (handled) return 0;
        break;
    }
    case WM_SIZE:
        if (statusBar_) statusBar_->AlignToForm();
        break;
    case WM_GETMINMAXINFO: {
        // The layout decides the size: a large grid may make the window larger than the screen.
        LRESULT r = DefaultHandler(message, wParam, lParam);
        MINMAXINFO* mmi = reinterpret_cast<MINMAXINFO*>(lParam);
        mmi->ptMaxTrackSize.x = mmi->ptMaxSize.x = 32767;
        mmi->ptMaxTrackSize.y = mmi->ptMaxSize.y = 32767;
        return r;
    }
    }
    return TWindow::HandleMessage(message, wParam, lParam);
}

void TForm::DoCreate() {
    if (OnCreate) OnCreate();
}

void TForm::DoShow() {
    if (OnShow) OnShow();
}

void TForm::DoClose(bool& allow) {
    if (OnClose) OnClose(allow);
}

void TForm::DoDestroy() {
    if (OnDestroy) OnDestroy();
}

void TForm::DoPaint(platform::ICanvas& canvas) {
    if (OnPaint) OnPaint(canvas);
}

void TForm::DoKeyDown(WORD& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(key, shift);
}

void TForm::DoKeyPress(wchar_t, bool&) {}

void TForm::DoKeyUp(WORD& key, TShiftState shift) {
    if (OnKeyUp) OnKeyUp(key, shift);
}

void TForm::DoSysCommand(WPARAM command, bool& handled) {
    if (OnSysCommand) OnSysCommand(command, handled);
}

} // namespace ui
