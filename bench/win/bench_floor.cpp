// The floors of the start benchmarks, each a process of its own as Kiropad is:
//   bench_floor.exe window W H   a minimal Win32 program: one window of W x H,
//                                shown and painted, that runs until it is closed;
//   bench_floor.exe icons LIST   a bare loop extracting the associated icon of every
//                                file named in LIST (one path a line), then ends;
//   bench_floor.exe window-icons W H LIST
//                                the window of W x H shown and painted, then the same
//                                loop, handling pending messages after each file (as
//                                a window that stays responsive must), then ends: what
//                                any program pays that shows its window before it
//                                extracts, the least a cold start can cost.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND ShowFloorWindow(int width, int height) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = FloorProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"KiropadBenchFloor";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"floor", WS_OVERLAPPEDWINDOW, 100, 100, width, height,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return window;
}

int RunWindow(int width, int height) {
    ShowFloorWindow(width, height);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

void HandlePending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

int RunIcons(const char* list, void (*afterEach)()) {
    FILE* f = std::fopen(list, "r");
    if (!f) return 1;
    char line[MAX_PATH * 2];
    int extracted = 0;
    while (std::fgets(line, sizeof line, f)) {
        std::string path(line);
        while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
        if (path.empty()) continue;
        wchar_t buffer[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, buffer, MAX_PATH);
        WORD index = 0;
        if (HICON icon = ExtractAssociatedIconW(GetModuleHandleW(nullptr), buffer, &index)) {
            DestroyIcon(icon);
            ++extracted;
        }
        if (afterEach) afterEach();
    }
    std::fclose(f);
    return extracted > 0 ? 0 : 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "window" && argc > 3) return RunWindow(std::atoi(argv[2]), std::atoi(argv[3]));
    if (mode == "icons" && argc > 2) return RunIcons(argv[2], nullptr);
    if (mode == "window-icons" && argc > 4) {
        ShowFloorWindow(std::atoi(argv[2]), std::atoi(argv[3]));
        HandlePending();
        return RunIcons(argv[4], HandlePending);
    }
    std::fprintf(stderr, "usage: bench_floor window W H | icons LIST | window-icons W H LIST\n");
    return 1;
}
