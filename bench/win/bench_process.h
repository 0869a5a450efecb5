#pragma once
// Another program of the benchmarks as a process: started, waited for until its
// window is shown and drawn or until it rests, and closed.
#include "bench_common.h"
// After windows.h, which bench_common.h brings.
#include <tlhelp32.h>

namespace bench {

struct TStarted {
    PROCESS_INFORMATION pi{};
    ~TStarted() {
        if (pi.hProcess) {
            if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 1);
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
    }
    bool Start(const std::wstring& exe, const std::wstring& args, const std::wstring& cwd) {
        std::wstring line = L"\"" + exe + L"\" " + args;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        return CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(), &si, &pi);
    }
    bool Wait(DWORD ms) { return WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0; }
    // The processor time of all the program's threads: the window's and the icon
    // workers'. (Not GetProcessTimes: under Wine, asked about another process, it
    // answers with the caller's own times.)
    ULONGLONG CpuTime() const {
        ULONGLONG total = 0;
        HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
        if (snap == INVALID_HANDLE_VALUE) return 0;
        THREADENTRY32 te{};
        te.dwSize = sizeof te;
        for (BOOL more = Thread32First(snap, &te); more; more = Thread32Next(snap, &te)) {
            if (te.th32OwnerProcessID != pi.dwProcessId) continue;
            HANDLE t = OpenThread(THREAD_QUERY_INFORMATION, FALSE, te.th32ThreadID);
            if (!t) continue;
            FILETIME c, e, k, u;
            if (GetThreadTimes(t, &c, &e, &k, &u))
                total += ((ULONGLONG)k.dwHighDateTime << 32 | k.dwLowDateTime) +
                         ((ULONGLONG)u.dwHighDateTime << 32 | u.dwLowDateTime);
            CloseHandle(t);
        }
        CloseHandle(snap);
        return total;
    }
};

struct TFind {
    DWORD pid;
    HWND found;
};

inline BOOL CALLBACK FindVisible(HWND w, LPARAM p) {
    TFind& f = *(TFind*)p;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == f.pid && IsWindowVisible(w)) {
        f.found = w;
        return FALSE;
    }
    return TRUE;
}

inline BOOL CALLBACK FindInvalid(HWND w, LPARAM p) {
    if (IsWindowVisible(w) && GetUpdateRect(w, nullptr, FALSE)) {
        *(bool*)p = true;
        return FALSE;
    }
    return TRUE;
}

// Waits until the process shows a window that is idle with nothing left to paint.
inline HWND WaitShownAndDrawn(const TStarted& p) {
    WaitForInputIdle(p.pi.hProcess, 30000);
    DWORD t0 = GetTickCount();
    while (GetTickCount() - t0 < 30000) {
        TFind f{p.pi.dwProcessId, nullptr};
        EnumWindows(FindVisible, (LPARAM)&f);
        if (f.found) {
            DWORD_PTR r = 0;
            SendMessageTimeoutW(f.found, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &r);
            bool invalid = GetUpdateRect(f.found, nullptr, FALSE) != FALSE;
            if (!invalid) EnumChildWindows(f.found, FindInvalid, (LPARAM)&invalid);
            if (!invalid) return f.found;
        }
        Sleep(1);
    }
    return nullptr;
}

// Waits until the process has used no processor time for `quietMs`, or 60 s in
// all (a busy machine must not stall the run); returns the time of the last advance.
inline Clock::time_point WaitQuiet(const TStarted& p, int quietMs) {
    ULONGLONG last = p.CpuTime();
    Clock::time_point start = Clock::now(), lastAdvance = start;
    auto ms = [](Clock::duration d) { return std::chrono::duration_cast<std::chrono::milliseconds>(d).count(); };
    while (ms(Clock::now() - lastAdvance) < quietMs) {
        if (ms(Clock::now() - start) > 60000) {
            std::fprintf(stderr, "the process did not come to rest within 60 s\n");
            break;
        }
        Sleep(2);
        ULONGLONG now = p.CpuTime();
        if (now != last) {
            last = now;
            lastAdvance = Clock::now();
        }
    }
    return lastAdvance;
}

inline bool CloseAndWait(TStarted& p, HWND window) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    return p.Wait(30000);
}

} // namespace bench
