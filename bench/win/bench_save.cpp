// Save under Wine (or on Windows), A against B, alternating, 7 runs each:
//   A: SaveIfNeeded of 10 pages x 15 items (serialise, temporary file, flush,
//      replace, both icon caches), with the real Win32 system layer;
//   B: writing the same bytes of the three files with one write, flush and
//      rename each.
// Prints "A <ms>" and "B <ms>" lines; bench/run.sh takes the medians.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "model/document.h"
#include "model/host.h"
#include "platform/text.h"
#include "platform/win32/win32system.h"
#include "support/fake_host.h"
#include "platform/filestream.h"

namespace {

double Ms(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void WriteFlushRename(const std::wstring& name, const std::vector<uint8_t>& bytes) {
    std::wstring temp = name + L".tmp";
    HANDLE h =
        CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD put = 0;
    WriteFile(h, bytes.data(), (DWORD)bytes.size(), &put, nullptr);
    FlushFileBuffers(h);
    CloseHandle(h);
    MoveFileExW(temp.c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

} // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::atoi(argv[1]) : 7;
    platform::InstallWin32System();
    TFakeHost host;
    auto doc = std::make_unique<TDocument>();
    SetDocument(doc.get());
    doc->Init();
    doc->AutoSave = false;
    for (auto& page : doc->Pages)
        for (auto& item : page->Items()) {
            item->Path = "C:\\windows\\system32\\notepad.exe";
            item->Name = "メモ帳";
            item->IFol = "C:\\windows\\system32";
            item->RefreshIcon(false); // real icons: the caches hold them
        }
    doc->SaveIfNeeded(TSaveReason::Command);

    std::string folder = platform::System().ProgramFolder();
    const char* names[3] = {"Kiropad.gbi", "IconClList.bdt", "IconMsList.bdt"};
    std::vector<uint8_t> bytes[3];
    std::wstring copies[3];
    for (int i = 0; i < 3; ++i) {
        bytes[i] = platform::ReadWholeFile(folder + names[i]);
        copies[i] = platform::Widen(folder + names[i] + ".b");
    }
    for (int r = 0; r < runs; ++r) {
        auto t0 = std::chrono::steady_clock::now();
        doc->SaveIfNeeded(TSaveReason::Command);
        auto t1 = std::chrono::steady_clock::now();
        for (int i = 0; i < 3; ++i)
            WriteFlushRename(copies[i], bytes[i]);
        auto t2 = std::chrono::steady_clock::now();
        std::printf("A %.3f\nB %.3f\n", Ms(t1 - t0), Ms(t2 - t1));
    }
    for (int i = 0; i < 3; ++i)
        DeleteFileW(copies[i].c_str());
    doc->NoSave = true;
    doc.reset();
    SetDocument(nullptr);
    return 0;
}
