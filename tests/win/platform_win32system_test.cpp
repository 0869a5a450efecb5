// The Windows system layer on the real system: starting through the shell, copying
// files with the shell, icons extracted from real programs and turned into cells,
// names code page 932 cannot hold, the program's folder, colours and the cursor.
#include "shell_support.h"

#include <algorithm>
#include <gtest/gtest.h>

#include "icon_file.h"
#include "platform/win32/bitmapinfo.h"
#include "platform/win32/win32system.h"
#include "shell/common.h"
#include "shell/win32/helpers.h"

using namespace shelltest;
using platform::System;
using platform::TIconImage;

namespace {

bool WaitForFile(const std::wstring& path, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        if (ExistsW(path)) return true;
        Sleep(50);
    }
    return false;
}

// Opaque pixels in the mask and some colour in them: a real picture, not a blank.
bool HasPicture(const TIconImage& icon) {
    int opaque = 0, coloured = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            if (icon.Mask.Pixel(x, y) == 0) ++opaque;
            if (icon.Color.Pixel(x, y) != 0) ++coloured;
        }
    return opaque > 0 && coloured > 0;
}

TEST(Win32SystemShell, StartingAMissingFileGivesFileNotFound) {
    TTempFolder dir(L"exec");
    EXPECT_EQ(System().ShellExecute(0, "", dir.A() + "\\missing.exe", nullptr, nullptr, SW_SHOWNORMAL), 2);
    std::string params = "-x", folder = dir.A();
    EXPECT_EQ(System().ShellExecute(0, "open", dir.A() + "\\missing.txt", &params, &folder, SW_SHOWNORMAL),
              2);
}

TEST(Win32SystemShell, StartingHandsOnParametersAndTheWorkingFolder) {
    TTempFolder dir(L"exec-\u8868");
    std::string params = "/c echo started> out.txt", folder = dir.A();
    int r = System().ShellExecute(0, "", GetWinDir(1) + "cmd.exe", &params, &folder, SW_HIDE);
    EXPECT_GT(r, 32);
    // The relative name lands in the working folder only if both were passed on.
    EXPECT_TRUE(WaitForFile(dir.W() + L"\\out.txt", 15000));
}

TEST(Win32SystemShell, CopiesEveryNamedFileIntoAFolder) {
    TTempFolder src(L"copy-src"), dst(L"copy-dst-\u8868");
    ASSERT_TRUE(WriteFileW(src.W() + L"\\a.txt", "a"));
    ASSERT_TRUE(WriteFileW(src.W() + L"\\\u8a2d\u5b9a \u8868.txt", "b")); // 設定 表.txt
    EXPECT_EQ(System().CopyFilesInto(0, {src.A() + "\\a.txt", src.A() + "\\設定 表.txt"}, dst.A()), 0);
    EXPECT_TRUE(ExistsW(dst.W() + L"\\a.txt"));
    EXPECT_TRUE(ExistsW(dst.W() + L"\\\u8a2d\u5b9a \u8868.txt"));
    EXPECT_TRUE(ExistsW(src.W() + L"\\a.txt")); // copied, not moved
}

TEST(Win32SystemShell, AnEmptyNameDoesNotCutTheListShort) {
    TTempFolder src(L"copy2-src"), dst(L"copy2-dst");
    ASSERT_TRUE(WriteFileW(src.W() + L"\\b.txt", "b"));
    EXPECT_EQ(System().CopyFilesInto(0, {"", src.A() + "\\b.txt"}, dst.A()), 0);
    EXPECT_TRUE(ExistsW(dst.W() + L"\\b.txt"));
    // Nothing to copy is no success.
    EXPECT_NE(System().CopyFilesInto(0, {}, dst.A()), 0);
    EXPECT_NE(System().CopyFilesInto(0, {""}, dst.A()), 0);
}

TEST(Win32SystemShell, AMissingSourceFailsTheCopy) {
    TTempFolder dst(L"copy3-dst");
    EXPECT_NE(System().CopyFilesInto(0, {dst.A() + "\\nothing-here.txt"}, dst.A() + "\\sub"), 0);
}

TEST(Win32SystemIcons, ProgramsAndShell32GiveRealCells) {
    TIconImage icon;
    platform::TIconPInfo where;
    ASSERT_TRUE(System().ExtractAssociatedIcon(GetWinDir(0) + "notepad.exe", icon, &where));
    EXPECT_EQ(icon.Color.Width(), 32);
    EXPECT_EQ(icon.Mask.Height(), 32);
    EXPECT_TRUE(HasPicture(icon));
    EXPECT_NE(where.Location, "");

    TIconImage indexed;
    ASSERT_TRUE(System().ExtractIndexedIcon(GetWinDir(1) + "shell32.dll", 3, indexed));
    EXPECT_EQ(indexed.Color.Width(), 32);
    EXPECT_TRUE(HasPicture(indexed));
    TIconImage first;
    ASSERT_TRUE(System().ExtractIndexedIcon(GetWinDir(1) + "shell32.dll", 0, first));
    EXPECT_FALSE(first.Color == indexed.Color);
}

TEST(Win32SystemIcons, FilesWithoutIconsGiveNone) {
    TTempFolder dir(L"noicon");
    ASSERT_TRUE(WriteFileW(dir.W() + L"\\plain.txt", "no icons in here"));
    TIconImage icon;
    EXPECT_FALSE(System().ExtractIndexedIcon(dir.A() + "\\plain.txt", 0, icon));
    EXPECT_FALSE(System().ExtractIndexedIcon(dir.A() + "\\missing.dll", 0, icon));
    // -1 would ask the shell for the number of icons, which is no icon handle.
    EXPECT_FALSE(System().ExtractIndexedIcon(GetWinDir(1) + "shell32.dll", -1, icon));
    EXPECT_FALSE(System().ExtractIndexedIcon(GetWinDir(1) + "shell32.dll", 100000, icon));
    // Beyond 260 characters the shell is not asked at all.
    std::string longPath = "C:\\" + std::string(270, 'a') + ".exe";
    platform::TIconPInfo where;
    where.Location = "stale";
    where.Index = 9;
    EXPECT_FALSE(System().ExtractAssociatedIcon(longPath, icon, &where));
    EXPECT_EQ(where.Location, "");
    EXPECT_EQ(where.Index, 0);
    EXPECT_FALSE(System().ExtractIndexedIcon(longPath, 0, icon));
}

// A 16 x 16 icon whose left half is opaque red and right half transparent.
HICON MakeHalfIcon() {
    BYTE andBits[16 * 2], xorBits[16 * 16 * 4];
    for (int y = 0; y < 16; ++y) {
        andBits[y * 2] = 0x00;     // left 8 pixels opaque
        andBits[y * 2 + 1] = 0xFF; // right 8 pixels transparent
    }
    for (int i = 0; i < 16 * 16; ++i) {
        bool left = i % 16 < 8;
        DWORD v = left ? 0x00FF0000 : 0x00000000; // BGRA in memory: red
        memcpy(xorBits + i * 4, &v, 4);
    }
    return CreateIcon(GetModuleHandleW(nullptr), 16, 16, 1, 32, andBits, xorBits);
}

TEST(Win32SystemIcons, IconsBecome32By32CellsWithTheirTransparency) {
    HICON h = MakeHalfIcon();
    ASSERT_NE(h, nullptr);
    TIconImage icon;
    ASSERT_TRUE(platform::IconToImage((uintptr_t)h, icon));
    DestroyIcon(h);
    // Stretched to 32 x 32: columns 0-15 from the left half, 16-31 from the right.
    EXPECT_EQ(icon.Color.Pixel(3, 3), 0xFF0000u);
    EXPECT_EQ(icon.Mask.Pixel(3, 3), 0u);
    EXPECT_EQ(icon.Color.Pixel(15, 31), 0xFF0000u);
    EXPECT_EQ(icon.Color.Pixel(16, 0), 0u);
    EXPECT_EQ(icon.Mask.Pixel(16, 0), 0xFFFFFFu);
    EXPECT_EQ(icon.Mask.Pixel(31, 31), 0xFFFFFFu);
    EXPECT_FALSE(platform::IconToImage(0, icon));
}

TEST(Win32SystemIcons, AMonochromeIconKeepsItsBlackWhiteAndTransparentPixels) {
    // One bitmap of double height: the AND mask above the XOR image. Rows 0-15 are
    // transparent (AND 1, XOR 0), rows 16-31 opaque, white on the left, black on the right.
    BYTE andBits[32 * 4], xorBits[32 * 4];
    for (int y = 0; y < 32; ++y)
        for (int b = 0; b < 4; ++b) {
            andBits[y * 4 + b] = y < 16 ? 0xFF : 0x00;
            xorBits[y * 4 + b] = y >= 16 && b < 2 ? 0xFF : 0x00;
        }
    HICON h = CreateIcon(GetModuleHandleW(nullptr), 32, 32, 1, 1, andBits, xorBits);
    ASSERT_NE(h, nullptr);
    ICONINFO ii = {};
    ASSERT_TRUE(GetIconInfo(h, &ii));
    EXPECT_EQ(ii.hbmColor, nullptr) << "a monochrome icon has no colour bitmap";
    DeleteObject(ii.hbmMask);
    TIconImage icon;
    ASSERT_TRUE(platform::IconToImage((uintptr_t)h, icon));
    DestroyIcon(h);
    EXPECT_EQ(icon.Mask.Pixel(5, 5), 0xFFFFFFu);
    EXPECT_EQ(icon.Color.Pixel(5, 5), 0u);
    EXPECT_EQ(icon.Mask.Pixel(5, 20), 0u);
    EXPECT_EQ(icon.Color.Pixel(5, 20), 0xFFFFFFu);
    EXPECT_EQ(icon.Mask.Pixel(25, 30), 0u);
    EXPECT_EQ(icon.Color.Pixel(25, 30), 0u);
}

// A 32 x 32 icon with an alpha channel: pixel(i) gives pixel i (rows from the top)
// as 0xAARRGGBB; the mask says opaque everywhere.
HICON MakeAlphaIcon(uint32_t (*pixel)(int i)) {
    BITMAPINFO bi = platform::TopDownInfo(32, 32);
    void* bits = nullptr;
    HBITMAP color = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!color) return nullptr;
    auto* px = static_cast<uint32_t*>(bits);
    for (int i = 0; i < 32 * 32; ++i)
        px[i] = pixel(i);
    BYTE zeros[32 * 4] = {};
    HBITMAP mask = CreateBitmap(32, 32, 1, 1, zeros);
    ICONINFO ii = {TRUE, 0, 0, mask, color};
    HICON h = CreateIconIndirect(&ii);
    DeleteObject(color);
    DeleteObject(mask);
    return h;
}

TEST(Win32SystemIcons, AnAlphaChannelDecidesTransparency) {
    // Colour everywhere, alpha only on the left half.
    HICON h = MakeAlphaIcon([](int i) { return i % 32 < 16 ? 0xFF0000FFu : 0x0000FF00u; });
    ASSERT_NE(h, nullptr);
    TIconImage icon;
    ASSERT_TRUE(platform::IconToImage((uintptr_t)h, icon));
    DestroyIcon(h);
    EXPECT_EQ(icon.Color.Pixel(2, 2), 0x0000FFu);
    EXPECT_EQ(icon.Mask.Pixel(2, 2), 0u);
    EXPECT_EQ(icon.Color.Pixel(20, 2), 0u);
    EXPECT_EQ(icon.Mask.Pixel(20, 2), 0xFFFFFFu);
}

// The pixels of an icon's bitmap as GetIconInfo hands it out, 0xAARRGGBB.
std::vector<uint32_t> IconBitmapPixels(HBITMAP bitmap, int size) {
    BITMAPINFO bi = platform::TopDownInfo(size, size);
    std::vector<uint32_t> out((size_t)size * size);
    HDC dc = CreateCompatibleDC(nullptr);
    GetDIBits(dc, bitmap, 0, (UINT)size, out.data(), &bi, DIB_RGB_COLORS);
    DeleteDC(dc);
    return out;
}

TEST(Win32SystemIcons, HalfTransparentPixelsKeepTheirColourAndTheProgramIconComesThroughWhole) {
    // Alpha 200 keeps its colour (give or take one for the blending), alpha 100 is clear.
    HICON h = MakeAlphaIcon([](int i) { return i < 32 * 16 ? 0xC8649632u : 0x64FFFFFFu; });
    ASSERT_NE(h, nullptr);
    TIconImage icon;
    ASSERT_TRUE(platform::IconToImage((uintptr_t)h, icon));
    DestroyIcon(h);
    uint32_t top = icon.Color.Pixel(4, 4);
    for (int shift : {0, 8, 16})
        EXPECT_NEAR((int)((top >> shift) & 0xFF), (int)((0x649632u >> shift) & 0xFF), 1) << shift;
    EXPECT_EQ(icon.Mask.Pixel(4, 4), 0u);
    EXPECT_EQ(icon.Color.Pixel(4, 30), 0u);
    EXPECT_EQ(icon.Mask.Pixel(4, 30), 0xFFFFFFu);

    // The program's own icon, against its bitmaps as the system hands them out.
    HICON program = (HICON)LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, 32, 32, 0);
    ASSERT_NE(program, nullptr);
    ASSERT_TRUE(platform::IconToImage((uintptr_t)program, icon));
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(program, &info));
    std::vector<uint32_t> colour = IconBitmapPixels(info.hbmColor, 32),
                          andMask = IconBitmapPixels(info.hbmMask, 32);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(program);
    bool hasAlpha = std::any_of(colour.begin(), colour.end(), [](uint32_t p) { return (p >> 24) != 0; });
    int opaque = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            uint32_t p = colour[(size_t)(y * 32 + x)];
            bool clear = hasAlpha ? (p >> 24) < 128 : (andMask[(size_t)(y * 32 + x)] & 0xFFFFFF) != 0;
            ASSERT_EQ(icon.Mask.Pixel(x, y), clear ? 0xFFFFFFu : 0u) << x << "," << y;
            if (clear) {
                ASSERT_EQ(icon.Color.Pixel(x, y), 0u) << x << "," << y;
                continue;
            }
            ++opaque;
            for (int shift : {0, 8, 16})
                ASSERT_NEAR((int)((icon.Color.Pixel(x, y) >> shift) & 0xFF), (int)((p >> shift) & 0xFF), 1)
                    << x << "," << y;
        }
    EXPECT_GT(opaque, 100) << "the program's icon is no empty picture";
}

TEST(Win32SystemText, ANameCodePage932CannotHoldIsNeverPassedOnMangled) {
    TTempFolder dir(L"foreign");
    ASSERT_TRUE(WriteFileW(dir.W() + L"\\\ud55c\uae00.txt", "x")); // 한글.txt
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((dir.W() + L"\\*.txt").c_str(), &found);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    FindClose(h);
    std::string narrowed;
    EXPECT_FALSE(platform::Narrow(found.cFileName, narrowed));
    EXPECT_EQ(narrowed, "");
    // The display form has '?' and names no file at all.
    std::string shown = platform::NarrowForDisplay(found.cFileName);
    EXPECT_EQ(shown, "??.txt");
    EXPECT_EQ(GetPathKind(dir.A() + "\\" + shown), platform::TPathKind::Missing);
    // The program's own text keeps it exact: the file is found by it.
    EXPECT_EQ(GetPathKind(dir.A() + "\\" + platform::FromWide(found.cFileName)), platform::TPathKind::File);
}

TEST(Win32SystemProgram, ProgramFolderHoldsTheRunningProgram) {
    std::string folder = System().ProgramFolder();
    ASSERT_TRUE(EndsWithPathDelimiter(folder));
    EXPECT_EQ(GetPathKind(folder + "win_tests.exe"), platform::TPathKind::File);
}

TEST(Win32SystemProgram, ColoursResolveSystemColourCodes) {
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    uint32_t expected = (uint32_t)GetRValue(face) << 16 | (uint32_t)GetGValue(face) << 8 | GetBValue(face);
    EXPECT_EQ(System().ColorToPixel(platform::clBtnFace), expected);
    EXPECT_EQ(System().ColorToPixel(0x00112233), 0x332211u);
    EXPECT_EQ(System().ColorToPixel(platform::clWhite), 0xFFFFFFu);
}

TEST(Win32SystemProgram, TheWaitCursorNestsAndIsRestored) {
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW), wait = LoadCursorW(nullptr, IDC_WAIT);
    SetCursor(arrow);
    System().SetWaitCursor(true);
    EXPECT_EQ(GetCursor(), wait);
    System().SetWaitCursor(true);
    System().SetWaitCursor(false);
    EXPECT_EQ(GetCursor(), wait);
    System().SetWaitCursor(false);
    EXPECT_EQ(GetCursor(), arrow);
    System().SetWaitCursor(false); // one too many changes nothing
    EXPECT_EQ(GetCursor(), arrow);
}

} // namespace

// A scaled display's icons: the image of the file at that size, not the 32 x 32 one
// stretched, for an icon by number and for the shell's associated icon alike.
TEST(Win32SystemIcons, IconsAtALargerSizeComeFromTheFilesImageOfThatSize) {
    TTempFolder folder(L"large-icons");
    std::wstring file = folder.W() + L"\\squares.ico";
    ASSERT_TRUE(icontest::WriteSquaresIcon(file));
    std::string name = folder.A() + "\\squares.ico";
    for (int size : {48, 64}) {
        SCOPED_TRACE(size);
        for (bool indexed : {true, false}) {
            TIconImage icon;
            ASSERT_TRUE(System().ExtractIconAtSize(name, indexed, 0, size, icon)) << indexed;
            ASSERT_EQ(icon.Color.Width(), size);
            ASSERT_EQ(icon.Mask.Height(), size);
            // A sharp frame: one black pixel wide, the inside the colour of that image.
            EXPECT_EQ(icon.Color.Pixel(0, 0), 0u);
            EXPECT_EQ(icon.Color.Pixel(size - 1, size / 2), 0u);
            EXPECT_EQ(icon.Color.Pixel(1, 1), icontest::SquareColor(size));
            EXPECT_EQ(icon.Color.Pixel(size - 2, size - 2), icontest::SquareColor(size));
            EXPECT_EQ(icon.Mask.Pixel(0, 0), 0u);
        }
    }
    // A size the file lacks is made from an image it has, at the size asked for.
    TIconImage between;
    ASSERT_TRUE(System().ExtractIconAtSize(name, true, 0, 40, between));
    EXPECT_EQ(between.Color.Width(), 40);
    EXPECT_EQ(between.Mask.Pixel(20, 20), 0u);
    TIconImage none;
    EXPECT_FALSE(System().ExtractIconAtSize(folder.A() + "\\missing.ico", true, 0, 48, none));
    EXPECT_FALSE(System().ExtractIconAtSize(name, true, -1, 48, none)) << "-1 asks for no icon";
}
