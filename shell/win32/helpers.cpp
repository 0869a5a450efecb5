#include <windows.h>
#include <shlobj.h>

#include "shell/win32/helpers.h"

#include "platform/system.h"
#include "platform/text.h"
#include "platform/win32/comptr.h"
#include "shell/common.h"

namespace {

const UINT kHhDisplayTopic = 0;
typedef HWND(WINAPI* THtmlHelpW)(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data);

std::string& HtmlHelpLibrary() {
    static std::string name = "HHCTRL.OCX";
    return name;
}

// Opens the dialog at the initial folder handed in as callback data.
int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data) SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

} // namespace

std::string GetWinDir(int kind) {
    const UINT size = 261;
    wchar_t buffer[size];
    UINT n = kind == 0   ? GetWindowsDirectoryW(buffer, size)
             : kind == 1 ? GetSystemDirectoryW(buffer, size)
                         : 0;
    if (n == 0 || n >= size) return std::string();
    std::string dir = platform::FromWide(std::wstring(buffer, n));
    if (!EndsWithPathDelimiter(dir)) dir += '\\';
    return dir;
}

std::string BrowseFolder(platform::TWindowHandle owner, const std::string& title,
                         const std::string& initial) {
    platform::TComPtr<IMalloc> allocator;
    if (FAILED(SHGetMalloc(reinterpret_cast<IMalloc**>(allocator.PutVoid())))) return std::string();
    wchar_t displayName[MAX_PATH] = {};
    std::wstring wtitle = platform::Widen(title), winitial = platform::Widen(initial);
    BROWSEINFOW info = {};
    info.hwndOwner = (HWND)owner;
    info.pidlRoot = nullptr;
    info.pszDisplayName = displayName;
    info.lpszTitle = wtitle.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = BrowseCallback;
    info.lParam = initial.empty() ? 0 : (LPARAM)winitial.c_str();
    info.iImage = 0;
    std::string result;
    LPITEMIDLIST items = SHBrowseForFolderW(&info);
    if (items) {
        wchar_t path[MAX_PATH] = {};
        if (SHGetPathFromIDListW(items, path)) result = platform::FromWide(path);
        allocator->Free(items);
    }
    return result;
}

platform::TWindowHandle ShowHtmlHelp(const std::string& file, const std::string& topic) {
    // Loaded at every call and never freed: the viewer stays for the process's life.
    HMODULE library = LoadLibraryW(platform::Widen(HtmlHelpLibrary()).c_str());
    if (!library) {
        MsgBox("HHCTRL.OCXが見つかりません", AppTitle(), platform::mbOk);
        return 0;
    }
    auto entry = reinterpret_cast<THtmlHelpW>(reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpW")));
    if (!entry) return 0;
    std::wstring wfile = platform::Widen(file), wtopic = platform::Widen(topic);
    HWND owner = AppContext() ? (HWND)AppContext()->Handle() : nullptr;
    HWND viewer = entry(owner, wfile.c_str(), kHhDisplayTopic, topic.empty() ? 0 : (DWORD_PTR)wtopic.c_str());
    return (platform::TWindowHandle)viewer;
}

void SetHtmlHelpLibrary(const std::string& name) {
    HtmlHelpLibrary() = name;
}
