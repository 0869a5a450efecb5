#include "ui/events.h"

#include "platform/text.h"
#include "platform/exception.h"

namespace ui {

TShiftState KeyboardShiftState() {
    // The thread's key state in one call (under Wine each call asks the server, and
    // every key of the window comes through here).
    BYTE keys[256] = {};
    if (!GetKeyboardState(keys)) return 0;
    TShiftState s = 0;
    if (keys[VK_SHIFT] & 0x80) s |= ssShift;
    if (keys[VK_CONTROL] & 0x80) s |= ssCtrl;
    if (keys[VK_MENU] & 0x80) s |= ssAlt;
    return s;
}

TShiftState KeyMessageShiftState(UINT message, LPARAM lParam) {
    TShiftState s = KeyboardShiftState();
    if ((message == WM_SYSKEYDOWN || message == WM_SYSKEYUP) && (lParam & (1 << 29))) s |= ssAlt;
    return s;
}

TShiftState MouseShiftState(WPARAM wParam) {
    TShiftState s = 0;
    if (wParam & MK_SHIFT) s |= ssShift;
    if (wParam & MK_CONTROL) s |= ssCtrl;
    if (wParam & MK_LBUTTON) s |= ssLeft;
    if (wParam & MK_RBUTTON) s |= ssRight;
    if (wParam & MK_MBUTTON) s |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

namespace {

void DefaultExceptionHandler(std::exception_ptr error) {
    std::wstring text = platform::Widen(ExceptionMessage(error));
    MessageBoxW(GetActiveWindow(), text.c_str(), L"Kiropad", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    ExitProcess(1);
}

TExceptionHandler& Handler() {
    static TExceptionHandler handler = DefaultExceptionHandler;
    return handler;
}

} // namespace

void SetExceptionHandler(TExceptionHandler handler) {
    Handler() = handler ? std::move(handler) : TExceptionHandler(DefaultExceptionHandler);
}

void HandleException(std::exception_ptr error) {
    // A handler that throws in turn must not leave through a window procedure either.
    try {
        Handler()(error);
    } catch (...) {
        DefaultExceptionHandler(std::current_exception());
    }
}

std::string ExceptionMessage(std::exception_ptr error) {
    try {
        if (error) std::rethrow_exception(error);
    } catch (const Exception& e) {
        return e.Message();
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
    }
    return "予期しないエラーが発生しました。";
}

} // namespace ui
