#include "e2e_driver.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>

namespace e2e {

namespace {

INPUT Key(WORD key, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    in.ki.wScan = (WORD)MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

struct TChildSearch {
    HWND Parent;
    std::vector<HWND> Found;
};

BOOL CALLBACK CollectDirect(HWND child, LPARAM lp) {
    auto* s = reinterpret_cast<TChildSearch*>(lp);
    if (GetParent(child) == s->Parent) s->Found.push_back(child);
    return TRUE;
}

std::vector<HWND> DirectChildren(HWND parent) {
    TChildSearch s{parent, {}};
    EnumChildWindows(parent, CollectDirect, reinterpret_cast<LPARAM>(&s));
    return s.Found;
}

std::wstring ClassOf(HWND window) {
    wchar_t cls[64] = {};
    GetClassNameW(window, cls, 64);
    return cls;
}

struct TIdSearch {
    int Id;
    HWND Found;
};

BOOL CALLBACK FindId(HWND child, LPARAM lp) {
    auto* s = reinterpret_cast<TIdSearch*>(lp);
    if (GetDlgCtrlID(child) != s->Id) return TRUE;
    s->Found = child;
    return FALSE;
}

// The visible top-level windows of the process of this class.
std::vector<HWND> VisibleOf(DWORD pid, const wchar_t* className) {
    std::vector<HWND> found;
    for (HWND w : WindowsOf(pid))
        if (IsWindowVisible(w) && ClassOf(w) == className) found.push_back(w);
    return found;
}

// Owns a GDI object and a DC for the picture.
struct TScreenCopy {
    HDC Screen = GetDC(nullptr);
    HDC Memory = CreateCompatibleDC(Screen);
    HBITMAP Bitmap = nullptr;
    HGDIOBJ Old = nullptr;
    ~TScreenCopy() {
        if (Old) SelectObject(Memory, Old);
        if (Bitmap) DeleteObject(Bitmap);
        DeleteDC(Memory);
        ReleaseDC(nullptr, Screen);
    }
};

bool WriteFileWhole(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    BOOL ok = WriteFile(h, bytes.data(), (DWORD)bytes.size(), &put, nullptr);
    CloseHandle(h);
    return ok && put == bytes.size();
}

} // namespace

HWND StartKiropad(TSandbox& box, TProcess& process) {
    if (!box.CopyProduct(L"Kiropad.exe")) return nullptr;
    if (!process.Start(box.Path(L"Kiropad.exe"), L"", box.Folder())) return nullptr;
    return WaitForWindow(process.Id(), kStartMs, L"KiropadForm");
}

long CloseKiropad(HWND window, TProcess& process) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    return process.Wait(kStartMs);
}

std::wstring TitleOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

bool BringToFront(HWND window) {
    // The window's thread is back in its message loop first (a command it runs
    // after a dialog closed, such as a save, is over).
    if (!Answers(window)) return false;
    SetForegroundWindow(window);
    // Input reaches the window once its own thread has taken the activation (not only
    // the system's note of it) and a dialog that just closed has given it back its input.
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    return WaitUntil(
        [&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return GetForegroundWindow() == window && IsWindowEnabled(window) &&
                   GetGUIThreadInfo(thread, &info) && info.hwndActive == window;
        },
        5000);
}

bool TypeKeys(HWND window, const std::vector<std::vector<WORD>>& chords) {
    return BringToFront(window) && PressKeys(chords);
}

bool PressKeys(const std::vector<std::vector<WORD>>& chords) {
    for (const std::vector<WORD>& chord : chords) {
        std::vector<INPUT> inputs;
        for (WORD k : chord)
            inputs.push_back(Key(k, false));
        for (auto k = chord.rbegin(); k != chord.rend(); ++k)
            inputs.push_back(Key(*k, true));
        if (SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT)) != inputs.size()) return false;
        Sleep(100); // each chord is handled before the next one arrives
    }
    return true;
}

namespace {

// A press and release posted at a point of `host`'s client area, when `host` is the
// window under that point on the screen.
bool PostClickAt(HWND host, POINT client, UINT down, UINT up, WPARAM held) {
    POINT screen = client;
    ClientToScreen(host, &screen);
    if (WindowFromPoint(screen) != host) return false;
    LPARAM at = MAKELPARAM(client.x, client.y);
    PostMessageW(host, WM_MOUSEMOVE, 0, at);
    PostMessageW(host, down, held, at);
    PostMessageW(host, up, 0, at);
    return true;
}

} // namespace

bool ClickAt(HWND host, POINT client) {
    return PostClickAt(host, client, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON);
}

bool RightClickAt(HWND host, POINT client) {
    return PostClickAt(host, client, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON);
}

bool Answers(HWND window, DWORD ms) {
    DWORD_PTR result = 0;
    return IsWindow(window) && SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, ms, &result) != 0;
}

bool MenuOpen(DWORD pid) {
    return !VisibleOf(pid, L"#32768").empty();
}

std::vector<HWND> DialogsOf(DWORD pid) {
    return VisibleOf(pid, L"#32770");
}

HWND WaitForNewDialog(DWORD pid, const std::vector<HWND>& known, DWORD ms) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : DialogsOf(pid))
                if (std::find(known.begin(), known.end(), w) == known.end()) found = w;
            return found != nullptr;
        },
        ms);
    return found;
}

bool WaitGone(HWND window, DWORD ms) {
    return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, ms);
}

HWND ControlOf(HWND dialog, int id) {
    TIdSearch s{id, nullptr};
    EnumChildWindows(dialog, FindId, reinterpret_cast<LPARAM>(&s));
    return s.Found;
}

bool ClickButton(HWND dialog, int id) {
    HWND button = ControlOf(dialog, id);
    return button && PostMessageW(button, BM_CLICK, 0, 0) != 0;
}

bool SetControlText(HWND dialog, int id, const std::wstring& text) {
    HWND control = ControlOf(dialog, id);
    return control && SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) != 0;
}

std::wstring ControlText(HWND dialog, int id) {
    HWND control = ControlOf(dialog, id);
    if (!control) return std::wstring();
    // WM_GETTEXT itself: GetWindowText does not ask a window of another process.
    wchar_t text[1024] = {};
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                             5000, &got))
        return std::wstring();
    return std::wstring(text, got);
}

bool PickTab(HWND dialog, int tabControlId, int index) {
    HWND tabs = ControlOf(dialog, tabControlId);
    if (!tabs) return false;
    SendMessageW(tabs, TCM_SETCURFOCUS, (WPARAM)index, 0);
    return SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == index;
}

void Drove(const std::wstring& what) {
    // Narrow literals of this program are code page 932: the line is made from wide text.
    std::wstring wide = L"e2e drove: " + what + L"\n";
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
    std::string line(n > 0 ? n : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), (int)wide.size(), &line[0], n, nullptr, nullptr);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

std::wstring StaticTexts(HWND dialog) {
    std::wstring all;
    for (HWND child : DirectChildren(dialog)) {
        if (lstrcmpiW(ClassOf(child).c_str(), L"Static") != 0) continue;
        wchar_t text[2048] = {};
        GetWindowTextW(child, text, 2048);
        all += text;
    }
    return all;
}

bool PressButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (!button) return false;
    return PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button)) !=
           0;
}

HWND ChildAt(HWND parent, const wchar_t* className, POINT topLeft) {
    for (HWND child : DirectChildren(parent)) {
        if (ClassOf(child) != className) continue;
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
        if (r.left == topLeft.x && r.top == topLeft.y) return child;
    }
    return nullptr;
}

size_t SaveWindowPicture(HWND window, const std::wstring& bmpPath) {
    RECT r;
    if (!GetWindowRect(window, &r)) return 0;
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return 0;
    TScreenCopy copy;
    copy.Bitmap = CreateCompatibleBitmap(copy.Screen, w, h);
    if (!copy.Bitmap) return 0;
    copy.Old = SelectObject(copy.Memory, copy.Bitmap);
    if (!BitBlt(copy.Memory, 0, 0, w, h, copy.Screen, r.left, r.top, SRCCOPY)) return 0;
    SelectObject(copy.Memory, copy.Old);
    copy.Old = nullptr;

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = h; // bottom-up, as a bitmap file keeps its rows
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD stride = ((DWORD)w * 3 + 3) & ~3u;
    std::vector<uint8_t> pixels(stride * h);
    if (GetDIBits(copy.Memory, copy.Bitmap, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
                  DIB_RGB_COLORS) != h)
        return 0;

    std::set<uint32_t> colours;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = &pixels[y * stride + x * 3];
            colours.insert(p[0] | (p[1] << 8) | (p[2] << 16));
        }

    BITMAPFILEHEADER head{};
    head.bfType = 0x4D42; // "BM"
    head.bfOffBits = sizeof head + sizeof info;
    head.bfSize = head.bfOffBits + (DWORD)pixels.size();
    std::vector<uint8_t> file;
    const uint8_t* hp = reinterpret_cast<const uint8_t*>(&head);
    const uint8_t* ip = reinterpret_cast<const uint8_t*>(&info);
    file.insert(file.end(), hp, hp + sizeof head);
    file.insert(file.end(), ip, ip + sizeof info);
    file.insert(file.end(), pixels.begin(), pixels.end());
    return WriteFileWhole(bmpPath, file) ? colours.size() : 0;
}

} // namespace e2e
