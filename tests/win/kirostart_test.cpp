// The real Kirostart.exe, started from another folder with a probe program beside
// it in the place of Kiropad.exe. The probe records its command line, current
// folder and priority class in "started.txt" beside itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "probe_support.h"

using namespace probetest;

namespace {

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

class Kirostart : public testing::Test {
protected:
    void SetUp() override {
        kirostart_ = BuildFolder() + L"Kirostart.exe";
        probe_ = ProbePath(L"kirostart_probe");
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
    TRecord started = WaitForRecord(app + L"started.txt", 30000);
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
    EXPECT_FALSE(WaitForRecord(here + L"started.txt", 2000).present)
        << "a Kiropad.exe outside Kirostart's folder was started";
}
