#pragma once
// What the probe programs share: their own folder, and writing a record of
// "key=value" lines (UTF-16) in one piece, so that a test that polls for the file
// never reads half a record.
#include <windows.h>

#include <string>

namespace probe {

inline std::wstring FolderOfThisProgram() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

inline bool WriteWhole(const std::wstring& path, const std::wstring& text) {
    HANDLE h =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    bool ok = WriteFile(h, text.data(), size, &written, nullptr) && written == size;
    CloseHandle(h);
    return ok;
}

inline std::wstring CurrentFolder() {
    wchar_t cwd[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, cwd);
    return cwd;
}

// Writes the record under another name beside file, then renames it to file.
inline bool PublishRecord(const std::wstring& file, const std::wstring& record) {
    const std::wstring part = file + L".part";
    if (!WriteWhole(part, record)) return false;
    return MoveFileExW(part.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

} // namespace probe
