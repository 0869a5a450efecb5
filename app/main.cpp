// Entry point of Kiropad: one running copy per program file. A second start of the
// same file only asks the running copy to come forward and ends; the first builds
// the application and the main window and runs the message loop until it closes.
#include <windows.h>

#include <exception>
#include <memory>
#include <string>

#include "mainwindow/win32/frmmain.h"
#include "platform/win32/handle.h"
#include "platform/win32/win32system.h"
#include "shell/common.h"
#include "shell/instance_names.h"
#include "shell/win32/activation.h"
#include "ui/application.h"
#include "platform/exception.h"

namespace {

// COM for the user-interface thread, from the start to the end: starting items
// through the shell, the folder browser and the folder copy all need it.
class TComApartment {
public:
    TComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~TComApartment() {
        if (initialised_) CoUninitialize();
    }
    TComApartment(const TComApartment&) = delete;
    TComApartment& operator=(const TComApartment&) = delete;

private:
    bool initialised_;
};

// Enough to keep two cores busy and to wait on a few slow targets side by side.
const int kIconThreads = 4;

int Run() {
    std::wstring path = platform::ProgramPath();
    std::wstring mutexName = BuildInstanceMutexName(path);
    if (platform::TKernelHandle running{OpenMutexW(SYNCHRONIZE, FALSE, mutexName.c_str())}) {
        // Another copy of this file runs: it comes forward, this one ends.
        ActivateRunningCopy(path);
        return 0;
    }
    // Without the mutex the program runs on unguarded. Two copies started at the same
    // instant can both miss the mutex above; the one whose create finds it existing
    // is the second copy, so that never two copies write the same data file.
    platform::TKernelHandle mutex{CreateMutexW(nullptr, TRUE, mutexName.c_str())};
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        ActivateRunningCopy(path);
        return 0;
    }

    TComApartment com;
    ui::TApplication app;
    app.SetTitle("Kiropad");
    // A failure that escapes the window's creation or the loop is shown while the
    // application lives, under its title, and waits for the user.
    int code = app.RunGuarded([&app] {
        auto form = std::make_unique<TfrmMain>();
        // Icons come from worker threads: a target on a slow or missing drive never
        // holds up the window.
        form->UseIconWorkers(kIconThreads);
        form->SetMainForm(true);
        app.SetMainWindow((platform::TWindowHandle)form->Handle());
        form->ShowForm();
        app.Run();
    });
    if (mutex) ReleaseMutex(mutex.Get());
    return code;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    // First: even the display of an early failure goes through the system layer.
    platform::InstallWin32System();
    try {
        return Run();
    } catch (const std::exception& e) {
        // Before the application exists (or after it is gone) a plain box still says why.
        ShowException(ExceptionMessage(e));
    } catch (...) {
        ShowException(ExceptionMessage(Exception("")));
    }
    return 1;
}
