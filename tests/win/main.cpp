// Runs the Windows tests under Wine (or on Windows).
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/win32system.h"

namespace {

// The tests see the displays as the program does: its manifest declares it aware of
// each monitor's DPI (a test program has no such manifest, so it says so here).
void BeAwareOfEachMonitorsDpi() {
    using TSetContext = BOOL(WINAPI*)(HANDLE);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    auto set = user32 ? (TSetContext)(void*)GetProcAddress(user32, "SetProcessDpiAwarenessContext") : nullptr;
    if (set) set((HANDLE)-4); // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
}

} // namespace

int main(int argc, char** argv) {
    BeAwareOfEachMonitorsDpi();
    CoInitialize(nullptr);
    platform::InstallWin32System();
    testing::InitGoogleTest(&argc, argv);
    int rc = RUN_ALL_TESTS();
    CoUninitialize();
    return rc;
}
