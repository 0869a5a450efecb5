#include <windows.h>

#include "ui/application.h"

#include <cstdlib>

#include "platform/text.h"
#include "ui/events.h"
#include "ui/paintbuffer.h"
#include "platform/win32/win32system.h"
#include "platform/exception.h"

namespace ui {

namespace {

TApplication* g_current = nullptr;
const wchar_t kWindowClass[] = L"KiropadApplication";

// The program file's name without folder and extension.
std::string ProgramName() {
    std::wstring name = platform::ProgramPath();
    name = name.substr(name.find_last_of(L"\\/") + 1);
    name = name.substr(0, name.rfind(L'.'));
    return platform::FromWide(name);
}

} // namespace

// The hidden window of the application: it receives WM_ACTIVATEAPP like every
// top-level window of the thread, and owns the help viewer.
struct TApplicationWindow {
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, (LONG_PTR)create->lpCreateParams);
        }
        auto* app = reinterpret_cast<TApplication*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (app && message == WM_ACTIVATEAPP && wParam) {
            app->Activated();
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    static void Register() {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        if (GetClassInfoExW(GetModuleHandleW(nullptr), kWindowClass, &wc)) return;
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kWindowClass;
        RegisterClassExW(&wc);
    }
};

TApplication::TApplication() : title_(ProgramName()) {
    if (g_current) std::abort(); // one application object per process
    g_current = this;
    OnException = FatalExceptionHandler;
    TApplicationWindow::Register();
    handle_ = (platform::TWindowHandle)CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass,
                                                       platform::Widen(title_).c_str(), WS_POPUP, 0, 0, 0, 0,
                                                       nullptr, nullptr, GetModuleHandleW(nullptr), this);
    SetAppContext(this);
    paintSurface_ = std::make_unique<TPaintSurface>();
    platform::TWin32System& system = platform::Win32System();
    system.SetOwnerWindowFn([this] { return ActiveWindow(); });
    system.SetMessageBoxFn([this](const std::string& text, const std::string& caption, unsigned flags) {
        return MsgBox(text, caption, flags);
    });
    // Exceptions caught at the window procedures of the ui layer reach OnException.
    ui::SetExceptionHandler([this](std::exception_ptr error) { HandleException(this, error); });
}

TApplication::~TApplication() {
    ui::SetExceptionHandler(nullptr);
    platform::TWin32System& system = platform::Win32System();
    system.SetMessageBoxFn(nullptr);
    system.SetOwnerWindowFn(nullptr);
    SetAppContext(nullptr);
    if (handle_) DestroyWindow((HWND)handle_);
    paintSurface_.reset();
    g_current = nullptr;
}

void TApplication::SetTitle(const std::string& title) {
    title_ = title;
    if (handle_) SetWindowTextW((HWND)handle_, platform::Widen(title).c_str());
}

void TApplication::Dispatch(MSG& msg) {
    try {
        if (OnMessage && OnMessage(msg)) return;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    } catch (...) {
        HandleException(this, std::current_exception());
    }
}

void TApplication::Run() {
    while (!terminated_) {
        MSG msg;
        BOOL r = GetMessageW(&msg, nullptr, 0, 0);
        if (r == 0 || r == -1) {
            terminated_ = true;
            break;
        }
        Dispatch(msg);
        if (mainWindow_ && !IsWindow((HWND)mainWindow_)) terminated_ = true;
    }
}

void AnswerSentMessages() {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            return;
        }
        Dispatch(msg);
    }
}

void TApplication::Terminate() {
    terminated_ = true;
    // Wakes a loop that waits in GetMessage. Not WM_QUIT: a quit request left in
    // the queue would end the next modal loop instead.
    if (handle_) PostMessageW((HWND)handle_, WM_NULL, 0, 0);
}

void TApplication::Activated() {
    if (OnActivate) Guard(this, OnActivate);
}

void TApplication::HandleException(void* sender, std::exception_ptr error) {
    auto deliver = [&](const std::exception& e) {
        if (!OnException) {
            ShowException(e);
            return;
        }
        try {
            OnException(sender, e);
        } catch (const std::exception& again) {
            ShowException(again); // a handler that fails must not take the loop with it
        } catch (...) {
            ShowException(Exception(""));
        }
    };
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        deliver(e);
    } catch (...) {
        deliver(Exception(""));
    }
}

int TApplication::RunGuarded(const std::function<void()>& body) {
    std::exception_ptr failure;
    try {
        body();
        return 0;
    } catch (...) {
        failure = std::current_exception();
    }
    // The end of the main window on the way out may have asked the loop to quit: that
    // request would end the box's own loop at once, before anyone read it.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    terminated_ = false;
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        ShowException(e);
    } catch (...) {
        ShowException(Exception(""));
    }
    return 1;
}

void TApplication::ShowException(const std::exception& error) {
    ::ShowException(::ExceptionMessage(error));
}

int TApplication::MsgBox(const std::string& text, const std::string& caption, unsigned flags) {
    if (hook_) return hook_(text, caption, flags);
    return MessageBoxW((HWND)ActiveWindow(), platform::Widen(text).c_str(), platform::Widen(caption).c_str(),
                       flags);
}

platform::TWindowHandle TApplication::ActiveWindow() const {
    if (HWND active = GetActiveWindow()) return (platform::TWindowHandle)active;
    if (mainWindow_ && IsWindow((HWND)mainWindow_) && IsWindowVisible((HWND)mainWindow_)) return mainWindow_;
    return 0;
}

TApplication::TMessageBoxFn TApplication::SetMessageBoxHook(TMessageBoxFn hook) {
    TMessageBoxFn previous = std::move(hook_);
    hook_ = std::move(hook);
    return previous;
}

TApplication& Application() {
    if (!g_current) std::abort(); // created by the entry point or the test's set-up
    return *g_current;
}

bool HasApplication() {
    return g_current != nullptr;
}

int DeclineAnswer(unsigned flags) {
    switch (flags & MB_TYPEMASK) {
    case MB_OK:
        return IDOK;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    case MB_YESNO:
        return IDNO;
    default:
        return IDCANCEL; // OK/Cancel, Yes/No/Cancel, Retry/Cancel, ...
    }
}

TScriptedMessageBoxes::TScriptedMessageBoxes(TApplication& app) : app_(app) {
    previous_ =
        app_.SetMessageBoxHook([this](const std::string& text, const std::string& caption, unsigned flags) {
            int answer = DeclineAnswer(flags);
            if (!queue_.empty()) {
                answer = queue_.front();
                queue_.erase(queue_.begin());
            }
            shown_.push_back({text, caption, flags, answer});
            return answer;
        });
}

TScriptedMessageBoxes::~TScriptedMessageBoxes() {
    app_.SetMessageBoxHook(std::move(previous_));
}

void TScriptedMessageBoxes::Answer(std::initializer_list<int> answers) {
    queue_.insert(queue_.end(), answers.begin(), answers.end());
}

} // namespace ui
