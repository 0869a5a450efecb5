#include "platform/filestream.h"

#include <new>

#include "platform/exception.h"
#include "platform/filestream_detail.h"
#include "platform/text.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/handle.h"
#endif

namespace platform {

namespace {
long long g_writeFault = -1;
bool g_readAllocationFault = false;
} // namespace

namespace filestream_detail {
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

void CheckReadable(const std::string& name, unsigned long long size, size_t maxBytes) {
    if (size > maxBytes) throw Exception(TooLarge(name, maxBytes));
    if (g_readAllocationFault) throw std::bad_alloc();
}

std::string AsideName(const std::string& fileName, int attempt) {
    return fileName + ".bad" + (attempt == 1 ? std::string() : std::to_string(attempt));
}

size_t AllowedBytes(size_t n) {
    if (g_writeFault < 0) return n;
    return (long long)n < g_writeFault ? n : (size_t)g_writeFault;
}

} // namespace filestream_detail

using namespace filestream_detail;

void SetWriteFaultForTesting(long long failAfterBytes) {
    g_writeFault = failAfterBytes;
}
void SetReadAllocationFaultForTesting(bool fail) {
    g_readAllocationFault = fail;
}

std::string TemporaryFileFor(const std::string& fileName) {
    return fileName + ".tmp";
}

#ifndef _WIN32

namespace {

std::string HostName(const std::string& cp932) {
    return Cp932ToUtf8(cp932);
}

// A file descriptor of the host, closed by the one handle owner.
struct TFdTraits {
    using Type = int;
    static int Empty() { return -1; }
    static void Close(int fd) { ::close(fd); }
};
using TFd = THandleOwner<TFdTraits>;

} // namespace

bool FileExists(const std::string& fileName) {
    struct stat st;
    return ::stat(HostName(fileName).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::vector<uint8_t> ReadWholeFile(const std::string& fileName, size_t maxBytes) {
    TFd f(::open(HostName(fileName).c_str(), O_RDONLY));
    struct stat st;
    if (f.Get() < 0 || ::fstat(f.Get(), &st) != 0 || S_ISDIR(st.st_mode) || st.st_size < 0)
        throw Exception(CannotOpen(fileName));
    CheckReadable(fileName, (unsigned long long)st.st_size, maxBytes);
    std::vector<uint8_t> bytes((size_t)st.st_size);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t got = ::read(f.Get(), bytes.data() + done, bytes.size() - done);
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
    TFd out(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644));
    if (out.Get() < 0) {
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
            ssize_t n = ::write(out.Get(), buffer.data() + done, (size_t)got - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0)
                ok = false;
            else
                done += (size_t)n;
        }
    }
    if (ok) ok = ::fsync(out.Get()) == 0;
    out.Reset();
    if (!ok) ::unlink(target.c_str());
    return ok;
}

} // namespace

std::string CopyAside(const std::string& fileName) {
    TFd source(::open(HostName(fileName).c_str(), O_RDONLY));
    if (source.Get() < 0) return std::string();
    for (int attempt = 1; attempt <= kMaxAsideNames; ++attempt) {
        std::string name = AsideName(fileName, attempt);
        bool exists;
        if (CopyIntoNewFile(source.Get(), HostName(name), exists)) return name;
        if (!exists) return std::string();
    }
    return std::string();
}

void ReplaceFileContents(const std::string& fileName, const std::vector<uint8_t>& bytes) {
    std::string target = HostName(fileName);
    std::string temp = HostName(TemporaryFileFor(fileName));
    {
        TFd f(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644));
        if (f.Get() < 0) throw Exception(CannotCreate(fileName));
        size_t allowed = AllowedBytes(bytes.size());
        size_t done = 0;
        bool ok = true;
        while (done < allowed) {
            ssize_t n = ::write(f.Get(), bytes.data() + done, allowed - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                ok = false;
                break;
            }
            done += (size_t)n;
        }
        if (!ok || done != bytes.size() || ::fsync(f.Get()) != 0) {
            f.Reset();
            ::unlink(temp.c_str());
            throw Exception(CannotWrite(fileName));
        }
    }
    for (int attempt = 0;; ++attempt) {
        if (::rename(temp.c_str(), target.c_str()) == 0) return;
        bool busy = errno == EBUSY || errno == ETXTBSY;
        if (!busy || attempt >= kReplaceAttempts) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(kReplaceWaitsMs[attempt]));
    }
    ::unlink(temp.c_str());
    throw Exception(CannotWrite(fileName));
}

#endif

} // namespace platform
