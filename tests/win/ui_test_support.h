// Helpers for the widget framework's tests: a local message pump (the application
// object's loop is not used here), a watcher that answers a system dialog from
// another thread, and an in-process HDROP as the shell builds it.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace uitest {

inline void PumpPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Pumps messages until done() or the time is up; returns done().
inline bool PumpUntil(const std::function<bool()>& done, int milliseconds = 5000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpPending();
    }
    return true;
}

inline void PumpFor(int milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

// From another thread: waits for a top-level window of this process with the given
// title to appear, then runs act on it (posting messages to it). Joins on destruction.
class TWindowWatcher {
public:
    TWindowWatcher(const std::wstring& title, std::function<void(HWND)> act, int timeoutMs = 20000)
        : thread_([this, title, act, timeoutMs] {
              auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
              while (std::chrono::steady_clock::now() < end) {
                  HWND w = FindWindowW(nullptr, title.c_str());
                  if (w && IsWindowVisible(w)) {
                      std::this_thread::sleep_for(std::chrono::milliseconds(300));
                      act(w);
                      found_ = true;
                      return;
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(50));
              }
          }) {}
    ~TWindowWatcher() { thread_.join(); }
    bool Found() const { return found_; }

private:
    std::atomic<bool> found_{false};
    std::thread thread_;
};

// A DROPFILES block with wide names, as the shell hands it over with WM_DROPFILES.
// The receiver frees it (DragFinish).
inline HDROP MakeDrop(const std::vector<std::wstring>& names, POINT point) {
    size_t chars = 1;
    for (const auto& n : names)
        chars += n.size() + 1;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    DROPFILES* df = static_cast<DROPFILES*>(GlobalLock(h));
    df->pFiles = sizeof(DROPFILES);
    df->pt = point;
    df->fNC = FALSE;
    df->fWide = TRUE;
    wchar_t* p = reinterpret_cast<wchar_t*>(reinterpret_cast<BYTE*>(df) + sizeof(DROPFILES));
    for (const auto& n : names) {
        std::memcpy(p, n.c_str(), n.size() * sizeof(wchar_t));
        p += n.size() + 1;
    }
    GlobalUnlock(h);
    return static_cast<HDROP>(h);
}

} // namespace uitest
