// Kiropad.exe against damaged data files, a data file it cannot replace, and two
// starts at the same instant: no crash, the boxes answered as a user would, and a
// data file that loads cleanly afterwards.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "e2e_support.h"

using namespace e2e;

namespace {

const DWORD kStartMs = 30000;

std::wstring ClassOf(HWND window) {
    wchar_t cls[64] = {};
    GetClassNameW(window, cls, 64);
    return cls;
}

// Waits for the main window, answering each message box on the way with Cancel.
// Returns the main window (or null) and counts the boxes answered.
HWND MainWindowAnsweringBoxes(TProcess& process, int& boxes) {
    DWORD t0 = GetTickCount();
    while (GetTickCount() - t0 < kStartMs && process.Running()) {
        for (HWND w : WindowsOf(process.Id())) {
            if (!IsWindowVisible(w)) continue;
            std::wstring cls = ClassOf(w);
            if (cls == L"KiropadForm") return w;
            if (cls == L"#32770") {
                ++boxes;
                PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
                WaitUntil([&] { return !IsWindow(w); }, 5000);
            }
        }
        Sleep(50);
    }
    return nullptr;
}

// A damaged copy of a real data file: a few changes of the kinds a broken disk or
// an editor makes.
std::vector<uint8_t> Mutate(std::vector<uint8_t> bytes, std::mt19937& random) {
    int changes = 1 + (int)(random() % 4);
    for (int c = 0; c < changes && !bytes.empty(); ++c) {
        size_t at = random() % bytes.size();
        switch (random() % 5) {
        case 0: // one byte flipped
            bytes[at] ^= (uint8_t)(1u << (random() % 8));
            break;
        case 1: { // a word set to an extreme value (a size, a count, an id)
            static const uint16_t extremes[] = {0x0000, 0x7FFF, 0x8000, 0xFFFF, 0xFFFE, 0x0001};
            uint16_t v = extremes[random() % 6];
            bytes[at] = (uint8_t)v;
            if (at + 1 < bytes.size()) bytes[at + 1] = (uint8_t)(v >> 8);
            break;
        }
        case 2: // cut short
            bytes.resize(at);
            break;
        case 3: // random bytes put in
            for (int i = 0; i < 8; ++i)
                bytes.insert(bytes.begin() + (long)at, (uint8_t)random());
            break;
        default: { // a piece repeated
            size_t n = std::min<size_t>(64, bytes.size() - at);
            std::vector<uint8_t> piece(bytes.begin() + (long)at, bytes.begin() + (long)(at + n));
            bytes.insert(bytes.begin() + (long)at, piece.begin(), piece.end());
            break;
        }
        }
    }
    return bytes;
}

// Starts Kiropad over the data file in the sandbox and closes it again; the boxes
// on the way are answered with Cancel. Returns the exit code (-1: no window).
long StartAndClose(TSandbox& box, int& boxes) {
    TProcess process;
    if (!process.Start(box.Path(L"Kiropad.exe"), L"", box.Folder())) return -2;
    HWND window = MainWindowAnsweringBoxes(process, boxes);
    if (!window) return -1;
    PostMessageW(window, WM_CLOSE, 0, 0);
    return process.Wait(kStartMs);
}

} // namespace

TEST(E2eReliability, ThirtyDamagedDataFilesNeitherCrashNorStayDamaged) {
    TSandbox box(L"damaged");
    ASSERT_TRUE(box.CopyProduct(L"Kiropad.exe"));
    int boxes = 0;
    ASSERT_EQ(0, StartAndClose(box, boxes));
    const std::vector<uint8_t> real = ReadBytes(box.Path(L"Kiropad.gbi"));
    ASSERT_FALSE(real.empty());

    std::mt19937 random(20240601);
    int refused = 0;
    for (int round = 0; round < 30; ++round) {
        std::vector<uint8_t> damaged = Mutate(real, random);
        ASSERT_TRUE(WriteBytes(box.Path(L"Kiropad.gbi"), damaged));
        int loadBoxes = 0;
        ASSERT_EQ(0, StartAndClose(box, loadBoxes)) << "round " << round;
        refused += loadBoxes > 0;
        // What it left loads without a word.
        int laterBoxes = 0;
        ASSERT_EQ(0, StartAndClose(box, laterBoxes)) << "round " << round;
        EXPECT_EQ(0, laterBoxes) << "round " << round << ": the file left after exit does not load";
        EXPECT_FALSE(FileExists(box.Path(L"Kiropad.gbi.tmp")));
    }
    std::printf("[ measure  ] 30 damaged data files: %d refused with the load box, %d loaded\n", refused,
                30 - refused);
    EXPECT_GT(refused, 0) << "the damage reached the reader";
}

TEST(E2eReliability, ADataFileHeldByAnotherProgramIsReportedOnExitAndKeptWhole) {
    TSandbox box(L"held");
    ASSERT_TRUE(box.CopyProduct(L"Kiropad.exe"));
    int boxes = 0;
    ASSERT_EQ(0, StartAndClose(box, boxes));
    const std::vector<uint8_t> before = ReadBytes(box.Path(L"Kiropad.gbi"));

    TProcess process;
    ASSERT_TRUE(process.Start(box.Path(L"Kiropad.exe"), L"", box.Folder()));
    HWND window = MainWindowAnsweringBoxes(process, boxes);
    ASSERT_NE(nullptr, window);
    ASSERT_EQ(0, boxes);
    // As a folder that cannot be written: the data file and the temporary name are taken.
    HANDLE data = CreateFileW(box.Path(L"Kiropad.gbi").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    HANDLE temp = CreateFileW(box.Path(L"Kiropad.gbi.tmp").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, data);
    ASSERT_NE(INVALID_HANDLE_VALUE, temp);
    PostMessageW(window, WM_CLOSE, 0, 0);
    bool answered = WaitUntil(
        [&] {
            for (HWND w : WindowsOf(process.Id()))
                if (IsWindowVisible(w) && ClassOf(w) == L"#32770") {
                    PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
                    return true;
                }
            return false;
        },
        kStartMs);
    EXPECT_TRUE(answered) << "the save box appeared";
    EXPECT_EQ(0, process.Wait(kStartMs));
    CloseHandle(data);
    CloseHandle(temp);
    EXPECT_EQ(before, ReadBytes(box.Path(L"Kiropad.gbi")));
    DeleteFileW(box.Path(L"Kiropad.gbi.tmp").c_str());
}

TEST(E2eReliability, TwoStartsAtTheSameInstantGiveExactlyOneMainWindow) {
    TSandbox box(L"twice");
    ASSERT_TRUE(box.CopyProduct(L"Kiropad.exe"));
    for (int round = 0; round < 5; ++round) {
        TProcess a, b;
        ASSERT_TRUE(a.Start(box.Path(L"Kiropad.exe"), L"", box.Folder()));
        ASSERT_TRUE(b.Start(box.Path(L"Kiropad.exe"), L"", box.Folder()));
        auto mainWindows = [&] {
            int n = 0;
            for (TProcess* p : {&a, &b})
                for (HWND w : WindowsOf(p->Id()))
                    if (IsWindowVisible(w) && ClassOf(w) == L"KiropadForm") ++n;
            return n;
        };
        ASSERT_TRUE(WaitUntil([&] { return mainWindows() >= 1; }, kStartMs));
        // The other start ends by itself.
        ASSERT_TRUE(WaitUntil([&] { return !a.Running() || !b.Running(); }, kStartMs)) << "round " << round;
        Sleep(300);
        EXPECT_EQ(1, mainWindows()) << "round " << round;
        TProcess& left = a.Running() ? a : b;
        TProcess& ended = a.Running() ? b : a;
        EXPECT_EQ(0, ended.Wait(0));
        for (HWND w : WindowsOf(left.Id()))
            if (ClassOf(w) == L"KiropadForm") PostMessageW(w, WM_CLOSE, 0, 0);
        EXPECT_EQ(0, left.Wait(kStartMs));
    }
}
