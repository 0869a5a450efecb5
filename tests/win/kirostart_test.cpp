// The real Kirostart.exe, started from another folder with a probe program beside
// it in the place of Kiropad.exe. The probe records its command line, current
// folder and priority class in "started.txt" beside itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// build/<preset>/ seen from win_tests.exe in build/<preset>/tests/.
std::wstring BuildFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return FolderOf(std::wstring(path, n)) + L"..\\";
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// A folder of its own under the temporary folder, removed with everything in it.
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

// Starts Kirostart with `arguments` in the current folder `cwd`; returns its exit
// code, or -1 when it could not be started or did not end within 30 seconds.
long RunKirostart(const std::wstring& exe, const std::wstring& arguments, const std::wstring& cwd) {
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(),
                        &startup, &info))
        return -1;
    CloseHandle(info.hThread);
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(info.hProcess, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    return static_cast<long>(code);
}

// The probe's record: its "key=value" lines, when it appeared at all.
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

// Waits up to `ms` milliseconds for the probe's record in `folder`.
TRecord WaitForRecord(const std::wstring& folder, DWORD ms) {
    TRecord r;
    const std::wstring file = folder + L"started.txt";
    for (DWORD waited = 0; waited <= ms; waited += 100) {
        HANDLE h =
            CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            wchar_t buffer[2048];
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

class Kirostart : public testing::Test {
protected:
    void SetUp() override {
        kirostart_ = BuildFolder() + L"Kirostart.exe";
        probe_ = BuildFolder() + L"probes\\kirostart_probe.exe";
        ASSERT_TRUE(Exists(kirostart_));
        ASSERT_TRUE(Exists(probe_));
    }
    std::wstring kirostart_, probe_;
};

} // namespace

TEST_F(Kirostart, StartsTheKiropadBesideItselfWithNoneOfItsArguments) {
    TScratchFolder scratch(L"キロスタート");
    // A Japanese folder with a space, and a decoy Kiropad.exe in the current folder.
    const std::wstring app = scratch.Make(L"アプリ フォルダ");
    const std::wstring here = scratch.Make(L"カレント");
    ASSERT_TRUE(CopyFileW(kirostart_.c_str(), (app + L"Kirostart.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(probe_.c_str(), (app + L"Kiropad.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(probe_.c_str(), (here + L"Kiropad.exe").c_str(), FALSE));

    EXPECT_EQ(RunKirostart(app + L"Kirostart.exe", L"/extra \"引数 つき\"", here), 0);
    TRecord started = WaitForRecord(app, 30000);
    ASSERT_TRUE(started.present) << "Kiropad.exe beside Kirostart was not started";
    EXPECT_FALSE(Exists(here + L"started.txt")) << "the Kiropad.exe of the current folder was started";

    // Nothing of Kirostart's own command line is passed on. Windows shows the child
    // an empty command line; Wine shows it its own quoted path instead.
    const std::wstring commandLine = started.Value(L"cmdline");
    EXPECT_EQ(commandLine.find(L"extra"), std::wstring::npos) << commandLine;
    EXPECT_EQ(commandLine.find(L"引数"), std::wstring::npos) << commandLine;
    EXPECT_TRUE(commandLine.empty() || commandLine == L"\"" + app + L"Kiropad.exe\"") << commandLine;

    // The caller's current folder is kept.
    EXPECT_EQ(started.Value(L"cwd") + L"\\", here);

    // Wine starts every child at normal priority: the flag itself is read from a
    // relay trace by tests/shell/kirostart_trace.sh instead.
    if (!RunningUnderWine()) {
        EXPECT_EQ(started.Value(L"priority"), std::to_wstring(HIGH_PRIORITY_CLASS));
    }
}

TEST_F(Kirostart, EndsQuietlyWhenNoKiropadLiesBesideIt) {
    TScratchFolder scratch(L"キロスタート単独");
    const std::wstring app = scratch.Make(L"app");
    const std::wstring here = scratch.Make(L"here");
    ASSERT_TRUE(CopyFileW(kirostart_.c_str(), (app + L"Kirostart.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(probe_.c_str(), (here + L"Kiropad.exe").c_str(), FALSE));

    EXPECT_EQ(RunKirostart(app + L"Kirostart.exe", L"", here), 0);
    EXPECT_FALSE(WaitForRecord(here, 2000).present) << "a Kiropad.exe outside Kirostart's folder was started";
}
