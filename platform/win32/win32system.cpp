#include <windows.h>
#include <shellapi.h>
// The interface's operations share their names with the system's A/W macros.
#undef ShellExecute
#undef MessageBox
#undef ExtractAssociatedIcon

#include "platform/win32/win32system.h"

#include <stdexcept>

#include "platform/text.h"

namespace platform {

namespace {

// Deletes a bitmap handed out by GetIconInfo.
class TOwnedBitmap {
public:
    explicit TOwnedBitmap(HBITMAP bitmap) : bitmap_(bitmap) {}
    ~TOwnedBitmap() {
        if (bitmap_) DeleteObject(bitmap_);
    }
    TOwnedBitmap(const TOwnedBitmap&) = delete;
    TOwnedBitmap& operator=(const TOwnedBitmap&) = delete;
    HBITMAP Get() const { return bitmap_; }

private:
    HBITMAP bitmap_;
};

class TOwnedIcon {
public:
    explicit TOwnedIcon(HICON icon) : icon_(icon) {}
    ~TOwnedIcon() {
        if (icon_) DestroyIcon(icon_);
    }
    TOwnedIcon(const TOwnedIcon&) = delete;
    TOwnedIcon& operator=(const TOwnedIcon&) = delete;
    HICON Get() const { return icon_; }

private:
    HICON icon_;
};

// A memory DC for reading bitmaps: unlike the screen's DC, it costs the window
// system nothing to take and give back.
class TReadingDC {
public:
    TReadingDC() : dc_(CreateCompatibleDC(nullptr)) {}
    ~TReadingDC() {
        if (dc_) DeleteDC(dc_);
    }
    TReadingDC(const TReadingDC&) = delete;
    TReadingDC& operator=(const TReadingDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// The pixels of a bitmap as 32-bit values 0xAARRGGBB, rows top to bottom.
bool ReadBits(const TReadingDC& dc, HBITMAP bitmap, int width, int height, std::vector<uint32_t>& out) {
    if (!dc.Get() || width <= 0 || height <= 0) return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    out.assign((size_t)width * (size_t)height, 0);
    return GetDIBits(dc.Get(), bitmap, 0, (UINT)height, out.data(), &info, DIB_RGB_COLORS) == height;
}

const uint32_t kWhite = 0x00FFFFFF;

} // namespace

bool IconToImage(uintptr_t icon, TIconImage& image) {
    ICONINFO ii = {};
    if (!icon || !GetIconInfo((HICON)icon, &ii)) return false;
    TOwnedBitmap color(ii.hbmColor), mask(ii.hbmMask);
    BITMAP bm = {};
    if (!mask.Get() || !GetObjectW(mask.Get(), sizeof bm, &bm)) return false;
    int width = bm.bmWidth, height = bm.bmHeight;
    std::vector<uint32_t> maskBits, colorBits;
    bool alpha = false;
    TReadingDC dc;
    if (!color.Get()) {
        // A monochrome icon: one bitmap of double height, AND mask above XOR image.
        height /= 2;
        std::vector<uint32_t> both;
        if (height <= 0 || !ReadBits(dc, mask.Get(), width, height * 2, both)) return false;
        maskBits.assign(both.begin(), both.begin() + (ptrdiff_t)width * height);
        colorBits.assign(both.begin() + (ptrdiff_t)width * height, both.end());
    } else {
        BITMAP cb = {};
        GetObjectW(color.Get(), sizeof cb, &cb);
        if (!ReadBits(dc, color.Get(), width, height, colorBits) ||
            !ReadBits(dc, mask.Get(), width, height, maskBits))
            return false;
        if (cb.bmBitsPixel == 32)
            for (uint32_t p : colorBits)
                alpha = alpha || (p >> 24) != 0;
    }
    // The cells are drawn as "mask AND brush, then OR colour": a transparent pixel
    // must be white in the mask and black in the colour. An icon with an alpha
    // channel says through it what is transparent.
    TPixmap src(width, height), srcMask(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            size_t i = (size_t)y * (size_t)width + (size_t)x;
            bool clear = alpha ? (colorBits[i] >> 24) < 128 : (maskBits[i] & kWhite) != 0;
            src.SetPixel(x, y, clear ? 0 : colorBits[i] & kWhite);
            srcMask.SetPixel(x, y, clear ? kWhite : 0);
        }
    const TRect cell(0, 0, 32, 32), whole(0, 0, width, height);
    image.Color = TPixmap(32, 32);
    image.Mask = TPixmap(32, 32);
    image.Color.StretchCopy(cell, src, whole, kSrcCopy);
    image.Mask.StretchCopy(cell, srcMask, whole, kSrcCopy);
    return true;
}

int TWin32System::ShellExecute(TWindowHandle owner, const std::string& verb, const std::string& file,
                               const std::string* params, const std::string* dir, int showCmd) {
    std::wstring wverb = Widen(verb), wfile = Widen(file);
    std::wstring wparams = params ? Widen(*params) : std::wstring();
    std::wstring wdir = dir ? Widen(*dir) : std::wstring();
    HINSTANCE r = ::ShellExecuteW((HWND)owner, verb.empty() ? nullptr : wverb.c_str(), wfile.c_str(),
                                  params ? wparams.c_str() : nullptr, dir ? wdir.c_str() : nullptr, showCmd);
    return (int)(INT_PTR)r;
}

int TWin32System::CopyFilesInto(TWindowHandle owner, const std::vector<std::string>& files,
                                const std::string& folder) {
    // Names one after another, each ending in NUL, the list in one more NUL. An
    // empty name would end the list early, so it is left out.
    std::wstring from;
    for (const std::string& f : files) {
        if (f.empty()) continue;
        from += Widen(f);
        from.push_back(L'\0');
    }
    if (from.empty()) return ERROR_INVALID_PARAMETER; // nothing to copy is no success
    from.push_back(L'\0');
    std::wstring to = Widen(folder);
    to.push_back(L'\0');
    to.push_back(L'\0');
    SHFILEOPSTRUCTW op = {};
    op.hwnd = (HWND)owner;
    op.wFunc = FO_COPY;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = 0;
    int r = SHFileOperationW(&op);
    // The user can cancel in the shell's own dialogs; the call still answers 0.
    if (r == 0 && op.fAnyOperationsAborted) r = ERROR_CANCELLED;
    return r;
}

int TWin32System::GetPathKind(const std::string& path) {
    DWORD attrs = GetFileAttributesW(Widen(path).c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) return pkMissing;
    return (attrs & FILE_ATTRIBUTE_DIRECTORY) ? pkFolder : pkFile;
}

bool TWin32System::ExtractAssociatedIcon(const std::string& path, TIconImage& icon, TIconPInfo* location) {
    if (location) {
        location->Location.clear();
        location->Index = 0;
    }
    std::wstring wpath = Widen(path);
    if (wpath.size() > kMaxIconPath) return false;
    // The shell writes where it found the icon back into the buffer.
    wchar_t buffer[kMaxIconPath + 2] = {};
    wpath.copy(buffer, wpath.size());
    WORD index = 0;
    TOwnedIcon h(::ExtractAssociatedIconW(GetModuleHandleW(nullptr), buffer, &index));
    if (location) {
        std::string where;
        if (Narrow(buffer, where)) location->Location = where;
        location->Index = index;
    }
    return h.Get() && IconToImage((uintptr_t)h.Get(), icon);
}

bool TWin32System::ExtractIndexedIcon(const std::string& file, int index, TIconImage& icon) {
    // Index -1 asks ExtractIcon for the number of icons, not for an icon.
    if (index == -1) return false;
    std::wstring wfile = Widen(file);
    if (wfile.size() > kMaxIconPath) return false;
    HICON h = ::ExtractIconW(GetModuleHandleW(nullptr), wfile.c_str(), (UINT)index);
    // 1 means "this file holds no icons", not a handle.
    if (h == (HICON)1) return false;
    TOwnedIcon owned(h);
    return owned.Get() && IconToImage((uintptr_t)owned.Get(), icon);
}

int TWin32System::AnalyseShortcut(const std::string& path, TLinkInfo& info) {
    return shortcutAnalyser_ ? shortcutAnalyser_(path, info) : -1;
}

int TWin32System::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    if (messageBox_) return messageBox_(text, caption, flags);
    HWND owner = ownerWindow_ ? (HWND)ownerWindow_() : nullptr;
    return ::MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), flags);
}

void TWin32System::SetWaitCursor(bool wait) {
    if (wait) {
        if (waitDepth_++ == 0) savedCursor_ = (uintptr_t)SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    } else if (waitDepth_ > 0 && --waitDepth_ == 0) {
        SetCursor(savedCursor_ ? (HCURSOR)savedCursor_ : LoadCursorW(nullptr, IDC_ARROW));
        savedCursor_ = 0;
    }
}

std::string TWin32System::ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, &path[0], (DWORD)path.size());
        if (n == 0) return std::string();
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    std::wstring folder = path.substr(0, path.find_last_of(L"\\/") + 1);
    std::string out;
    if (Narrow(folder, out)) return out;
    // A folder name code page 932 cannot hold: its short form is plain ASCII where
    // the file system keeps short names.
    std::wstring shortForm(MAX_PATH, L'\0');
    DWORD n = GetShortPathNameW(folder.c_str(), &shortForm[0], (DWORD)shortForm.size());
    if (n > 0 && n < shortForm.size()) {
        shortForm.resize(n);
        if (Narrow(shortForm, out)) return out;
    }
    throw std::runtime_error("プログラムのフォルダー名に、このプログラムで扱えない文字が含まれています。"
                             "別のフォルダーに移してから起動してください。");
}

uint32_t TWin32System::ColorToPixel(TColor color) {
    if (IsSystemColor(color)) return ColorRefToPixel(GetSysColor((int)(color & 0xFF)));
    return ColorRefToPixel(color & 0x00FFFFFF);
}

TWin32System& Win32System() {
    static TWin32System system;
    return system;
}

TWin32System& InstallWin32System() {
    SetSystem(&Win32System());
    return Win32System();
}

} // namespace platform
