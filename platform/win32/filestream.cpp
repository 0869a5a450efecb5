#include <windows.h>

#include "platform/filestream.h"
#include "platform/exception.h"
#include "platform/filestream_detail.h"
#include "platform/text.h"
#include "platform/win32/handle.h"

namespace platform {

using namespace filestream_detail;

bool FileExists(const std::string& fileName) {
    DWORD a = GetFileAttributesW(Widen(fileName).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<uint8_t> ReadWholeFile(const std::string& fileName, size_t maxBytes) {
    TFileHandle f(CreateFileW(Widen(fileName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!f) throw Exception(CannotOpen(fileName));
    LARGE_INTEGER size;
    if (!GetFileSizeEx(f.Get(), &size) || size.QuadPart < 0) throw Exception(CannotOpen(fileName));
    CheckReadable(fileName, (unsigned long long)size.QuadPart, maxBytes);
    std::vector<uint8_t> bytes((size_t)size.QuadPart);
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!ReadFile(f.Get(), bytes.data() + done, (DWORD)(bytes.size() - done), &got, nullptr))
            throw Exception(CannotOpen(fileName));
        if (got == 0) break; // the file shrank meanwhile: parse what is there
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

bool RemoveFile(const std::string& fileName) {
    return DeleteFileW(Widen(fileName).c_str()) != 0;
}

namespace filestream_detail {

std::string LocalTimeStamp() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char text[32];
    wsprintfA(text, "%04u%02u%02u-%02u%02u%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    return text;
}

std::vector<std::string> FilesBeside(const std::string& fileName) {
    std::wstring path = Widen(fileName);
    size_t slash = path.find_last_of(L"\\/:");
    std::wstring pattern = (slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1)) + L"*";
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW(pattern.c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(FromWide(found.cFileName));
    } while (FindNextFileW(h, &found));
    FindClose(h);
    return names;
}

bool CopyIntoNewFile(const std::string& source, const std::string& targetName, bool& exists) {
    std::wstring target = Widen(targetName);
    exists = false;
    if (CopyFileW(Widen(source).c_str(), target.c_str(), TRUE)) return true;
    DWORD err = GetLastError();
    exists = err == ERROR_FILE_EXISTS || err == ERROR_ALREADY_EXISTS;
    if (!exists) DeleteFileW(target.c_str()); // a partial copy (a full disk) is no copy
    return false;
}

} // namespace filestream_detail

void ReplaceFileContents(const std::string& fileName, const std::vector<uint8_t>& bytes) {
    std::wstring target = Widen(fileName);
    std::wstring temp = Widen(TemporaryFileFor(fileName));
    {
        TFileHandle f(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!f) throw Exception(CannotCreate(fileName));
        size_t allowed = AllowedBytes(bytes.size());
        DWORD written = 0;
        BOOL ok = allowed == 0 || WriteFile(f.Get(), bytes.data(), (DWORD)allowed, &written, nullptr);
        if (!ok || written != bytes.size() || !FlushFileBuffers(f.Get())) {
            f.Reset();
            DeleteFileW(temp.c_str());
            throw Exception(CannotWrite(fileName));
        }
    }
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return;
        DWORD err = GetLastError();
        bool busy =
            err == ERROR_SHARING_VIOLATION || err == ERROR_ACCESS_DENIED || err == ERROR_LOCK_VIOLATION;
        if (!busy || attempt >= kReplaceAttempts) break;
        Sleep(kReplaceWaitsMs[attempt]);
    }
    DeleteFileW(temp.c_str());
    throw Exception(CannotWrite(fileName));
}

} // namespace platform
