// Stands in for what an item starts: records its command line, its current folder
// and the show state its starter asked for (GetStartupInfo; "none" when no show
// state was given) as UTF-16 "key=value" lines, then ends. The record goes to the
// file named by the environment variable KIROPAD_PROBE_RECORD, else to
// "item_probe.txt" beside the program.
#include "probe_record.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    std::wstring show =
        (startup.dwFlags & STARTF_USESHOWWINDOW) ? std::to_wstring(startup.wShowWindow) : L"none";

    std::wstring record = L"cmdline=" + std::wstring(GetCommandLineW()) + L"\n";
    record += L"cwd=" + probe::CurrentFolder() + L"\n";
    record += L"show=" + show + L"\n";

    wchar_t named[MAX_PATH] = L"";
    DWORD n = GetEnvironmentVariableW(L"KIROPAD_PROBE_RECORD", named, MAX_PATH);
    std::wstring file =
        n > 0 && n < MAX_PATH ? std::wstring(named, n) : probe::FolderOfThisProgram() + L"item_probe.txt";
    return probe::PublishRecord(file, record) ? 0 : 1;
}
