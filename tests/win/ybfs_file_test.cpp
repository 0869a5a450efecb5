// The storage library's files on the real Windows file system: wide names made
// from code page 932 text, the replace step, and a file held open by another program.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/text.h"
#include "platform/win32/win32system.h"
#include "platform/filestream.h"
#include "ybfs/ybfs2.h"

using namespace YBFS;
using platform::FileExists;
using platform::TemporaryFileFor;

namespace {

std::string TempFolder() {
    wchar_t buf[MAX_PATH];
    GetTempPathW(MAX_PATH, buf);
    std::wstring dir = std::wstring(buf) + L"kiropad-ybfs-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir.c_str(), nullptr);
    std::string out;
    platform::Narrow(dir, out);
    return out + "\\";
}

struct Doc : TYBFileObject {
    std::string Name;
    int Value = 0;
    void ReadMembers() override {
        Read(0, Name);
        Read(1, Value);
    }
    void WriteMembers() override {
        Write(0, Name);
        Write(1, Value);
    }
};

} // namespace

TEST(YbfsWinFile, SavesAndLoadsUnderAJapaneseFileName) {
    std::string name = TempFolder() + "設定データ.gbi";
    Doc d;
    d.Name = "表示";
    d.Value = 42;
    d.Save(name);
    EXPECT_TRUE(FileExists(name));
    EXPECT_FALSE(FileExists(TemporaryFileFor(name)));
    DWORD attrs = GetFileAttributesW(platform::Widen(name).c_str());
    EXPECT_NE(attrs, INVALID_FILE_ATTRIBUTES);
    Doc e;
    e.Load(name);
    EXPECT_EQ(e.Name, "表示");
    EXPECT_EQ(e.Value, 42);
    // Saving again replaces the existing file.
    e.Value = 43;
    e.Save();
    Doc f;
    f.Load(name);
    EXPECT_EQ(f.Value, 43);
    DeleteFileW(platform::Widen(name).c_str());
}

TEST(YbfsWinFile, AFileHeldOpenWithoutSharingIsReportedAndKeptWhole) {
    std::string name = TempFolder() + "held.gbi";
    Doc d;
    d.Value = 1;
    d.Save(name);
    HANDLE h =
        CreateFileW(platform::Widen(name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    std::vector<std::string> texts;
    platform::Win32System().SetMessageBoxFn([&](const std::string& t, const std::string&, unsigned) {
        texts.push_back(t);
        return platform::idCancel;
    });
    d.Value = 2;
    d.ErrorMode = 2;
    d.RaiseOnError = false;
    DWORD t0 = GetTickCount();
    d.Save();
    DWORD elapsed = GetTickCount() - t0;
    platform::Win32System().SetMessageBoxFn(nullptr);
    CloseHandle(h);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("書き込めません"), std::string::npos);
    EXPECT_LT(elapsed, 1500u); // brief retries only
    EXPECT_FALSE(FileExists(TemporaryFileFor(name)));
    Doc e;
    e.Load(name);
    EXPECT_EQ(e.Value, 1);
    DeleteFileW(platform::Widen(name).c_str());
}

TEST(TextBoundary, Cp932RoundTripsAndRefusesWhatItCannotHold) {
    std::string s;
    ASSERT_TRUE(platform::Narrow(L"無題\x3000"
                                 L"abc",
                                 s));
    EXPECT_EQ(s, "無題　abc");
    EXPECT_EQ(platform::Widen(s), L"無題\x3000"
                                  L"abc");
    EXPECT_FALSE(platform::Narrow(L"caf\x00E9", s)); // e-acute has no code page 932 form
    EXPECT_TRUE(s.empty());
    EXPECT_FALSE(platform::Narrow(L"\xD83D\xDE00", s)); // an emoji
    EXPECT_EQ(platform::NarrowForDisplay(L"a\x00E9"), "a?");
}
