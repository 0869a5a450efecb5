// A cold start whose targets answer slowly, the main window in this process under
// Wine (or on Windows): 10 pages x 15 items on 150 real files, no icon caches, and
// the system's calls that touch a target each taking 500 ms (a network share, a
// disk waking up). `runs` times, alternating with B:
//   stall   V: the longest a message sent to the window waited to be answered, from
//              before the window is made until the icon of every item has come
//              (a second thread sends one every 5 ms and times the answer).
//   shown   A: from before the window is made until it is shown and drawn;
//           B: a bare window of the same size made, shown and drawn the same way.
// Prints "stall V <ms>", "shown A <ms>", "shown B <ms>", and a "stall" line with the
// time until every icon had come for each run. A first run, not printed, warms up.
#include "bench_common.h"
#include "mainwindow/win32/frmmain.h"
#include "support/fake_host.h"
#include "ui/application.h"

#include <atomic>
#include <thread>

namespace {

using bench::Clock;

// The program's folder, with every call that reaches a target delayed.
class TSlowTargets : public bench::TFolderSystem {
public:
    using bench::TFolderSystem::TFolderSystem;
    platform::TPathKind GetPathKind(const std::string& path) override {
        Sleep(kAnswerMs);
        return bench::TFolderSystem::GetPathKind(path);
    }
    static const DWORD kAnswerMs = 500;
};

// Times the answers to messages sent to a window from a thread of its own.
class THeartbeat {
public:
    explicit THeartbeat(HWND window) : thread_([this, window] { Beat(window); }) {}
    ~THeartbeat() {
        stop_ = true;
        thread_.join();
    }
    double LongestMs() const { return longestUs_ / 1000.0; }

private:
    void Beat(HWND window) {
        while (!stop_) {
            auto t0 = Clock::now();
            DWORD_PTR r = 0;
            SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &r);
            long long us = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - t0).count();
            if (us > longestUs_) longestUs_ = us;
            Sleep(5);
        }
    }
    std::atomic<bool> stop_{false};
    std::atomic<long long> longestUs_{0};
    std::thread thread_;
};

bool Drawn(HWND w) {
    if (!IsWindowVisible(w) || GetUpdateRect(w, nullptr, FALSE)) return false;
    for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (IsWindowVisible(c) && GetUpdateRect(c, nullptr, FALSE)) return false;
    return true;
}

bool EveryIconCame(TDocument& doc) {
    if (doc.IconFetcher->Outstanding() > 0) return false;
    for (auto& page : doc.Pages)
        for (auto& item : page->Items())
            if (!item->Prepared) return false;
    return true;
}

// One pass over the queue, waiting for the next message when it is empty.
void HandleNextMessage() {
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

LRESULT CALLBACK BareProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        FillRect(dc, &ps.rcPaint, (HBRUSH)(COLOR_BTNFACE + 1));
        EndPaint(w, &ps);
        return 0;
    }
    return DefWindowProcW(w, m, wp, lp);
}

double BareWindowMs(int width, int height) {
    auto t0 = Clock::now();
    HWND w = CreateWindowExW(0, L"KiropadBenchBare", L"Kiropad", WS_OVERLAPPEDWINDOW, 0, 0, width, height,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(w, SW_SHOW);
    while (!Drawn(w))
        HandleNextMessage();
    double ms = bench::Ms(Clock::now() - t0);
    DestroyWindow(w);
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::atoi(argv[1]) : 7;
    platform::InstallWin32System();
    ui::TApplication app;
    bench::TFolder folder(L"kiropad-bench-stall");
    TSlowTargets system(folder.A());
    std::vector<std::string> files = bench::RealFiles(150);
    {
        platform::ISystem* previous = platform::SetSystem(&system);
        TFakeHost host;
        bench::WriteDocument(10, 5, 3, files);
        platform::SetSystem(previous);
    }
    WNDCLASSW bare{};
    bare.lpfnWndProc = BareProc;
    bare.hInstance = GetModuleHandleW(nullptr);
    bare.lpszClassName = L"KiropadBenchBare";
    bare.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&bare);

    std::wstring cl = folder.W() + L"IconClList.bdt", ms = folder.W() + L"IconMsList.bdt";
    platform::ISystem* previous = platform::SetSystem(&system);
    // Run 0 warms the process up (the first window of a process loads what Wine
    // loads lazily) and is not printed.
    for (int r = 0; r <= runs; ++r) {
        DeleteFileW(cl.c_str());
        DeleteFileW(ms.c_str());
        int width = 0, height = 0;
        {
            auto t0 = Clock::now();
            auto form = std::make_unique<TfrmMain>();
            form->UseIconWorkers(4);
            THeartbeat heartbeat(form->Handle());
            form->ShowForm();
            while (!Drawn(form->Handle()))
                HandleNextMessage();
            double shown = bench::Ms(Clock::now() - t0);
            RECT rc;
            GetWindowRect(form->Handle(), &rc);
            width = rc.right - rc.left;
            height = rc.bottom - rc.top;
            auto until = Clock::now() + std::chrono::seconds(120);
            while (!EveryIconCame(form->Doc()) && Clock::now() < until)
                HandleNextMessage();
            double all = bench::Ms(Clock::now() - t0);
            if (r > 0) {
                std::printf("shown A %.3f\n", shown);
                std::printf("stall V %.3f\n", heartbeat.LongestMs());
            }
            std::fprintf(stderr, "stall run %d: every icon had come after %.0f ms (%s)\n", r, all,
                         EveryIconCame(form->Doc()) ? "all" : "NOT all");
            form->Doc().NoSave = true;
            form.reset();
        }
        double bare = BareWindowMs(width, height);
        if (r > 0) std::printf("shown B %.3f\n", bare);
        std::fflush(stdout);
    }
    platform::SetSystem(previous);
    return 0;
}
