#pragma once
// Tests at another display scale: the system reads the DPI from the registry at each
// process start, so a test runs itself again in a process of its own with the value
// set, and knows from the environment which DPI it was started for.
#include <windows.h>

#include <cstring>
#include <string>

namespace dpitest {

const wchar_t* const kDpiVariable = L"KIROPAD_TEST_DPI";

// The DPI this process was started for by RunsAtDpi, 0 when it was started as usual.
inline int StartedForDpi() {
    wchar_t value[16] = {};
    if (GetEnvironmentVariableW(kDpiVariable, value, 16) == 0) return 0;
    return _wtoi(value);
}

// Runs one test of this program in a process of its own at dpi pixels per inch;
// true when it passed. The registry value is put back as it was.
inline bool PassesAtDpi(const char* test, int dpi) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_READ | KEY_WRITE, &key) !=
        ERROR_SUCCESS)
        return false;
    DWORD old = 0, size = sizeof old, type = 0;
    bool had = RegQueryValueExW(key, L"LogPixels", nullptr, &type, (BYTE*)&old, &size) == ERROR_SUCCESS;
    DWORD value = (DWORD)dpi;
    RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, (const BYTE*)&value, sizeof value);
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line =
        L"\"" + std::wstring(self) + L"\" --gtest_filter=" + std::wstring(test, test + strlen(test));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    SetEnvironmentVariableW(kDpiVariable, std::to_wstring(dpi).c_str());
    DWORD code = 1;
    if (CreateProcessW(self, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, 120000);
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    SetEnvironmentVariableW(kDpiVariable, nullptr);
    if (had)
        RegSetValueExW(key, L"LogPixels", 0, type, (const BYTE*)&old, sizeof old);
    else
        RegDeleteValueW(key, L"LogPixels");
    RegCloseKey(key);
    return code == 0;
}

} // namespace dpitest
