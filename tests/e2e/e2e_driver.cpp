#include "e2e_driver.h"

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

bool TypeKeys(HWND window, const std::vector<std::vector<WORD>>& chords) {
    SetForegroundWindow(window);
    if (!WaitUntil([&] { return GetForegroundWindow() == window; }, 5000)) return false;
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

bool ClickAt(HWND host, POINT client) {
    POINT screen = client;
    ClientToScreen(host, &screen);
    HWND under = WindowFromPoint(screen);
    if (under != host) return false;
    LPARAM at = MAKELPARAM(client.x, client.y);
    PostMessageW(host, WM_MOUSEMOVE, 0, at);
    PostMessageW(host, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(host, WM_LBUTTONUP, 0, at);
    return true;
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
