#pragma once
// Helpers of the tests that start the probe programs (tests/probes): where the
// build put them, scratch folders that a probe may still be writing into, and the
// record a probe leaves ("key=value" lines, UTF-16).
#include <windows.h>

#include <string>

namespace probetest {

inline std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// build/<preset>/ seen from win_tests.exe in build/<preset>/tests/.
inline std::wstring BuildFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return FolderOf(std::wstring(path, n)) + L"..\\";
}

// A probe program built beside the tests, e.g. ProbePath(L"item_probe").
inline std::wstring ProbePath(const std::wstring& name) {
    return BuildFolder() + L"probes\\" + name + L".exe";
}

inline bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// A folder of its own under the temporary folder (its path ends in '\'), removed
// with everything in it.
class TScratchFolder {
public:
    explicit TScratchFolder(const std::wstring& name) {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        Remove(path_);
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;
    ~TScratchFolder() { Remove(path_); }

    const std::wstring& Path() const { return path_; }
    // Makes the sub-folder and returns its path (ending in '\').
    std::wstring Make(const std::wstring& sub) const {
        std::wstring p = path_ + sub + L"\\";
        CreateDirectoryW(p.c_str(), nullptr);
        return p;
    }

private:
    // A started probe may still be ending: its file is retried for a while.
    static void Remove(const std::wstring& folder) {
        WIN32_FIND_DATAW found;
        HANDLE h = FindFirstFileW((folder + L"*").c_str(), &found);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                std::wstring full = folder + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    Remove(full + L"\\");
                } else {
                    for (int i = 0; i < 50 && !DeleteFileW(full.c_str()); ++i)
                        Sleep(100);
                }
            } while (FindNextFileW(h, &found));
            FindClose(h);
        }
        RemoveDirectoryW(folder.c_str());
    }

    std::wstring path_;
};

// A probe's record: its "key=value" lines, when it appeared at all.
struct TRecord {
    bool present = false;
    std::wstring text;
    std::wstring Value(const std::wstring& key) const {
        size_t at = text.find(key + L"=");
        if (at == std::wstring::npos) return L"<missing>";
        at += key.size() + 1;
        return text.substr(at, text.find(L'\n', at) - at);
    }
};

// Waits up to ms milliseconds for the record file to appear and reads it.
inline TRecord WaitForRecord(const std::wstring& file, DWORD ms) {
    TRecord r;
    for (DWORD waited = 0; waited <= ms; waited += 100) {
        HANDLE h =
            CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            wchar_t buffer[4096];
            DWORD read = 0;
            ReadFile(h, buffer, sizeof buffer, &read, nullptr);
            CloseHandle(h);
            r.present = true;
            r.text.assign(buffer, read / sizeof(wchar_t));
            return r;
        }
        Sleep(100);
    }
    return r;
}

} // namespace probetest
