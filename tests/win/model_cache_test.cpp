// The icon list on the real Windows system layer: icons the shell extracts from
// real files land in their slots, and the cache files are written and read back in
// a program folder with a Japanese name, and removed when a save fails.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "model/iconlist.h"
#include "model_support.h"
#include "probe_support.h"
#include "shell_support.h"
#include "platform/filestream.h"

using namespace modeltest;
using namespace probetest;

namespace {

// True when the slot's cell has a pixel that the icon covers.
bool CellHasIcon(const TIconList& list, int slot) {
    for (int y = 0; y < 32; ++y)
        for (int x = slot * 32; x < slot * 32 + 32; ++x)
            if (!list.MaskStrip.Pixel(x, y)) return true;
    return false;
}

bool SameCell(const TIconList& a, int slotA, const TIconList& b, int slotB) {
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (a.ColorStrip.Pixel(slotA * 32 + x, y) != b.ColorStrip.Pixel(slotB * 32 + x, y) ||
                a.MaskStrip.Pixel(slotA * 32 + x, y) != b.MaskStrip.Pixel(slotB * 32 + x, y))
                return false;
    return true;
}

} // namespace

TEST(IconListWin, RealIconsOfAProgramAndOfShell32LandInTheirSlotsAndSurviveTheCacheFiles) {
    TScratchFolder scratch(L"kiropad-アイコン実物");
    TModelSystem system(Narrowed(scratch.Path()));
    wchar_t systemFolder[MAX_PATH] = L"";
    GetSystemDirectoryW(systemFolder, MAX_PATH);
    const std::string shell32 = Narrowed(std::wstring(systemFolder) + L"\\shell32.dll");
    const std::wstring text = scratch.Path() + L"文書.txt";
    ASSERT_TRUE(shelltest::WriteFileW(text, "no icons in here"));

    TIconList list;
    int program = -1, indexed = -1, again = -1, none = 7;
    platform::TIconPInfo where;
    EXPECT_TRUE(list.AddFileIcon(program, Narrowed(ProbePath(L"item_probe")), &where));
    EXPECT_FALSE(where.Location.empty());
    EXPECT_TRUE(list.AddIndexedIcon(indexed, shell32, 3));
    EXPECT_TRUE(list.AddIndexedIcon(again, shell32, 3));
    // A file that holds no icon gives none, and the slot it had is released.
    list.SetIcon(none, nullptr);
    EXPECT_FALSE(list.AddIndexedIcon(none, Narrowed(text), 0));
    EXPECT_EQ(none, -1);
    EXPECT_EQ(program, 0);
    EXPECT_EQ(indexed, 1);
    EXPECT_EQ(again, 2);
    // The probe's icon is a red square inside a transparent frame.
    EXPECT_EQ(list.ColorStrip.Pixel(program * 32 + 16, 16), 0x00FF0000u);
    EXPECT_FALSE(list.MaskStrip.Pixel(program * 32 + 16, 16));
    EXPECT_EQ(list.ColorStrip.Pixel(program * 32 + 1, 1), 0u);
    EXPECT_TRUE(list.MaskStrip.Pixel(program * 32 + 1, 1));
    EXPECT_TRUE(CellHasIcon(list, indexed));
    EXPECT_TRUE(SameCell(list, indexed, list, again));
    EXPECT_EQ(system.IconExtractions(), 4);

    ASSERT_TRUE(list.SaveCache());
    TIconList loaded;
    ASSERT_TRUE(loaded.LoadCache());
    EXPECT_TRUE(loaded.ColorStrip == list.ColorStrip);
    EXPECT_TRUE(loaded.MaskStrip == list.MaskStrip);
    EXPECT_TRUE(SameCell(loaded, program, list, program));
}

TEST(IconListWin, CacheRoundTripsInAJapaneseFolderAndIsRemovedWhenASaveFails) {
    TScratchFolder scratch(L"kiropad-アイコン");
    TModelSystem system(Narrowed(scratch.Path()));
    TIconList list;
    list.SetSlotCount(20);
    platform::TIconImage icon;
    icon.Color = platform::TPixmap(32, 32, 0x00336699);
    icon.Mask = platform::TPixmap(32, 32, 0);
    int slot = 13;
    list.SetIcon(slot, &icon);
    ASSERT_TRUE(list.SaveCache());
    const std::wstring color = scratch.Path() + L"IconClList.bdt", mask = scratch.Path() + L"IconMsList.bdt";
    EXPECT_TRUE(Exists(color));

    TIconList again;
    again.SetSlotCount(20);
    ASSERT_TRUE(again.LoadCache());
    EXPECT_EQ(again.ColorStrip.Pixel(13 * 32 + 3, 3), 0x00336699u);
    EXPECT_TRUE(again.MaskStrip == list.MaskStrip);

    platform::SetWriteFaultForTesting(0);
    EXPECT_FALSE(list.SaveCache());
    platform::SetWriteFaultForTesting(-1);
    EXPECT_FALSE(Exists(color));
    EXPECT_FALSE(Exists(mask));
}
