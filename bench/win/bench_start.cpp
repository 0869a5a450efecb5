// Start of the real Kiropad.exe under Wine (or on Windows), each side a process of
// its own, alternating, `runs` times each:
//   warm start  A: Kiropad.exe, copied into a folder with a data file of 10 pages x 15
//                  items pointing at real files and a valid icon cache, from process
//                  start until its window is shown and idle with every face drawn,
//                  then closed; B: bench_floor.exe window of the same size, the same way.
//   cold icons  A: the same start with no cache files, until the icon of every item
//                  of every page is prepared; B: bench_floor.exe extracting the same
//                  150 associated icons in a bare loop (process start to end).
//               Also measured, for comparison only: C, bench_floor.exe showing the
//               window of the same size and then extracting the same icons, handling
//               messages after each (process start to end). C/B is the least that
//               cold icons can be for any program that shows its window before it
//               extracts on the window's thread, whatever the program draws.
// "Shown and idle with every face drawn": the window is visible, a message sent to
// it is answered, and no window of the process has a region left to paint.
// "Every icon prepared": the icons are fetched by worker threads and put in by the
// window's thread, so their end is when no thread of the process uses the processor
// any more (no advance of their processor time for 300 ms); the time taken is that
// of the last advance. Each cold run is checked
// afterwards: the caches written at the close must equal those of a full preload.
// Prints "warm A <ms>", "warm B <ms>", "cold A <ms>", "cold B <ms>" lines, and at the
// end one "bound" line with the medians of C and of cold B and their ratio.
#include "bench_common.h"
#include "bench_process.h"
#include "support/fake_host.h"

using namespace bench;

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::atoi(argv[1]) : 7;
    platform::InstallWin32System();
    bench::TFolder folder(L"kiropad-bench-start");
    std::wstring own = bench::OwnFolder();
    std::wstring exe = folder.W() + L"Kiropad.exe";
    if (!CopyFileW((own + L"..\\Kiropad.exe").c_str(), exe.c_str(), FALSE)) {
        std::fprintf(stderr, "Kiropad.exe is not built\n");
        return 1;
    }
    std::wstring floor = own + L"bench_floor.exe";
    std::wstring cl = folder.W() + L"IconClList.bdt", ms = folder.W() + L"IconMsList.bdt";

    std::vector<std::string> files = bench::RealFiles(150);
    {
        bench::TFolderSystem system(folder.A());
        platform::ISystem* previous = platform::SetSystem(&system);
        TFakeHost host;
        bench::WriteDocument(10, 5, 3, files);
        platform::SetSystem(previous);
    }
    std::wstring list = folder.W() + L"files.txt";
    {
        std::string text;
        for (const std::string& f : files) text += f + "\n";
        bench::WriteBytes(list, std::vector<uint8_t>(text.begin(), text.end()));
    }
    std::string listA;
    platform::Narrow(list, listA);

    // A first start with no caches preloads every icon and writes the full caches.
    DeleteFileW(cl.c_str());
    DeleteFileW(ms.c_str());
    int width = 0, height = 0;
    {
        TStarted p;
        if (!p.Start(exe, L"", folder.W())) return 1;
        HWND w = WaitShownAndDrawn(p);
        if (!w) return 1;
        RECT r;
        GetWindowRect(w, &r);
        width = r.right - r.left;
        height = r.bottom - r.top;
        WaitQuiet(p, 1000);
        if (!CloseAndWait(p, w)) return 1;
    }
    std::vector<uint8_t> fullCl = bench::ReadBytes(cl), fullMs = bench::ReadBytes(ms);
    std::fprintf(stderr, "%zu files, window %d x %d, caches %zu + %zu bytes\n", files.size(), width, height,
                 fullCl.size(), fullMs.size());
    std::wstring floorWindow = L"window " + std::to_wstring(width) + L" " + std::to_wstring(height);
    std::wstring floorIcons = L"icons \"" + list + L"\"";
    std::wstring floorWindowIcons = L"window-icons " + std::to_wstring(width) + L" " + std::to_wstring(height) +
                                    L" \"" + list + L"\"";
    std::vector<double> coldB, coldC;

    for (int r = 0; r < runs; ++r) {
        // warm A
        bench::WriteBytes(cl, fullCl);
        bench::WriteBytes(ms, fullMs);
        {
            TStarted p;
            auto t0 = Clock::now();
            if (!p.Start(exe, L"", folder.W())) return 1;
            HWND w = WaitShownAndDrawn(p);
            if (!w || !CloseAndWait(p, w)) return 1;
            std::printf("warm A %.3f\n", bench::Ms(Clock::now() - t0));
        }
        // warm B
        {
            TStarted p;
            auto t0 = Clock::now();
            if (!p.Start(floor, floorWindow, folder.W())) return 1;
            HWND w = WaitShownAndDrawn(p);
            if (!w || !CloseAndWait(p, w)) return 1;
            std::printf("warm B %.3f\n", bench::Ms(Clock::now() - t0));
        }
        // cold A
        DeleteFileW(cl.c_str());
        DeleteFileW(ms.c_str());
        {
            TStarted p;
            auto t0 = Clock::now();
            if (!p.Start(exe, L"", folder.W())) return 1;
            HWND w = WaitShownAndDrawn(p);
            if (!w) return 1;
            Clock::time_point done = WaitQuiet(p, 300);
            if (!CloseAndWait(p, w)) return 1;
            if (bench::ReadBytes(cl) != fullCl || bench::ReadBytes(ms) != fullMs)
                std::fprintf(stderr, "cold run %d: the caches differ from a full preload\n", r);
            else
                std::printf("cold A %.3f\n", bench::Ms(done - t0));
        }
        // cold B
        {
            TStarted p;
            auto t0 = Clock::now();
            if (!p.Start(floor, floorIcons, folder.W()) || !p.Wait(60000)) return 1;
            coldB.push_back(bench::Ms(Clock::now() - t0));
            std::printf("cold B %.3f\n", coldB.back());
        }
        // cold C (comparison only)
        {
            TStarted p;
            auto t0 = Clock::now();
            if (!p.Start(floor, floorWindowIcons, folder.W()) || !p.Wait(60000)) return 1;
            coldC.push_back(bench::Ms(Clock::now() - t0));
        }
        std::fflush(stdout);
    }
    if (coldB.empty() || coldC.empty()) return 0;
    double b = bench::Median(coldB), c = bench::Median(coldC);
    std::printf("bound cold icons: the floor's window shown, then the same loop: %.3f ms (%.3f-%.3f), "
                "against the bare loop's %.3f ms: %.2f\n",
                c, *std::min_element(coldC.begin(), coldC.end()), *std::max_element(coldC.begin(), coldC.end()), b,
                b > 0 ? c / b : 0.0);
    return 0;
}
