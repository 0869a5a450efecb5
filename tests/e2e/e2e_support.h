#pragma once
// Support for the end-to-end suite: it treats the built programs as a user meets
// them. Each case copies the programs into a fresh folder of its own, starts them
// as separate processes, looks at their windows and files, and ends only what it
// started.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// The folder that holds Kiropad.exe and Kirostart.exe (the parent of the test's folder).
std::wstring ProductFolder();

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TSandbox {
public:
    explicit TSandbox(const std::wstring& name);
    ~TSandbox();
    TSandbox(const TSandbox&) = delete;
    TSandbox& operator=(const TSandbox&) = delete;

    const std::wstring& Folder() const { return folder_; } // ends with '\'
    std::wstring Path(const std::wstring& name) const { return folder_ + name; }
    // Copies a file of the product folder (or any path) into the sandbox.
    bool CopyIn(const std::wstring& from, const std::wstring& asName);
    bool CopyProduct(const std::wstring& exeName) { return CopyIn(ProductFolder() + exeName, exeName); }

private:
    std::wstring folder_;
};

// A started process; ended (by its id) on destruction if it still runs.
class TProcess {
public:
    TProcess() = default;
    ~TProcess();
    TProcess(const TProcess&) = delete;
    TProcess& operator=(const TProcess&) = delete;

    bool Start(const std::wstring& exe, const std::wstring& args = L"", const std::wstring& cwd = L"");
    // Waits for the end; returns the exit code, or -1 on time-out.
    long Wait(DWORD ms);
    bool Running() const;
    // Waits until the process waits for input with none pending (its window is ready).
    bool WaitIdle(DWORD ms);
    DWORD Id() const { return pi_.dwProcessId; }
    void Kill();

private:
    PROCESS_INFORMATION pi_{};
};

// The first visible top-level window of the process whose class is not a Wine helper.
HWND WaitForWindow(DWORD pid, DWORD ms, const wchar_t* className = nullptr);
// Every top-level window of the process.
std::vector<HWND> WindowsOf(DWORD pid);
// Waits until pred() holds or ms have passed.
template <class Pred> bool WaitUntil(Pred pred, DWORD ms) {
    DWORD t0 = GetTickCount();
    for (;;) {
        if (pred()) return true;
        if (GetTickCount() - t0 > ms) return false;
        Sleep(50);
    }
}

bool FileExists(const std::wstring& path);
std::vector<uint8_t> ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes);

} // namespace e2e
