#pragma once
// Helpers shared by the Windows benchmark programs: a clock, a system layer whose
// program folder is a benchmark's own folder, the preparation of data files, and
// the observation of another process's windows.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "model/document.h"
#include "model/host.h"
#include "model/item.h"
#include "model/page.h"
#include "platform/system.h"
#include "platform/text.h"
#include "platform/win32/win32system.h"
#include "support/document_fill.h"
#include "tests/win/folder_system.h"

namespace bench {

using Clock = std::chrono::steady_clock;
inline double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}
// The middle sample (the upper of the two middle ones of an even count); 0 for none.
inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// The Windows system layer with the program folder of the benchmark; a message box
// is printed and declined, as nobody is there to answer it.
class TFolderSystem : public TProgramFolderSystem {
public:
    using TProgramFolderSystem::TProgramFolderSystem;
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
        std::fprintf(stderr, "message box: %s\n", platform::Cp932ToUtf8(text).c_str());
        (void)caption;
        return (flags & 0xF) == MB_YESNO ? IDNO : IDOK;
    }
};

// A fresh folder under the temporary folder, removed with its files at the end.
class TFolder {
public:
    explicit TFolder(const wchar_t* name) {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(folder_.c_str(), nullptr);
    }
    ~TFolder() {
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW((folder_ + L"*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileW((folder_ + fd.cFileName).c_str());
            } while (FindNextFileW(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryW(folder_.c_str());
    }
    TFolder(const TFolder&) = delete;
    TFolder& operator=(const TFolder&) = delete;
    const std::wstring& W() const { return folder_; }
    std::string A() const {
        std::string out;
        platform::Narrow(folder_, out);
        return out;
    }

private:
    std::wstring folder_;
};

// Writes a data file of `pages` pages of columns x rows items into the program folder
// of the installed system. paths[i % paths.size()] is item i's file (none: no file).
inline void WriteDocument(int pages, int columns, int rows, const std::vector<std::string>& paths) {
    WriteFilledDocument(pages, columns, rows, [&paths](TItem& item, size_t n) {
        std::string path =
            paths.empty() ? "C:\\tools\\tool" + std::to_string(n) + ".exe" : paths[n % paths.size()];
        item.Path = path;
        item.Name = "ツール " + std::to_string(n);
        item.IFol = path.substr(0, path.rfind('\\'));
        item.ImageIndex = -1;
    });
}

// The first `count` programs and libraries of the system folder, by name.
inline std::vector<std::string> RealFiles(size_t count) {
    std::vector<std::string> files;
    wchar_t sys[MAX_PATH];
    GetSystemDirectoryW(sys, MAX_PATH);
    for (const wchar_t* pattern : {L"\\*.exe", L"\\*.dll"}) {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW((std::wstring(sys) + pattern).c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) continue;
        do names.push_back(fd.cFileName);
        while (FindNextFileW(h, &fd));
        FindClose(h);
        std::sort(names.begin(), names.end());
        for (const std::wstring& n : names) {
            if (files.size() == count) return files;
            std::string a;
            if (platform::Narrow(std::wstring(sys) + L"\\" + n, a)) files.push_back(a);
        }
    }
    return files;
}

inline std::vector<uint8_t> ReadBytes(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(GetFileSize(h, nullptr));
    DWORD got = 0;
    if (!bytes.empty()) ReadFile(h, bytes.data(), (DWORD)bytes.size(), &got, nullptr);
    bytes.resize(got);
    CloseHandle(h);
    return bytes;
}

inline bool WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    bool ok = WriteFile(h, bytes.data(), (DWORD)bytes.size(), &put, nullptr) && put == bytes.size();
    CloseHandle(h);
    return ok;
}

// The folder of this program, ending with '\'.
inline std::wstring OwnFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.rfind(L'\\') + 1);
}

} // namespace bench
