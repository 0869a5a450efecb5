// The import tables of the shipped programs, read from the files: every slot the
// loader or the delay-load helper fills must reach a function the system has. Both
// widths are read whichever of them this test runs as, so a fault of the 32-bit
// program is caught also where only 64-bit programs run.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>

#include "pe_imports.h"
#include "probe_support.h"

using namespace probetest;
using petest::TImportedDll;
using petest::TPeImage;

namespace {

std::vector<uint8_t> ReadProgram(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    LARGE_INTEGER size{};
    GetFileSizeEx(h, &size);
    bytes.resize((size_t)size.QuadPart);
    DWORD read = 0;
    if (!bytes.empty() &&
        (!ReadFile(h, bytes.data(), (DWORD)bytes.size(), &read, nullptr) || read != bytes.size()))
        bytes.clear();
    CloseHandle(h);
    return bytes;
}

std::string Lower(std::string s) {
    for (char& c : s)
        c = (char)(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return s;
}

std::string Narrow(const std::wstring& w) {
    return std::string(w.begin(), w.end()); // the build folders' names are ASCII
}

// The shipped programs of this build and, when it was built too, of the other width.
std::vector<std::wstring> ShippedPrograms() {
    const bool self64 = sizeof(void*) == 8;
    std::vector<std::wstring> folders{BuildFolder()};
    std::wstring other = BuildFolder() + (self64 ? L"..\\win32\\" : L"..\\win64\\");
    if (Exists(other + L"Kiropad.exe")) folders.push_back(other);
    std::vector<std::wstring> programs;
    for (const std::wstring& f : folders)
        for (const wchar_t* name : {L"Kiropad.exe", L"Kirostart.exe"})
            programs.push_back(f + name);
    return programs;
}

bool LoadImage(const std::wstring& path, TPeImage& image) {
    std::vector<uint8_t> bytes = ReadProgram(path);
    std::string error;
    if (bytes.empty()) {
        ADD_FAILURE() << Narrow(path) << " cannot be read";
        return false;
    }
    if (!image.Load(bytes, error)) {
        ADD_FAILURE() << Narrow(path) << ": " << error;
        return false;
    }
    return true;
}

// The libraries a start does not need: they load at their first call.
const std::set<std::string> kDelayedOfKiropad{"comctl32.dll", "comdlg32.dll", "imm32.dll", "ole32.dll",
                                                    "oleacc.dll"};

} // namespace

TEST(ShippedImports, EveryDelayedSlotLeadsToItsLoadStubAndTheLaterLibrariesLoadLate) {
    for (const std::wstring& path : ShippedPrograms()) {
        SCOPED_TRACE(Narrow(path));
        TPeImage image;
        if (!LoadImage(path, image)) continue;
        for (const std::string& fault : image.DelayedSlotFaults())
            ADD_FAILURE() << fault;

        std::set<std::string> delayed, ordinary;
        for (const TImportedDll& dll : image.DelayedImports())
            delayed.insert(Lower(dll.Name));
        for (const TImportedDll& dll : image.Imports())
            ordinary.insert(Lower(dll.Name));
        if (path.find(L"Kiropad.exe") != std::wstring::npos) {
            EXPECT_EQ(delayed, kDelayedOfKiropad);
            for (const std::string& name : kDelayedOfKiropad)
                EXPECT_EQ(ordinary.count(name), 0u) << name;
        }
        EXPECT_GT(ordinary.count("kernel32.dll"), 0u);
    }
}

// Names are checked against the system's libraries of this test's own width only:
// a few entry points exist in one width alone (the 64-bit ...LongPtr functions).
TEST(ShippedImports, EveryImportedNameIsExportedByTheSystem) {
    const bool self64 = sizeof(void*) == 8;
    int checked = 0;
    for (const std::wstring& path : ShippedPrograms()) {
        SCOPED_TRACE(Narrow(path));
        TPeImage image;
        if (!LoadImage(path, image) || image.Is64() != self64) continue;
        for (const auto* table : {&image.Imports(), &image.DelayedImports()})
            for (const TImportedDll& dll : *table) {
                HMODULE module = LoadLibraryA(dll.Name.c_str());
                ASSERT_NE(module, nullptr) << dll.Name;
                for (const auto& f : dll.Functions) {
                    FARPROC entry = f.Name.empty() ? GetProcAddress(module, MAKEINTRESOURCEA(f.Ordinal))
                                                   : GetProcAddress(module, f.Name.c_str());
                    EXPECT_NE(entry, nullptr) << dll.Name << "!" << f.Name;
                    ++checked;
                }
            }
    }
    EXPECT_GT(checked, 50);
}

// The check itself: a copy of the program whose first delayed slot is cleared, as the
// faulty link left it, and one whose slot leads to another slot's stub.
TEST(ShippedImports, TheCheckFindsASlotThatLeadsNowhere) {
    std::vector<uint8_t> bytes = ReadProgram(BuildFolder() + L"Kiropad.exe");
    ASSERT_FALSE(bytes.empty());
    TPeImage image;
    std::string error;
    ASSERT_TRUE(image.Load(bytes, error)) << error;
    ASSERT_FALSE(image.DelayedImports().empty());
    ASSERT_TRUE(image.DelayedSlotFaults().empty());
    const TImportedDll& dll = image.DelayedImports().front();
    ASSERT_GE(dll.Functions.size(), 2u);

    // The slot's place in the file: the section that holds its address.
    auto offsetOf = [&](uint32_t rva) -> size_t {
        uint32_t pe = bytes[0x3C] | bytes[0x3D] << 8 | bytes[0x3E] << 16 | (uint32_t)bytes[0x3F] << 24;
        uint16_t count = (uint16_t)(bytes[pe + 6] | bytes[pe + 7] << 8);
        uint16_t optional = (uint16_t)(bytes[pe + 20] | bytes[pe + 21] << 8);
        const uint8_t* s = &bytes[pe + 24 + optional];
        auto u32 = [](const uint8_t* p) {
            return (uint32_t)(p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24);
        };
        for (uint16_t i = 0; i < count; ++i, s += 40)
            if (rva >= u32(s + 12) && rva < u32(s + 12) + u32(s + 16)) return rva - u32(s + 12) + u32(s + 20);
        return 0;
    };
    const size_t width = image.Is64() ? 8 : 4;
    const size_t first = offsetOf(dll.Functions[0].SlotRva);
    ASSERT_NE(first, 0u);

    std::vector<uint8_t> cleared = bytes;
    std::fill(cleared.begin() + first, cleared.begin() + first + width, 0);
    TPeImage broken;
    ASSERT_TRUE(broken.Load(cleared, error));
    auto faults = broken.DelayedSlotFaults();
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_NE(faults[0].find("slot holds 0"), std::string::npos) << faults[0];

    std::vector<uint8_t> crossed = bytes;
    std::copy(bytes.begin() + offsetOf(dll.Functions[1].SlotRva),
              bytes.begin() + offsetOf(dll.Functions[1].SlotRva) + width, crossed.begin() + first);
    ASSERT_TRUE(broken.Load(crossed, error));
    faults = broken.DelayedSlotFaults();
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_NE(faults[0].find("does not name its slot"), std::string::npos) << faults[0];
}
