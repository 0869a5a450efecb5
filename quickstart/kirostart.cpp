// Kirostart: starts the Kiropad.exe beside this program at high priority and ends.
// It shows nothing, reads nothing and waits for nothing; whether the start worked
// is not reported (a second Kiropad brings the running one forward by itself).
#include <windows.h>

#include "platform/win32/handle.h"
#include "quickstart/siblingpath.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    // The wide module path keeps a folder name that the ANSI code page cannot hold.
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (!quickstart::ReplaceFileName(path, length, MAX_PATH, L"Kiropad.exe")) return 0;

    // CreateProcessW may write into its command line, so it gets a buffer of its
    // own; empty, so that Kirostart's own arguments never reach Kiropad.
    wchar_t commandLine[1] = {L'\0'};
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    CreateProcessW(path, commandLine, nullptr, nullptr, FALSE, HIGH_PRIORITY_CLASS, nullptr, nullptr,
                   &startup, &started);
    // The started process's handles are closed as soon as Kirostart is done with them.
    platform::TKernelHandle process{started.hProcess};
    platform::TKernelHandle thread{started.hThread};
    return 0;
}
