// Runs the Windows tests under Wine (or on Windows).
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/win32system.h"

int main(int argc, char** argv) {
    CoInitialize(nullptr);
    platform::InstallWin32System();
    testing::InitGoogleTest(&argc, argv);
    int rc = RUN_ALL_TESTS();
    CoUninitialize();
    return rc;
}
