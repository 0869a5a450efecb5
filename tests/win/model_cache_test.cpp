// The icon cache files on the real Windows file system: written and read back in
// a program folder with a Japanese name, and removed when a save fails.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "model/iconlist.h"
#include "platform/system.h"
#include "platform/text.h"
#include "ybfs/filestream.h"

namespace {

// The system as far as the cache needs it: the program folder.
class TFolderSystem : public platform::ISystem {
public:
    explicit TFolderSystem(std::string folder) : folder_(std::move(folder)) { previous_ = platform::SetSystem(this); }
    ~TFolderSystem() override { platform::SetSystem(previous_); }
    int ShellExecute(platform::TWindowHandle, const std::string&, const std::string&, const std::string*,
                     const std::string*, int) override {
        return 2;
    }
    int CopyFilesInto(platform::TWindowHandle, const std::vector<std::string>&, const std::string&) override {
        return 1;
    }
    int GetPathKind(const std::string&) override { return platform::pkMissing; }
    bool ExtractAssociatedIcon(const std::string&, platform::TIconImage&, platform::TIconPInfo*) override {
        return false;
    }
    bool ExtractIndexedIcon(const std::string&, int, platform::TIconImage&) override { return false; }
    int AnalyseShortcut(const std::string&, platform::TLinkInfo&) override { return -1; }
    int MessageBox(const std::string&, const std::string&, unsigned) override { return platform::idCancel; }
    void SetWaitCursor(bool) override {}
    std::string ProgramFolder() override { return folder_; }
    uint32_t ColorToPixel(platform::TColor c) override { return platform::ColorRefToPixel(c); }

private:
    std::string folder_;
    platform::ISystem* previous_ = nullptr;
};

std::string JapaneseTempFolder() {
    wchar_t buf[MAX_PATH];
    GetTempPathW(MAX_PATH, buf);
    std::wstring dir = std::wstring(buf) + L"kiropad-アイコン-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir.c_str(), nullptr);
    std::string out;
    platform::Narrow(dir, out);
    return out + "\\";
}

} // namespace

TEST(IconCacheWin, RoundTripsInAJapaneseFolderAndIsRemovedWhenASaveFails) {
    TFolderSystem sys(JapaneseTempFolder());
    TIconList list;
    list.SetSlotCount(20);
    platform::TIconImage icon;
    icon.Color = platform::TPixmap(32, 32, 0x00336699);
    icon.Mask = platform::TPixmap(32, 32, 0);
    int slot = 13;
    list.SetIcon(slot, &icon);
    ASSERT_TRUE(list.SaveCache());
    std::string color = sys.ProgramFolder() + "IconClList.bdt";
    EXPECT_NE(GetFileAttributesW(platform::Widen(color).c_str()), INVALID_FILE_ATTRIBUTES);

    TIconList again;
    again.SetSlotCount(20);
    ASSERT_TRUE(again.LoadCache());
    EXPECT_EQ(again.ColorStrip.Pixel(13 * 32 + 3, 3), 0x00336699u);
    EXPECT_TRUE(again.MaskStrip == list.MaskStrip);

    YBFS::SetWriteFaultForTesting(0);
    EXPECT_FALSE(list.SaveCache());
    YBFS::SetWriteFaultForTesting(-1);
    EXPECT_FALSE(YBFS::FileExists(color));
    EXPECT_FALSE(YBFS::FileExists(sys.ProgramFolder() + "IconMsList.bdt"));
    EXPECT_FALSE(YBFS::RemoveFile(color)); // already gone
    RemoveDirectoryW(platform::Widen(sys.ProgramFolder()).c_str());
}
