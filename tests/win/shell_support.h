#pragma once
// Helpers of the shell and system tests: scratch folders on the real file system,
// shortcut files written and read by the system's own shell-link object (never by
// the code under test), and a watcher that finds a dialog of the test's thread and
// acts on it as a user would.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "platform/text.h"
#include "platform/win32/comptr.h"

namespace shelltest {

// A fresh folder under the temporary folder, removed with its content at the end.
class TTempFolder {
public:
    explicit TTempFolder(const std::wstring& name) {
        wchar_t buf[MAX_PATH];
        GetTempPathW(MAX_PATH, buf);
        path_ = std::wstring(buf) + L"kiropad-" + name + L"-" + std::to_wstring(GetCurrentProcessId());
        Remove();
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TTempFolder() { Remove(); }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    // Without the final separator.
    const std::wstring& W() const { return path_; }
    std::string A() const {
        std::string out;
        platform::Narrow(path_, out);
        return out;
    }

private:
    void Remove() {
        std::wstring from = path_;
        from.push_back(L'\0');
        SHFILEOPSTRUCTW op = {};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
        if (GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES) SHFileOperationW(&op);
    }
    std::wstring path_;
};

inline bool WriteFileW(const std::wstring& path, const std::string& bytes) {
    HANDLE h =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(h, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
    CloseHandle(h);
    return ok && written == bytes.size();
}

inline bool ExistsW(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::wstring W(const std::string& cp932) {
    return platform::Widen(cp932);
}

// What a shortcut file holds, as the shell's own object reports it.
struct TShellLink {
    std::wstring Target, WorkDir, Arguments, IconPath;
    int IconIndex = 0;
    int ShowCmd = SW_SHOWNORMAL;
    WORD HotKey = 0;
};

inline HRESULT WriteShortcutWithShell(const std::wstring& file, const TShellLink& fields) {
    platform::TComPtr<IShellLinkW> link;
    HRESULT hr =
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.PutVoid());
    if (FAILED(hr)) return hr;
    link->SetPath(fields.Target.c_str());
    link->SetWorkingDirectory(fields.WorkDir.c_str());
    link->SetArguments(fields.Arguments.c_str());
    link->SetIconLocation(fields.IconPath.c_str(), fields.IconIndex);
    link->SetShowCmd(fields.ShowCmd);
    link->SetHotkey(fields.HotKey);
    platform::TComPtr<IPersistFile> persist;
    hr = link->QueryInterface(IID_IPersistFile, persist.PutVoid());
    if (FAILED(hr)) return hr;
    return persist->Save(file.c_str(), TRUE);
}

inline HRESULT ReadShortcutWithShell(const std::wstring& file, TShellLink& out) {
    platform::TComPtr<IShellLinkW> link;
    HRESULT hr =
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.PutVoid());
    if (FAILED(hr)) return hr;
    platform::TComPtr<IPersistFile> persist;
    hr = link->QueryInterface(IID_IPersistFile, persist.PutVoid());
    if (FAILED(hr)) return hr;
    hr = persist->Load(file.c_str(), STGM_READ);
    if (FAILED(hr)) return hr;
    wchar_t buf[1024];
    buf[0] = 0;
    link->GetPath(buf, MAX_PATH, nullptr, SLGP_RAWPATH);
    out.Target = buf;
    buf[0] = 0;
    link->GetWorkingDirectory(buf, MAX_PATH);
    out.WorkDir = buf;
    buf[0] = 0;
    link->GetArguments(buf, 1024);
    out.Arguments = buf;
    buf[0] = 0;
    link->GetIconLocation(buf, MAX_PATH, &out.IconIndex);
    out.IconPath = buf;
    link->GetShowCmd(&out.ShowCmd);
    link->GetHotkey(&out.HotKey);
    return S_OK;
}

// Some shell-link objects (Wine's) keep a shortcut's target only in the system's
// ANSI code page, which may have no Japanese: true when target survives a shortcut
// written into folder and read back.
inline bool ShellLinkKeepsTarget(const std::wstring& folder, const std::wstring& target) {
    const std::wstring file = folder + L"\\keeps-target.lnk";
    TShellLink written, back;
    written.Target = target;
    bool kept = SUCCEEDED(WriteShortcutWithShell(file, written)) &&
                SUCCEEDED(ReadShortcutWithShell(file, back)) && back.Target == target;
    DeleteFileW(file.c_str());
    return kept;
}

// The show command field of a shortcut file's header (offset 60), read from the
// bytes: some shell-link objects report every loaded shortcut as SW_SHOWNORMAL.
inline int HeaderShowCmd(const std::wstring& file) {
    HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return -1;
    unsigned char header[76] = {};
    DWORD got = 0;
    ReadFile(h, header, sizeof header, &got, nullptr);
    CloseHandle(h);
    if (got != sizeof header) return -1;
    return header[60] | header[61] << 8 | header[62] << 16 | header[63] << 24;
}

inline std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

// Watches, from a thread of its own, for a visible window of class cls that belongs
// to thread, and hands it to act once. The watched thread meanwhile sits in a modal
// loop (a dialog, a message box) that keeps the window alive and answering.
class TWindowWatcher {
public:
    TWindowWatcher(DWORD thread, const std::wstring& cls, std::function<void(HWND)> act,
                   int timeoutMs = 20000)
        : worker_([=] {
              auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
              while (std::chrono::steady_clock::now() < until) {
                  HWND found = Find(thread, cls);
                  if (found) {
                      // Give the dialog time to finish its initialisation messages.
                      std::this_thread::sleep_for(std::chrono::milliseconds(300));
                      act(found);
                      found_ = true;
                      return;
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(50));
              }
          }) {}
    ~TWindowWatcher() { Join(); }
    void Join() {
        if (worker_.joinable()) worker_.join();
    }
    bool Found() const { return found_; }

    static HWND Find(DWORD thread, const std::wstring& cls) {
        Search search{cls, nullptr};
        EnumThreadWindows(thread, Visit, (LPARAM)&search);
        return search.found;
    }

private:
    struct Search {
        std::wstring cls;
        HWND found;
    };
    static BOOL CALLBACK Visit(HWND hwnd, LPARAM data) {
        auto* s = reinterpret_cast<Search*>(data);
        if (IsWindowVisible(hwnd) && ClassOf(hwnd) == s->cls) {
            s->found = hwnd;
            return FALSE;
        }
        return TRUE;
    }

    std::atomic<bool> found_{false};
    std::thread worker_;
};

} // namespace shelltest
