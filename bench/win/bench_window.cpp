// The main window in this process, under Wine (or on Windows):
//   big grid     A: BuildLayout of a 100 x 100 grid, all slots filled, faces cached;
//                B: the same for 5 x 3. Alternating, `runs` each.
//   page switch  A: PageDown on the 100 x 100 grid until the new page is painted;
//                B: one full-client BitBlt of a prepared bitmap of the same size.
//                Both end alike, with the pass over the message queue that finds it
//                empty: under Wine that is when what a window drew reaches the
//                screen, for the blit as for the paint.
//   objects      USER and GDI objects of the process (GetGuiResources) and the ui
//                layer's own counts of live GDI objects and windows, for 5 x 3,
//                100 x 100 and after 100 rebuilds.
//   memory       (bench_window.exe memory) private memory of the process before and
//                after opening a document of 10,000 filled items (one page of 100 x 100).
// The grid uses items of 40 x 40 so that the 100 x 100 window stays a size the
// system can hold as one bitmap; the memory figure uses the default size.
#include "bench_common.h"
// After windows.h, which bench_common.h brings.
#include <psapi.h>
#include "mainwindow/win32/frmmain.h"
#include "support/fake_host.h"
#include "ui/application.h"
#include "ui/gdi.h"

namespace {

using bench::Clock;

struct TOpenWindow {
    std::unique_ptr<TfrmMain> Form;
    void Open(bool preload) {
        Form = std::make_unique<TfrmMain>();
        Form->ShowForm();
        if (!preload) Form->tmrM.SetEnabled(false);
        Pump();
    }
    // Dispatches what is waiting in the queue, without waiting for more: the flush
    // message of the light hosts that a key posted.
    static void DispatchPosted() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // A page switch as the user sees it: the key, the flush it posted, and the paint
    // of the window and its children, all done on return.
    static void SwitchPage(HWND h) {
        SendMessageW(h, WM_KEYDOWN, VK_NEXT, 0);
        DispatchPosted();
        RedrawWindow(h, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        GdiFlush();
    }
    static void Pump() {
        for (int i = 0; i < 5; ++i) {
            ui::Application().ProcessMessages();
            Sleep(10);
        }
    }
};

void WriteFolder(const std::string& folder, int pages, int columns, int rows, int itemSize) {
    bench::TFolderSystem system(folder);
    platform::ISystem* previous = platform::SetSystem(&system);
    {
        TFakeHost host;
        if (itemSize > 0) host.View.ItemWidth = host.View.ItemHeight = itemSize;
        bench::WriteDocument(pages, columns, rows, {});
    }
    platform::SetSystem(previous);
}

// A checksum of what the screen shows of a window's top left (at most 400 x 200),
// read back through a DIB: tells whether a page switch painted the new page.
uint32_t ScreenSum(HWND h) {
    RECT rc;
    GetClientRect(h, &rc);
    int w = std::min<int>(rc.right, 400), ht = std::min<int>(rc.bottom, 200);
    if (w <= 0 || ht <= 0) return 0;
    ui::TWindowDC dc(h);
    ui::TMemoryDC mem(dc.Get());
    ui::TDibSection dib(w, ht);
    if (!dib.Valid()) return 0;
    ui::TSelectObject selected(mem.Get(), dib.Get());
    BitBlt(mem.Get(), 0, 0, w, ht, dc.Get(), 0, 0, SRCCOPY);
    GdiFlush();
    uint32_t sum = 2166136261u;
    for (int i = 0; i < w * ht; ++i)
        sum = (sum ^ (dib.Bits()[i] & 0xFFFFFF)) * 16777619u;
    return sum;
}

void PrintRatio(const char* figure, const std::vector<double>& a, const std::vector<double>& b) {
    double ma = bench::Median(a), mb = bench::Median(b);
    std::printf("%s: median A %.3f ms, median B %.3f ms, A/B %.2f\n", figure, ma, mb, mb > 0 ? ma / mb : 0.0);
}

double PrivateMb() {
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), (PROCESS_MEMORY_COUNTERS*)&pmc, sizeof pmc);
    // Wine leaves PrivateUsage at 0; the commit charge (PagefileUsage) is the private
    // memory there as on Windows.
    SIZE_T bytes = pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
    return bytes / (1024.0 * 1024.0);
}

void PrintObjects(const char* when) {
    std::printf("objects %s user=%lu gdi=%lu ui_gdi=%ld ui_windows=%ld\n", when,
                GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS),
                GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), ui::LiveGdiObjects(), ui::LiveWindows());
}

int Memory() {
    bench::TFolder folder(L"kiropad-bench-memory");
    WriteFolder(folder.A(), 1, 100, 100, 0);
    bench::TFolderSystem system(folder.A());
    platform::SetSystem(&system);
    ui::TApplication app;
    double before = PrivateMb();
    TOpenWindow w;
    w.Open(true);
    for (int i = 0; i < 50; ++i)
        TOpenWindow::Pump();
    double after = PrivateMb();
    std::printf("memory before %.1f MB, with 10,000 items %.1f MB, the document %.1f MB\n", before, after,
                after - before);
    w.Form.reset();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    platform::InstallWin32System();
    if (argc > 1 && std::string(argv[1]) == "memory") return Memory();
    int runs = argc > 1 ? std::atoi(argv[1]) : 7;
    bench::TFolder big(L"kiropad-bench-big"), small(L"kiropad-bench-small");
    WriteFolder(big.A(), 2, 100, 100, 40);
    WriteFolder(small.A(), 2, 5, 3, 40);
    bench::TFolderSystem bigSystem(big.A()), smallSystem(small.A());
    ui::TApplication app;

    // Page switch and counts: one window over the big grid. Both pages are visited
    // first, so that every face is cached as after the preloading.
    platform::SetSystem(&bigSystem);
    {
        TOpenWindow w;
        w.Open(false);
        PrintObjects("100x100");
        HWND h = w.Form->Handle();
        // At the screen's corner, so that as much of it as the screen holds is drawn.
        SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        for (int i = 0; i < 2; ++i) {
            TOpenWindow::SwitchPage(h);
            SendMessageW(h, WM_KEYUP, VK_NEXT, 0xC0000000);
        }
        RECT rc, wr;
        GetClientRect(h, &rc);
        GetWindowRect(h, &wr);
        std::fprintf(stderr, "big grid window at %ld,%ld, client %ld x %ld\n", wr.left, wr.top, rc.right,
                     rc.bottom);
        {
            std::vector<double> pageA, pageB;
            // B draws over the child windows as A does: the form clips its children, and
            // a blit through its own DC would put next to nothing on the screen.
            ui::TWindowDC client(h, DCX_CACHE | DCX_CLIPSIBLINGS); // the children too
            HDC dc = client.Get();
            ui::TMemoryDC memory(dc);
            HDC mem = memory.Get();
            ui::TScopedBitmap bmp(CreateCompatibleBitmap(dc, rc.right, rc.bottom));
            ui::TSelectObject selected(mem, bmp.Get());
            PatBlt(mem, 0, 0, rc.right, rc.bottom, WHITENESS);
            // The grid's top left is blacked out before each switch: a switch whose paint
            // did not happen inside A leaves it black.
            HWND grid = w.Form->pnlPage.Handle();
            auto blackOut = [grid] {
                ui::TWindowDC gdc(grid);
                PatBlt(gdc.Get(), 0, 0, 400, 200, BLACKNESS);
                GdiFlush();
            };
            blackOut();
            const uint32_t black = ScreenSum(grid);
            int unpainted = 0;
            for (int r = 0; r < runs; ++r) {
                TOpenWindow::Pump();
                blackOut();
                auto p0 = Clock::now();
                TOpenWindow::SwitchPage(h);
                auto p1 = Clock::now();
                if (ScreenSum(grid) == black) ++unpainted;
                auto p1b = Clock::now();
                BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
                GdiFlush();
                TOpenWindow::DispatchPosted();
                auto p2 = Clock::now();
                SendMessageW(h, WM_KEYUP, VK_NEXT, 0xC0000000);
                pageA.push_back(bench::Ms(p1 - p0));
                pageB.push_back(bench::Ms(p2 - p1b));
                std::printf("page A %.3f\npage B %.3f\n", pageA.back(), pageB.back());
            }
            std::printf("page switches not painted inside A: %d of %d\n", unpainted, runs);
            PrintRatio("page switch", pageA, pageB);
        }
        // Where the time of a page switch and of a rebuild goes (medians of `runs`).
        std::vector<double> select, paint, destroy, build;
        for (int r = 0; r < runs; ++r) {
            auto q0 = Clock::now();
            SendMessageW(h, WM_KEYDOWN, VK_NEXT, 0);
            auto q1 = Clock::now();
            TOpenWindow::DispatchPosted();
            RedrawWindow(h, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            GdiFlush();
            auto q2 = Clock::now();
            SendMessageW(h, WM_KEYUP, VK_NEXT, 0xC0000000);
            w.Form->Grid.DestroyItemButtons();
            auto q3 = Clock::now();
            w.Form->BuildLayout(false);
            auto q4 = Clock::now();
            select.push_back(bench::Ms(q1 - q0));
            paint.push_back(bench::Ms(q2 - q1));
            destroy.push_back(bench::Ms(q3 - q2));
            build.push_back(bench::Ms(q4 - q3));
            TOpenWindow::Pump();
        }
        // The paint of the grid alone, again over the same page (no button catches up).
        std::vector<double> repaint;
        HWND grid = w.Form->pnlPage.Handle();
        for (int r = 0; r < runs; ++r) {
            RedrawWindow(grid, nullptr, nullptr, RDW_INVALIDATE);
            auto r0 = Clock::now();
            RedrawWindow(grid, nullptr, nullptr, RDW_UPDATENOW);
            GdiFlush();
            repaint.push_back(bench::Ms(Clock::now() - r0));
            TOpenWindow::Pump();
        }
        auto median = bench::Median;
        std::printf("breakdown 100x100: page switch = select %.3f + paint %.3f ms (of it the grid's paint "
                    "%.3f); rebuild = release buttons %.3f + BuildLayout %.3f ms\n",
                    median(select), median(paint), median(repaint), median(destroy), median(build));
        for (int i = 0; i < 100; ++i)
            w.Form->BuildLayout(false);
        TOpenWindow::Pump();
        PrintObjects("100x100-after-100-rebuilds");
    }
    // Big grid: a window over each document in turn.
    std::vector<double> gridA, gridB;
    for (int r = 0; r < runs; ++r) {
        for (int side = 0; side < 2; ++side) {
            platform::SetSystem(side == 0 ? &bigSystem : &smallSystem);
            TOpenWindow w;
            w.Open(false);
            if (r == 0 && side == 1) PrintObjects("5x3");
            w.Form->BuildLayout(false); // the faces are cached from here on
            TOpenWindow::Pump();
            auto t0 = Clock::now();
            w.Form->BuildLayout(false);
            (side == 0 ? gridA : gridB).push_back(bench::Ms(Clock::now() - t0));
            std::printf("grid %c %.3f\n", side == 0 ? 'A' : 'B', bench::Ms(Clock::now() - t0));
            w.Form.reset();
            TOpenWindow::Pump();
        }
        std::fflush(stdout);
    }
    PrintRatio("big grid", gridA, gridB);
    return 0;
}
