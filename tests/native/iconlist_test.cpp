// The icon list: slots, growing and shrinking, drawing with the mask, the cache
// files as real bitmap files, and the bitmap reader against damaged headers.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "model/bmpfile.h"
#include "model/iconlist.h"
#include "support/fake_canvas.h"
#include "support/fake_system.h"
#include "platform/filestream.h"

using platform::TIconImage;
using platform::TPixmap;
using platform::TRect;

namespace {

// Puts count icons of distinct colours into the list; returns their slots.
std::vector<int> AddIcons(TIconList& list, int count, uint32_t base = 0x100000) {
    std::vector<int> slots;
    for (int i = 0; i < count; ++i) {
        int slot = -1;
        TIconImage icon = TFakeSystem::SolidIcon(base + (uint32_t)i);
        list.SetIcon(slot, &icon);
        slots.push_back(slot);
    }
    return slots;
}

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + (size_t)i] = (uint8_t)(v >> (8 * i));
}

std::string Identify(const std::string& file) {
    std::string cmd = "identify -format '%w %h %z' '" + file + "' 2>/dev/null";
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[128];
        while (fgets(buf, sizeof buf, p))
            out += buf;
        if (pclose(p) != 0) out = "failed: " + out;
    }
    return out;
}

} // namespace

TEST(IconList, SlotsAreTakenLowestFirstAndReleasedByEmptyIcons) {
    TFakeSystem sys;
    TIconList list;
    EXPECT_EQ(list.SlotCount(), 10);
    std::vector<int> slots = AddIcons(list, 3);
    EXPECT_EQ(slots, (std::vector<int>{0, 1, 2}));
    int s1 = 1;
    list.SetIcon(s1, nullptr);
    EXPECT_EQ(s1, -1);
    EXPECT_FALSE(list.Used[1]);
    EXPECT_EQ(AddIcons(list, 1)[0], 1);

    int kept = 2; // a slot of its own is reused as it is
    TIconImage icon = TFakeSystem::SolidIcon(0xABCDEF);
    list.SetIcon(kept, &icon);
    EXPECT_EQ(kept, 2);
    EXPECT_EQ(list.ColorStrip.Pixel(2 * 32 + 16, 16), 0xABCDEFu);

    list.ReleaseSlot(500); // a stale number beyond the list does no harm
    int stale = 77;
    list.SetIcon(stale, &icon);
    EXPECT_EQ(stale, 3);
}

TEST(IconList, TheEleventhIconGrowsBothStripsByTenCellsKeepingTheFirstTen) {
    TFakeSystem sys;
    TIconList list;
    AddIcons(list, 10);
    TPixmap before = list.ColorStrip;
    TMonoBitmap maskBefore = list.MaskStrip;
    EXPECT_EQ(AddIcons(list, 1, 0x200000)[0], 10);
    EXPECT_EQ(list.SlotCount(), 20);
    EXPECT_EQ(list.ColorStrip.Width(), 640);
    EXPECT_EQ(list.MaskStrip.Width(), 640);
    for (int x = 0; x < 320; x += 7)
        for (int y = 0; y < 32; y += 5) {
            EXPECT_EQ(list.ColorStrip.Pixel(x, y), before.Pixel(x, y));
            EXPECT_EQ(list.MaskStrip.Pixel(x, y), maskBefore.Pixel(x, y));
        }
}

TEST(IconList, IconsAreAskedOnlyForPathsThatExistOrAreShort) {
    TFakeSystem sys;
    sys.Icons["D:"] = sys.Icons["C:\\tool.exe"] = TFakeSystem::SolidIcon(1);
    sys.PathKinds["C:\\tool.exe"] = platform::TPathKind::File;
    TIconList list;
    int slot = -2;
    platform::TIconPInfo where{"stale", 9};
    EXPECT_FALSE(list.AddFileIcon(slot, "", &where));
    EXPECT_EQ(where.Location, "");
    EXPECT_EQ(slot, -1);
    EXPECT_FALSE(list.AddFileIcon(slot, "C:\\missing.exe", nullptr));
    EXPECT_TRUE(sys.IconRequests.empty());
    EXPECT_TRUE(list.AddFileIcon(slot, "D:", &where)); // a bare drive goes to the shell untested
    EXPECT_EQ(where.Location, "D:");
    EXPECT_TRUE(list.AddFileIcon(slot, "C:\\tool.exe", nullptr));
    EXPECT_EQ(slot, 0);

    std::string longPath = "C:\\" + std::string(258, 'a');
    sys.PathKinds[longPath] = platform::TPathKind::File;
    sys.Icons[longPath] = TFakeSystem::SolidIcon(1);
    EXPECT_FALSE(list.AddFileIcon(slot, longPath, nullptr));
    EXPECT_EQ(slot, -1);
    EXPECT_FALSE(list.Used[0]);
    EXPECT_EQ(sys.IconRequests, (std::vector<std::string>{"D:", "C:\\tool.exe"}));

    sys.IndexedIcons[{"C:\\lib.dll", 3}] = TFakeSystem::SolidIcon(2);
    sys.PathKinds["C:\\lib.dll"] = platform::TPathKind::File;
    EXPECT_TRUE(list.AddIndexedIcon(slot, "C:\\lib.dll", 3));
    EXPECT_FALSE(list.AddIndexedIcon(slot, "C:\\lib.dll", 4));

    TIconPicture preview;
    LoadFileIcon(preview, "C:\\tool.exe", nullptr);
    EXPECT_TRUE(preview.HasIcon());
    LoadIndexedIcon(preview, "C:\\lib.dll", 4);
    EXPECT_FALSE(preview.HasIcon());
}

TEST(IconList, MarkUsedKeepsSlotsInRangeAndForgetsThoseBeyond) {
    TFakeSystem sys;
    TIconList list;
    list.SetSlotCount(20);
    int slots[] = {-1, -2, 0, 19, 20, 25};
    for (int& s : slots)
        list.MarkUsed(s);
    EXPECT_EQ(std::vector<int>(slots, slots + 6), (std::vector<int>{-1, -2, 0, 19, -2, -2}));
    EXPECT_EQ(std::count(list.Used.begin(), list.Used.end(), true), 2);
}

TEST(IconList, ShrinkCutsFreeBlocksAboveTheHighestUsedSlot) {
    TFakeSystem sys;
    TIconList list;
    AddIcons(list, 30);
    for (int s = 0; s < 30; ++s)
        if (s != 12 && s != 3) list.ReleaseSlot(s);
    list.Shrink();
    EXPECT_EQ(list.SlotCount(), 20);
    EXPECT_EQ(list.ColorStrip.Width(), 640);
    EXPECT_EQ(list.MaskStrip.Width(), 640);
    EXPECT_EQ(list.ColorStrip.Pixel(12 * 32 + 5, 5), 0x100000u + 12); // not compacted
    list.ReleaseSlot(12);
    list.ReleaseSlot(3);
    list.Shrink();
    EXPECT_EQ(list.SlotCount(), 10);
    list.Shrink();
    EXPECT_EQ(list.SlotCount(), 10);
}

TEST(IconList, DrawShowsTheBrushWhereTheIconIsTransparent) {
    TFakeSystem sys;
    TIconList list;
    // Colour that is not black under the transparent frame: it must not tint the brush.
    TIconImage icon = TFakeSystem::SolidIcon(0x00336699);
    int slot = -1;
    list.SetIcon(slot, &icon);
    TPixmap target(40, 40, 0x00FFFFFF);
    TFakeCanvas canvas(target);
    canvas.SetBrushColor(0x000000FF); // red as a framework colour
    list.Draw(slot, canvas, TRect(4, 4, 36, 36));
    EXPECT_EQ(canvas.Rops, (std::vector<uint32_t>{platform::kMergeCopy, platform::kSrcPaint}));
    EXPECT_EQ(target.Pixel(4, 4), 0x00FF0000u);   // frame: the brush
    EXPECT_EQ(target.Pixel(20, 20), 0x00336699u); // inside: the icon
    EXPECT_EQ(target.Pixel(2, 2), 0x00FFFFFFu);   // outside the rectangle: untouched
    list.Draw(5, canvas, TRect(0, 0, 32, 32));    // a slot without an icon draws the blank cell
    list.Draw(99, canvas, TRect(0, 0, 32, 32));   // beyond the strips: nothing
    EXPECT_EQ(canvas.Rops.size(), 4u);
}

TEST(IconList, CacheFilesRoundTripAsRealBitmapsAndAreRejectedWhenTheSizeDiffers) {
    TFakeSystem sys;
    TIconList list;
    AddIcons(list, 12);
    ASSERT_TRUE(list.SaveCache());
    std::string color = sys.PathOf("IconClList.bdt"), mask = sys.PathOf("IconMsList.bdt");
    if (std::system("command -v identify >/dev/null 2>&1") == 0) { // ImageMagick reads them as bitmaps
        EXPECT_EQ(Identify(color), "640 32 8");
        EXPECT_EQ(Identify(mask), "640 32 1");
    }

    TIconList again;
    again.SetSlotCount(20);
    EXPECT_TRUE(again.LoadCache());
    EXPECT_TRUE(again.ColorStrip == list.ColorStrip);
    EXPECT_TRUE(again.MaskStrip == list.MaskStrip);

    TIconList other; // the data file says 10 slots, the caches hold 20
    AddIcons(other, 1);
    EXPECT_FALSE(other.LoadCache());
    EXPECT_FALSE(other.Used[0]);
    EXPECT_EQ(other.ColorStrip.Pixel(5, 5), 0u);

    platform::RemoveFile(mask);
    EXPECT_FALSE(again.LoadCache());
    EXPECT_EQ(again.SlotCount(), 10);
}

TEST(IconList, AFailedCacheSaveRemovesBothFiles) {
    TFakeSystem sys;
    TIconList list;
    ASSERT_TRUE(list.SaveCache());
    platform::SetWriteFaultForTesting(10);
    EXPECT_FALSE(list.SaveCache());
    platform::SetWriteFaultForTesting(-1);
    EXPECT_FALSE(platform::FileExists(sys.PathOf("IconClList.bdt")));
    EXPECT_FALSE(platform::FileExists(sys.PathOf("IconMsList.bdt")));
}

TEST(BmpFile, AReusedBufferGivesTheBytesOfAFreshEncoding) {
    // The icon list encodes both caches into one kept buffer: what a larger file left
    // in it (white masks, bright colours) must not show through the next, smaller one.
    TPixmap big(70, 32, 0x00FFFFFF);
    TMonoBitmap whiteMask(70, 32, true);
    TPixmap small(3, 2, 0x00102030);
    small.SetPixel(2, 1, 0xFF405060); // a top byte is never stored
    TMonoBitmap mask(9, 2);
    mask.SetPixel(8, 1, true);
    std::vector<uint8_t> buffer;
    bmpfile::EncodeColor(big, buffer);
    bmpfile::EncodeColor(small, buffer);
    EXPECT_EQ(bmpfile::EncodeColor(small), buffer);
    EXPECT_EQ(0u, buffer[54 + 2 * 4 + 3]) << "the fourth byte of the pixel with a top byte (top row first)";
    bmpfile::EncodeMono(whiteMask, buffer);
    bmpfile::EncodeMono(mask, buffer);
    EXPECT_EQ(bmpfile::EncodeMono(mask), buffer);
    bmpfile::EncodeColor(small, buffer);
    EXPECT_EQ(bmpfile::EncodeColor(small), buffer);
}

TEST(BmpFile, ReaderAcceptsTopDownAnd24BitFilesAndRefusesDamagedHeaders) {
    TPixmap p(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            p.SetPixel(x, y, (uint32_t)(0x010203 * (x + 3 * y + 1)));
    std::vector<uint8_t> good = bmpfile::EncodeColor(p);
    TPixmap out;
    ASSERT_TRUE(bmpfile::DecodeColor(good, out));
    EXPECT_TRUE(out == p);

    // The same picture top-down with 24 bits per pixel (rows padded to 4 bytes).
    std::vector<uint8_t> td(54 + 2 * 12, 0);
    std::copy(good.begin(), good.begin() + 54, td.begin());
    Put32(td, 22, (uint32_t)-2);
    td[28] = 24;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            uint32_t v = p.Pixel(x, y);
            size_t at = 54 + (size_t)y * 12 + (size_t)x * 3;
            td[at] = (uint8_t)v, td[at + 1] = (uint8_t)(v >> 8), td[at + 2] = (uint8_t)(v >> 16);
        }
    ASSERT_TRUE(bmpfile::DecodeColor(td, out));
    EXPECT_TRUE(out == p);

    struct {
        size_t At;
        uint32_t Value;
    } damage[] = {{10, 0xFFFFFFF0}, {10, 20},         {14, 12},
                  {14, 0x7FFFFFFF}, {18, 0x7FFFFFFF}, {18, (uint32_t)-3},
                  {22, 0},          {22, 0x80000000}, {22, 1000},
                  {26, 2},          {28, 8},          {30, 1},
                  {2, 0},           {18, 0x40000001}}; // a width whose stride would wrap around in 32 bits
    for (auto& d : damage) {
        std::vector<uint8_t> bad = good;
        if (d.At == 26 || d.At == 28) {
            bad[d.At] = (uint8_t)d.Value;
            bad[d.At + 1] = 0;
        } else {
            Put32(bad, d.At, d.Value);
        }
        TPixmap untouched(1, 1);
        bool accepted = bmpfile::DecodeColor(bad, untouched);
        EXPECT_EQ(accepted, d.At == 2)
            << d.At << " " << d.Value; // the file size field is not trusted either way
        if (!accepted) {
            EXPECT_EQ(untouched.Width(), 1);
        }
    }
    for (size_t cut = 0; cut < good.size(); cut += 5) {
        std::vector<uint8_t> shortFile(good.begin(), good.begin() + (long)cut);
        EXPECT_FALSE(bmpfile::DecodeColor(shortFile, out)) << cut;
    }

    TMonoBitmap m(9, 2);
    m.SetPixel(0, 0, true);
    m.SetPixel(8, 1, true);
    std::vector<uint8_t> mono = bmpfile::EncodeMono(m);
    TMonoBitmap mout;
    ASSERT_TRUE(bmpfile::DecodeMono(mono, mout));
    EXPECT_TRUE(mout == m);
    std::swap_ranges(mono.begin() + 54, mono.begin() + 58, mono.begin() + 58); // palette white first
    ASSERT_TRUE(bmpfile::DecodeMono(mono, mout));
    EXPECT_FALSE(mout.Pixel(0, 0));
    EXPECT_TRUE(mout.Pixel(1, 0));
    Put32(mono, 10, 56); // pixels overlapping the palette: fewer than two entries
    EXPECT_FALSE(bmpfile::DecodeMono(mono, mout));
    EXPECT_FALSE(bmpfile::DecodeMono(good, mout)); // 32 bits per pixel is not a mask

    // No columns, 1.2 billion rows of no bytes each: refused at once, not read row by row.
    std::vector<uint8_t> empty = bmpfile::EncodeMono(TMonoBitmap(1, 1));
    Put32(empty, 18, 0);
    Put32(empty, 22, 0x4A000902u);
    EXPECT_FALSE(bmpfile::DecodeMono(empty, mout));
    empty[28] = 32;
    EXPECT_FALSE(bmpfile::DecodeColor(empty, out));
}
