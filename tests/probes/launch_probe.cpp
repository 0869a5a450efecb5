// Stands in for a program that the main window starts: appends one line with its
// command line to "launches.txt" beside its own file (UTF-16), then ends. Several
// starts in a row give several lines, so a test counts the starts.
#include "probe_record.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::wstring folder = probe::FolderOfThisProgram();
    std::wstring line = std::wstring(GetCommandLineW()) + L"\n";
    // Two probes started one after the other may write at once: the file is opened
    // without sharing, and a probe that finds it in use tries again.
    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE h = CreateFileW((folder + L"launches.txt").c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            const DWORD size = static_cast<DWORD>(line.size() * sizeof(wchar_t));
            BOOL ok = WriteFile(h, line.data(), size, &written, nullptr);
            CloseHandle(h);
            return ok && written == size ? 0 : 1;
        }
        Sleep(20);
    }
    return 1;
}
