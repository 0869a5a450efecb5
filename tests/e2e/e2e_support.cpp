#include "e2e_support.h"

#include <shellapi.h>

namespace e2e {

std::wstring ProductFolder() {
    wchar_t buf[MAX_PATH * 2];
    DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH * 2);
    std::wstring p(buf, n);
    p = p.substr(0, p.find_last_of(L'\\')); // .../tests
    p = p.substr(0, p.find_last_of(L'\\')); // .../build/win32
    return p + L"\\";
}

TSandbox::TSandbox(const std::wstring& name) {
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    folder_ = std::wstring(tmp) + L"kiropad-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name + L"\\";
    CreateDirectoryW(folder_.c_str(), nullptr);
}

TSandbox::~TSandbox() {
    // SHFileOperation wants a double-NUL list and no trailing backslash.
    std::wstring from = folder_.substr(0, folder_.size() - 1);
    from.push_back(L'\0');
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationW(&op);
}

bool TSandbox::CopyIn(const std::wstring& from, const std::wstring& asName) {
    return CopyFileW(from.c_str(), Path(asName).c_str(), FALSE) != 0;
}

TProcess::~TProcess() {
    Kill();
    if (pi_.hProcess) CloseHandle(pi_.hProcess);
    if (pi_.hThread) CloseHandle(pi_.hThread);
}

bool TProcess::Start(const std::wstring& exe, const std::wstring& args, const std::wstring& cwd) {
    std::wstring cmd = L"\"" + exe + L"\"";
    if (!args.empty()) cmd += L" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    return CreateProcessW(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                          cwd.empty() ? nullptr : cwd.c_str(), &si, &pi_) != 0;
}

long TProcess::Wait(DWORD ms) {
    if (!pi_.hProcess) return -1;
    if (WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(pi_.hProcess, &code);
    return (long)code;
}

bool TProcess::Running() const {
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

bool TProcess::WaitIdle(DWORD ms) {
    return pi_.hProcess && WaitForInputIdle(pi_.hProcess, ms) == 0;
}

void TProcess::Kill() {
    if (Running()) {
        TerminateProcess(pi_.hProcess, 99);
        WaitForSingleObject(pi_.hProcess, 5000);
    }
}

namespace {
struct FindData {
    DWORD pid;
    const wchar_t* cls;
    std::vector<HWND> found;
    bool visibleOnly;
};

BOOL CALLBACK EnumProc(HWND h, LPARAM lp) {
    FindData* d = reinterpret_cast<FindData*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != d->pid) return TRUE;
    if (d->visibleOnly && !IsWindowVisible(h)) return TRUE;
    if (d->cls) {
        wchar_t cls[128];
        GetClassNameW(h, cls, 128);
        if (lstrcmpW(cls, d->cls) != 0) return TRUE;
    }
    d->found.push_back(h);
    return TRUE;
}
} // namespace

HWND WaitForWindow(DWORD pid, DWORD ms, const wchar_t* className) {
    HWND result = nullptr;
    WaitUntil(
        [&] {
            FindData d{pid, className, {}, true};
            EnumWindows(EnumProc, reinterpret_cast<LPARAM>(&d));
            if (!d.found.empty()) result = d.found.front();
            return result != nullptr;
        },
        ms);
    return result;
}

std::vector<HWND> WindowsOf(DWORD pid) {
    FindData d{pid, nullptr, {}, false};
    EnumWindows(EnumProc, reinterpret_cast<LPARAM>(&d));
    return d.found;
}

bool FileExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<uint8_t> ReadBytes(const std::wstring& path) {
    std::vector<uint8_t> out;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return out;
    DWORD size = GetFileSize(h, nullptr);
    out.resize(size);
    DWORD got = 0;
    if (size) ReadFile(h, out.data(), size, &got, nullptr);
    out.resize(got);
    CloseHandle(h);
    return out;
}

bool WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    BOOL ok = WriteFile(h, bytes.data(), (DWORD)bytes.size(), &put, nullptr);
    CloseHandle(h);
    return ok && put == bytes.size();
}

} // namespace e2e
