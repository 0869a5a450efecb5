// Stands in for Kiropad.exe when Kirostart is tested: records that it was started,
// with its command line, current folder and priority class, in "started.txt"
// beside its own file (UTF-16, one "key=value" line each), then ends.
#include <windows.h>

#include <string>

namespace {

std::wstring FolderOfThisProgram() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

bool WriteWhole(const std::wstring& path, const std::wstring& text) {
    HANDLE h =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    bool ok = WriteFile(h, text.data(), size, &written, nullptr) && written == size;
    CloseHandle(h);
    return ok;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t cwd[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, cwd);
    std::wstring record = L"cmdline=" + std::wstring(GetCommandLineW()) + L"\n";
    record += L"cwd=" + std::wstring(cwd) + L"\n";
    record += L"priority=" + std::to_wstring(GetPriorityClass(GetCurrentProcess())) + L"\n";
    // Written under another name and then renamed, so a reader never sees half a record.
    const std::wstring folder = FolderOfThisProgram();
    const std::wstring part = folder + L"started.part";
    if (!WriteWhole(part, record)) return 1;
    return MoveFileExW(part.c_str(), (folder + L"started.txt").c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
