// Stands in for Kiropad.exe when Kirostart is tested: records that it was started,
// with its command line, current folder and priority class, in "started.txt"
// beside its own file (UTF-16, one "key=value" line each), then ends.
#include "probe_record.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::wstring record = L"cmdline=" + std::wstring(GetCommandLineW()) + L"\n";
    record += L"cwd=" + probe::CurrentFolder() + L"\n";
    record += L"priority=" + std::to_wstring(GetPriorityClass(GetCurrentProcess())) + L"\n";
    return probe::PublishRecord(probe::FolderOfThisProgram() + L"started.txt", record) ? 0 : 1;
}
