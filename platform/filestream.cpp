#include "platform/filestream.h"

#include <algorithm>
#include <ctime>
#include <new>

#include "platform/exception.h"
#include "platform/filestream_detail.h"
#include "platform/text.h"

#ifndef _WIN32
#include <dirent.h>
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
std::string g_timeStamp;
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

std::string AsideName(const std::string& fileName, const std::string& stamp, int attempt) {
    return fileName + "." + stamp + (attempt == 1 ? std::string() : "-" + std::to_string(attempt)) +
           ".unreadable";
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
void SetTimeStampForTesting(const std::string& stamp) {
    g_timeStamp = stamp;
}
void SetReadAllocationFaultForTesting(bool fail) {
    g_readAllocationFault = fail;
}

std::string TemporaryFileFor(const std::string& fileName) {
    return fileName + ".tmp";
}

namespace {

// Where the name of a file starts in a path ('\\' or '/' may be a trail byte).
size_t NameStart(const std::string& path) {
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned char c = (unsigned char)path[i];
        if (IsLeadByte(c))
            ++i;
        else if (c == '\\' || c == '/' || c == ':')
            start = i + 1;
    }
    return start;
}

// The attempt number of an unreadable copy's name (after base + "."), with its
// stamp; 0 when the name is not one.
int CopyAttempt(const std::string& name, const std::string& base, std::string& stamp) {
    const std::string suffix = ".unreadable";
    const size_t kStamp = 15; // YYYYMMDD-HHMMSS
    if (name.size() < base.size() + 1 + kStamp + suffix.size() || name.compare(0, base.size(), base) != 0 ||
        name[base.size()] != '.' || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return 0;
    stamp = name.substr(base.size() + 1, kStamp);
    for (size_t i = 0; i < kStamp; ++i)
        if (i == 8 ? stamp[i] != '-' : (stamp[i] < '0' || stamp[i] > '9')) return 0;
    std::string rest = name.substr(base.size() + 1 + kStamp, name.size() - suffix.size() - base.size() - 1 - kStamp);
    if (rest.empty()) return 1;
    if (rest.size() < 2 || rest.size() > 4 || rest[0] != '-') return 0;
    int attempt = 0;
    for (size_t i = 1; i < rest.size(); ++i) {
        if (rest[i] < '0' || rest[i] > '9') return 0;
        attempt = attempt * 10 + (rest[i] - '0');
    }
    return attempt >= 2 ? attempt : 0;
}

} // namespace

std::vector<std::string> UnreadableCopies(const std::string& fileName) {
    size_t start = NameStart(fileName);
    std::string folder = fileName.substr(0, start), base = fileName.substr(start);
    struct TCopy {
        std::string Stamp;
        int Attempt;
        std::string Name;
    };
    std::vector<TCopy> copies;
    for (const std::string& name : FilesBeside(fileName)) {
        std::string stamp;
        if (int attempt = CopyAttempt(name, base, stamp)) copies.push_back({stamp, attempt, folder + name});
    }
    std::sort(copies.begin(), copies.end(), [](const TCopy& a, const TCopy& b) {
        return a.Stamp != b.Stamp ? a.Stamp < b.Stamp : a.Attempt < b.Attempt;
    });
    std::vector<std::string> names;
    for (const TCopy& c : copies)
        names.push_back(c.Name);
    return names;
}

std::string KeepUnreadableCopy(const std::string& fileName) {
    std::string stamp = g_timeStamp.empty() ? LocalTimeStamp() : g_timeStamp;
    std::string copy;
    for (int attempt = 1; attempt <= kMaxAsideNames && copy.empty(); ++attempt) {
        std::string name = AsideName(fileName, stamp, attempt);
        bool exists;
        // Never over an earlier copy: that may be the only one of older data.
        if (CopyIntoNewFile(fileName, name, exists)) copy = name;
        else if (!exists) return std::string();
    }
    if (copy.empty()) return copy;
    std::vector<std::string> copies = UnreadableCopies(fileName);
    for (size_t i = 0; i + kUnreadableCopiesKept < copies.size(); ++i)
        if (copies[i] != copy) RemoveFile(copies[i]);
    return copy;
}

std::string BackupFileFor(const std::string& fileName) {
    return fileName + ".bak";
}

bool KeepBackup(const std::string& fileName) {
    try {
        ReplaceFileContents(BackupFileFor(fileName), ReadWholeFile(fileName));
        return true;
    } catch (const Exception&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

#ifndef _WIN32

namespace {

std::string HostName(const std::string& cp932) {
    return ToUtf8(cp932);
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

namespace filestream_detail {

std::string LocalTimeStamp() {
    std::time_t now = std::time(nullptr);
    std::tm local;
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

std::vector<std::string> FilesBeside(const std::string& fileName) {
    std::string host = HostName(fileName);
    size_t slash = host.rfind('/');
    std::string folder = slash == std::string::npos ? "." : host.substr(0, slash + 1);
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (dirent* e = ::readdir(dir)) {
        std::string name;
        if (FromUtf8(e->d_name, name)) names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

bool CopyIntoNewFile(const std::string& sourceName, const std::string& targetName, bool& exists) {
    exists = false;
    TFd source(::open(HostName(sourceName).c_str(), O_RDONLY));
    if (source.Get() < 0) return false;
    std::string target = HostName(targetName);
    TFd out(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644));
    if (out.Get() < 0) {
        exists = errno == EEXIST;
        return false;
    }
    std::vector<uint8_t> buffer(1 << 16);
    bool ok = true;
    while (ok) {
        ssize_t got = ::read(source.Get(), buffer.data(), buffer.size());
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

} // namespace filestream_detail

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
