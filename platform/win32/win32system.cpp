#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
// The interface's operations share their names with the system's A/W macros.
#undef ShellExecute
#undef MessageBox
#undef ExtractAssociatedIcon

#include "platform/win32/win32system.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/text.h"
#include "platform/win32/bitmapinfo.h"
#include "platform/win32/handle.h"

namespace platform {

namespace {

// A square cell on a memory DC, kept for the thread's life: an icon is drawn on it
// and read back. Drawing asks no copy of the icon's bitmaps of the system, which
// reading them does (a quarter of a millisecond per icon).
class TIconCell {
public:
    explicit TIconCell(int size) : size_(size), dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info = TopDownInfo(size, size);
        void* bits = nullptr;
        if (dc_) dib_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!dib_) return;
        bits_ = static_cast<uint32_t*>(bits);
        previous_ = SelectObject(dc_, dib_);
        // A larger icon is shrunk pixel by pixel; a mask's pixels come out black and white.
        SetStretchBltMode(dc_, COLORONCOLOR);
        SetTextColor(dc_, RGB(0, 0, 0));
        SetBkColor(dc_, RGB(255, 255, 255));
    }
    ~TIconCell() {
        if (previous_) SelectObject(dc_, previous_);
        if (dib_) DeleteObject(dib_);
        if (dc_) DeleteDC(dc_);
    }
    TIconCell(const TIconCell&) = delete;
    TIconCell& operator=(const TIconCell&) = delete;

    int Size() const { return size_; }

    // Draws the icon's mask (DI_MASK) or image (DI_IMAGE) over black of alpha 0 and
    // copies the pixels, 0xAARRGGBB, rows top to bottom. An image with an alpha
    // channel is blended: its pixels come out multiplied by their alpha, which they keep.
    bool Draw(HICON icon, UINT part, uint32_t* out) {
        if (!bits_) return false;
        size_t count = (size_t)size_ * (size_t)size_;
        std::fill(bits_, bits_ + count, 0u);
        if (!DrawIconEx(dc_, 0, 0, icon, size_, size_, 0, nullptr, part)) return false;
        GdiFlush();
        std::copy(bits_, bits_ + count, out);
        return true;
    }

private:
    int size_;
    HDC dc_;
    HBITMAP dib_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    uint32_t* bits_ = nullptr;
};

// The thread's cell of a size: the 32 x 32 one of the icon list, and one more for
// the larger icons of a scaled display (one size at a time).
TIconCell& CellOf(int size) {
    static thread_local TIconCell list(32);
    static thread_local std::unique_ptr<TIconCell> larger;
    if (size == list.Size()) return list;
    if (!larger || larger->Size() != size) larger = std::make_unique<TIconCell>(size);
    return *larger;
}

const uint32_t kWhite = 0x00FFFFFF;

// The colour of a pixel that was multiplied by its alpha (at least 128 here).
uint32_t Unmultiplied(uint32_t pixel) {
    uint32_t alpha = pixel >> 24, out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        uint32_t c = (((pixel >> shift) & 0xFF) * 255 + alpha / 2) / alpha;
        out |= std::min(c, 255u) << shift;
    }
    return out;
}

} // namespace

bool IconToImage(uintptr_t icon, TIconImage& image, int size) {
    if (!icon || size <= 0 || size > 256) return false;
    // One cell per thread: the icon workers convert icons side by side.
    TIconCell& cell = CellOf(size);
    size_t count = (size_t)size * (size_t)size;
    std::vector<uint32_t> color(count), mask(count);
    if (!cell.Draw((HICON)icon, DI_IMAGE, color.data())) return false;
    bool alpha = std::any_of(color.begin(), color.end(), [](uint32_t p) { return (p >> 24) != 0; });
    // The cells are drawn as "mask AND brush, then OR colour": a transparent pixel
    // must be white in the mask and black in the colour. An icon with an alpha
    // channel says through it what is transparent.
    if (!alpha && !cell.Draw((HICON)icon, DI_MASK, mask.data())) return false;
    image.Color = TPixmap(size, size);
    image.Mask = TPixmap(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            uint32_t p = color[(size_t)(y * size + x)];
            bool clear = alpha ? (p >> 24) < 128 : (mask[(size_t)(y * size + x)] & kWhite) != 0;
            image.Color.SetPixel(x, y, clear ? 0 : alpha ? Unmultiplied(p) : p & kWhite);
            image.Mask.SetPixel(x, y, clear ? kWhite : 0);
        }
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

TPathKind TWin32System::GetPathKind(const std::string& path) {
    DWORD attrs = GetFileAttributesW(Widen(path).c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) return TPathKind::Missing;
    return (attrs & FILE_ATTRIBUTE_DIRECTORY) ? TPathKind::Folder : TPathKind::File;
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
    TIconHandle h(::ExtractAssociatedIconW(GetModuleHandleW(nullptr), buffer, &index));
    if (location) {
        location->Location = FromWide(buffer);
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
    TIconHandle owned(h);
    return owned && IconToImage((uintptr_t)owned.Get(), icon);
}

bool TWin32System::ExtractIconAtSize(const std::string& file, bool indexed, int index, int size,
                                     TIconImage& icon) {
    if (indexed && index == -1) return false;
    std::wstring wfile = Widen(file);
    if (wfile.size() > kMaxIconPath) return false;
    wchar_t buffer[kMaxIconPath + 2] = {};
    wfile.copy(buffer, wfile.size());
    TIconHandle associated;
    if (!indexed) {
        // The shell says where the associated icon lives (the file itself, or the
        // program of its type); the larger image is taken from there.
        WORD found = 0;
        associated.Reset(::ExtractAssociatedIconW(GetModuleHandleW(nullptr), buffer, &found));
        if (!associated) return false;
        index = (int)found;
    }
    HICON large = nullptr;
    HRESULT r = SHDefExtractIconW(buffer, index, 0, &large, nullptr, MAKELONG(size, 16));
    if (r == S_OK && large) {
        TIconHandle owned(large);
        return IconToImage((uintptr_t)owned.Get(), icon, size);
    }
    // A location the shell cannot open again: its own icon, stretched.
    return associated && IconToImage((uintptr_t)associated.Get(), icon, size);
}

thread_local bool TWin32System::comThread_ = false;

void TWin32System::BeginWorkerThread() {
    // Each successful call is matched by the one in EndWorkerThread.
    comThread_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

void TWin32System::EndWorkerThread() {
    if (comThread_) CoUninitialize();
    comThread_ = false;
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

std::wstring ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, &path[0], (DWORD)path.size());
        if (n == 0) return std::wstring();
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::string TWin32System::ProgramFolder() {
    std::wstring path = ProgramPath();
    if (path.empty()) return std::string();
    std::wstring folder = path.substr(0, path.find_last_of(L"\\/") + 1);
    // Any folder name: what code page 932 lacks is kept exact.
    return FromWide(folder);
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
