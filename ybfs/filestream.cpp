#include "ybfs/filestream.h"

#include <new>

#include "ybfs/exception.h"
#include "platform/text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>
#endif

namespace YBFS {

namespace {

long long g_writeFault = -1;
bool g_readAllocationFault = false;

std::string CannotOpen(const std::string& name) {
    return "ファイル " + name + " は開けません";
}
std::string CannotCreate(const std::string& name) {
    return "ファイル " + name + " を作成できません";
}
std::string CannotWrite(const std::string& name) {
    return "ファイル " + name + " に書き込めません";
}
std::string TooLarge(const std::string& name, size_t maxBytes) {
    return "ファイル " + name + " は大きすぎて読み込めません（" + std::to_string(maxBytes >> 20) +
           " MB まで）";
}

// Checked before the file's memory is taken.
void CheckReadable(const std::string& name, unsigned long long size, size_t maxBytes) {
    if (size > maxBytes) throw Exception(TooLarge(name, maxBytes));
    if (g_readAllocationFault) throw std::bad_alloc();
}

// The names CopyAside tries, in order.
std::string AsideName(const std::string& fileName, int attempt) {
    return fileName + ".bad" + (attempt == 1 ? std::string() : std::to_string(attempt));
}
const int kMaxAsideNames = 999;

// How many bytes a write of n bytes may put into the file under the fault seam.
size_t AllowedBytes(size_t n) {
    if (g_writeFault < 0) return n;
    return (long long)n < g_writeFault ? n : (size_t)g_writeFault;
}

// Waits between attempts to replace a file that another program holds open:
// a few attempts with growing waits, under half a second in all.
const int kReplaceWaitsMs[] = {10, 30, 60, 120, 220};

} // namespace

void SetWriteFaultForTesting(long long failAfterBytes) {
    g_writeFault = failAfterBytes;
}
void SetReadAllocationFaultForTesting(bool fail) {
    g_readAllocationFault = fail;
}

std::string TemporaryFileFor(const std::string& fileName) {
    return fileName + ".tmp";
}

#ifdef _WIN32

namespace {

struct FileHandle {
    HANDLE h;
    explicit FileHandle(HANDLE handle) : h(handle) {}
    ~FileHandle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    void Close() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        h = INVALID_HANDLE_VALUE;
    }
};

} // namespace

bool FileExists(const std::string& fileName) {
    DWORD a = GetFileAttributesW(platform::Widen(fileName).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<uint8_t> ReadWholeFile(const std::string& fileName, size_t maxBytes) {
    FileHandle f(CreateFileW(platform::Widen(fileName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (f.h == INVALID_HANDLE_VALUE) throw Exception(CannotOpen(fileName));
    LARGE_INTEGER size;
    if (!GetFileSizeEx(f.h, &size) || size.QuadPart < 0) throw Exception(CannotOpen(fileName));
    CheckReadable(fileName, (unsigned long long)size.QuadPart, maxBytes);
    std::vector<uint8_t> bytes((size_t)size.QuadPart);
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!ReadFile(f.h, bytes.data() + done, (DWORD)(bytes.size() - done), &got, nullptr))
            throw Exception(CannotOpen(fileName));
        if (got == 0) break; // the file shrank meanwhile: parse what is there
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

bool RemoveFile(const std::string& fileName) {
    return DeleteFileW(platform::Widen(fileName).c_str()) != 0;
}

std::string CopyAside(const std::string& fileName) {
    std::wstring source = platform::Widen(fileName);
    for (int attempt = 1; attempt <= kMaxAsideNames; ++attempt) {
        std::string name = AsideName(fileName, attempt);
        std::wstring target = platform::Widen(name);
        // Never over an earlier copy: that may be the only one of older data.
        if (CopyFileW(source.c_str(), target.c_str(), TRUE)) return name;
        DWORD err = GetLastError();
        if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) {
            DeleteFileW(target.c_str()); // a partial copy (a full disk) is no copy
            return std::string();
        }
    }
    return std::string();
}

void ReplaceFileContents(const std::string& fileName, const std::vector<uint8_t>& bytes) {
    std::wstring target = platform::Widen(fileName);
    std::wstring temp = platform::Widen(TemporaryFileFor(fileName));
    {
        FileHandle f(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (f.h == INVALID_HANDLE_VALUE) throw Exception(CannotCreate(fileName));
        size_t allowed = AllowedBytes(bytes.size());
        DWORD written = 0;
        BOOL ok = allowed == 0 || WriteFile(f.h, bytes.data(), (DWORD)allowed, &written, nullptr);
        if (!ok || written != bytes.size() || !FlushFileBuffers(f.h)) {
            f.Close();
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
        if (!busy || attempt >= (int)(sizeof kReplaceWaitsMs / sizeof kReplaceWaitsMs[0])) break;
        Sleep(kReplaceWaitsMs[attempt]);
    }
    DeleteFileW(temp.c_str());
    throw Exception(CannotWrite(fileName));
}

#else

namespace {

std::string HostName(const std::string& cp932) {
    return platform::Cp932ToUtf8(cp932);
}

struct Fd {
    int fd;
    explicit Fd(int f) : fd(f) {}
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    void Close() {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
};

} // namespace

bool FileExists(const std::string& fileName) {
    struct stat st;
    return ::stat(HostName(fileName).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::vector<uint8_t> ReadWholeFile(const std::string& fileName, size_t maxBytes) {
    Fd f(::open(HostName(fileName).c_str(), O_RDONLY));
    struct stat st;
    if (f.fd < 0 || ::fstat(f.fd, &st) != 0 || S_ISDIR(st.st_mode) || st.st_size < 0)
        throw Exception(CannotOpen(fileName));
    CheckReadable(fileName, (unsigned long long)st.st_size, maxBytes);
    std::vector<uint8_t> bytes((size_t)st.st_size);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t got = ::read(f.fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw Exception(CannotOpen(fileName));
        if (got == 0) break;
        done += (size_t)got;
    }
    bytes.resize(done);
    return bytes;
}

bool RemoveFile(const std::string& fileName) {
    return ::unlink(HostName(fileName).c_str()) == 0;
}

namespace {

// Copies source into a new file target (which must not exist yet); false, with
// nothing left behind, when that fails.
bool CopyIntoNewFile(int source, const std::string& target, bool& exists) {
    exists = false;
    Fd out(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644));
    if (out.fd < 0) {
        exists = errno == EEXIST;
        return false;
    }
    std::vector<uint8_t> buffer(1 << 16);
    bool ok = ::lseek(source, 0, SEEK_SET) == 0;
    while (ok) {
        ssize_t got = ::read(source, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        size_t done = 0;
        while (ok && done < (size_t)got) {
            ssize_t n = ::write(out.fd, buffer.data() + done, (size_t)got - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0)
                ok = false;
            else
                done += (size_t)n;
        }
    }
    if (ok) ok = ::fsync(out.fd) == 0;
    out.Close();
    if (!ok) ::unlink(target.c_str());
    return ok;
}

} // namespace

std::string CopyAside(const std::string& fileName) {
    Fd source(::open(HostName(fileName).c_str(), O_RDONLY));
    if (source.fd < 0) return std::string();
    for (int attempt = 1; attempt <= kMaxAsideNames; ++attempt) {
        std::string name = AsideName(fileName, attempt);
        bool exists;
        if (CopyIntoNewFile(source.fd, HostName(name), exists)) return name;
        if (!exists) return std::string();
    }
    return std::string();
}

void ReplaceFileContents(const std::string& fileName, const std::vector<uint8_t>& bytes) {
    std::string target = HostName(fileName);
    std::string temp = HostName(TemporaryFileFor(fileName));
    {
        Fd f(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644));
        if (f.fd < 0) throw Exception(CannotCreate(fileName));
        size_t allowed = AllowedBytes(bytes.size());
        size_t done = 0;
        bool ok = true;
        while (done < allowed) {
            ssize_t n = ::write(f.fd, bytes.data() + done, allowed - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                ok = false;
                break;
            }
            done += (size_t)n;
        }
        if (!ok || done != bytes.size() || ::fsync(f.fd) != 0) {
            f.Close();
            ::unlink(temp.c_str());
            throw Exception(CannotWrite(fileName));
        }
    }
    for (int attempt = 0;; ++attempt) {
        if (::rename(temp.c_str(), target.c_str()) == 0) return;
        bool busy = errno == EBUSY || errno == ETXTBSY;
        if (!busy || attempt >= (int)(sizeof kReplaceWaitsMs / sizeof kReplaceWaitsMs[0])) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(kReplaceWaitsMs[attempt]));
    }
    ::unlink(temp.c_str());
    throw Exception(CannotWrite(fileName));
}

#endif

} // namespace YBFS
