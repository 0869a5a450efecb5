// Entry point of Kiropad: one running copy per program file. A second start of the
// same file only asks the running copy to come forward and ends; the first builds
// the application and the main window and runs the message loop until it closes.
#include <windows.h>

#include <exception>
#include <memory>
#include <string>

#include "mainwindow/win32/frmmain.h"
#include "platform/win32/win32system.h"
#include "shell/common.h"
#include "shell/instance_names.h"
#include "ui/application.h"
#include "ybfs/exception.h"

namespace {

std::wstring ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, &path[0], (DWORD)path.size());
        if (n == 0) return std::wstring();
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// Asks every top-level window to handle the activation message of this program file;
// returns once all have. A window of another program that has stopped answering is
// skipped, so that a hung program elsewhere cannot keep this copy alive for ever.
void SendActivationMessage(const std::wstring& programPath) {
    UINT message = RegisterWindowMessageW(BuildActivationMessageName(programPath).c_str());
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
}

int Run() {
    std::wstring path = ProgramPath();
    std::wstring mutexName = BuildInstanceMutexName(path);
    if (OpenMutexW(MUTEX_ALL_ACCESS, TRUE, mutexName.c_str())) {
        // Another copy of this file runs: it comes forward, this one ends. The handle
        // closes with the process.
        SendActivationMessage(path);
        return 0;
    }
    // Without the mutex the program runs on unguarded. Two copies started at the same
    // instant can both miss the mutex above; the one whose create finds it existing
    // is the second copy, so that never two copies write the same data file.
    HANDLE mutex = CreateMutexW(nullptr, TRUE, mutexName.c_str());
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        SendActivationMessage(path);
        return 0;
    }

    ui::TApplication app;
    app.SetTitle("Kiropad");
    auto form = std::make_unique<TfrmMain>();
    form->SetMainForm(true);
    app.SetMainWindow((platform::TWindowHandle)form->Handle());
    form->ShowForm();
    app.Run();
    form.reset();
    if (mutex) ReleaseMutex(mutex);
    return 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    // First: even the display of an early failure goes through the system layer.
    platform::InstallWin32System();
    try {
        return Run();
    } catch (const std::exception& e) {
        ShowException(ExceptionMessage(e));
    } catch (...) {
        ShowException(ExceptionMessage(Exception("")));
    }
    return 0;
}
