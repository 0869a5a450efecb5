// A cold start whose targets answer slowly, under Wine (or on Windows): 10 pages x
// 15 items on 150 real files, no icon caches, and the system's calls that touch a
// target each taking 500 ms (a network share, a disk waking up). The start is a
// process of its own, this program as "bench_stall.exe start": the main window of
// Kiropad's sources with its icon workers, on that delayed system. `runs` times,
// alternating with B:
//   stall   V: the longest a message sent to the window waited to be answered, from
//              before the window is made until the icon of every item has come
//              (a second thread sends one every 5 ms and times the answer).
//   shown   A: from process start until the window is shown and drawn;
//           B: bench_floor.exe's window of the same size, the same way.
// Prints "stall V <ms>", "shown A <ms>", "shown B <ms>", and a "stall" line with the
// time until every icon had come for each run.
#include "bench_common.h"
#include "bench_process.h"
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

// The start itself, in the folder it runs in: writes the stall and the time until
// every icon had come into stall.txt there, then closes.
int RunStart() {
    platform::InstallWin32System();
    ui::TApplication app;
    char folder[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, folder);
    TSlowTargets system(std::string(folder) + "\\");
    platform::SetSystem(&system);
    auto t0 = Clock::now();
    auto form = std::make_unique<TfrmMain>();
    form->UseIconWorkers(4);
    double longest = 0;
    bool all = false;
    {
        THeartbeat heartbeat(form->Handle());
        form->ShowForm();
        auto until = Clock::now() + std::chrono::seconds(120);
        while (!(all = EveryIconCame(form->Doc())) && Clock::now() < until)
            HandleNextMessage();
        longest = heartbeat.LongestMs();
    }
    double took = bench::Ms(Clock::now() - t0);
    form->Doc().NoSave = true;
    form.reset();
    std::string line = std::to_string(longest) + " " + std::to_string(took) + (all ? " all" : " NOT-all");
    bench::WriteBytes(L"stall.txt", std::vector<uint8_t>(line.begin(), line.end()));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "start") return RunStart();
    int runs = argc > 1 ? std::atoi(argv[1]) : 7;
    platform::InstallWin32System();
    bench::TFolder folder(L"kiropad-bench-stall");
    {
        TSlowTargets slow(folder.A());
        platform::ISystem* previous = platform::SetSystem(&slow);
        TFakeHost host;
        std::vector<std::string> files = bench::RealFiles(150);
        bench::WriteDocument(10, 5, 3, files);
        platform::SetSystem(previous);
    }
    std::wstring own = bench::OwnFolder();
    std::wstring self = own + L"bench_stall.exe", floor = own + L"bench_floor.exe";
    std::wstring cl = folder.W() + L"IconClList.bdt", ms = folder.W() + L"IconMsList.bdt";
    std::wstring record = folder.W() + L"stall.txt";
    for (int r = 0; r < runs; ++r) {
        DeleteFileW(cl.c_str());
        DeleteFileW(ms.c_str());
        DeleteFileW(record.c_str());
        int width = 0, height = 0;
        {
            bench::TStarted p;
            auto t0 = Clock::now();
            if (!p.Start(self, L"start", folder.W())) return 1;
            HWND w = bench::WaitShownAndDrawn(p);
            if (!w) return 1;
            std::printf("shown A %.3f\n", bench::Ms(Clock::now() - t0));
            RECT rc;
            GetWindowRect(w, &rc);
            width = rc.right - rc.left;
            height = rc.bottom - rc.top;
            if (!p.Wait(180000)) return 1;
        }
        std::vector<uint8_t> bytes = bench::ReadBytes(record);
        std::string line(bytes.begin(), bytes.end());
        double longest = 0, took = 0;
        char all[16] = "";
        if (std::sscanf(line.c_str(), "%lf %lf %15s", &longest, &took, all) == 3) {
            std::printf("stall V %.3f\n", longest);
            std::fprintf(stderr, "stall run %d: every icon had come after %.0f ms (%s)\n", r, took, all);
        }
        {
            bench::TStarted p;
            auto t0 = Clock::now();
            std::wstring args = L"window " + std::to_wstring(width) + L" " + std::to_wstring(height);
            if (!p.Start(floor, args, folder.W())) return 1;
            HWND w = bench::WaitShownAndDrawn(p);
            if (!w || !bench::CloseAndWait(p, w)) return 1;
            std::printf("shown B %.3f\n", bench::Ms(Clock::now() - t0));
        }
        std::fflush(stdout);
    }
    return 0;
}
