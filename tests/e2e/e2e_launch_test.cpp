// What a user sees and clicks: a click on an item button starts its target, and a
// picture of the window with a few pages and items (kept for the user's guide).
#include <gtest/gtest.h>

#include "e2e_datafile.h"
#include "e2e_driver.h"

using namespace e2e;

namespace {

enum : uint16_t { dPageCount = 2, dPage = 3, dExeAnd = 6, dView = 12, dIndItem = 13 };
enum : uint16_t { pName = 0, pItem = 1 };
enum : uint16_t { iName = 0, iPath = 1 };

TField Item(const char* name, const std::string& path) {
    return Object(pItem, {Text(iName, name), Text(iPath, path)});
}

// The grid panel lies right of the page column; its first button's centre (the
// default item of 84 x 76 starts 10 pixels in from the panel's corner).
const POINT kGridCorner = {178, 0};
const POINT kFirstItemCentre = {10 + 84 / 2, 10 + 76 / 2};

// Reads a probe's UTF-16 record once it has appeared (the probe renames it into place).
std::wstring WaitForRecord(const std::wstring& file, DWORD ms) {
    std::wstring text;
    WaitUntil(
        [&] {
            std::vector<uint8_t> bytes = ReadBytes(file);
            if (bytes.empty()) return false;
            text.assign(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
            return true;
        },
        ms);
    return text;
}

} // namespace

TEST(E2eLaunch, AClickOnAnItemStartsItsTarget) {
    TSandbox box(L"click");
    ASSERT_TRUE(box.CopyIn(ProductFolder() + L"probes\\item_probe.exe", L"item_probe.exe"));
    const std::string probe = Cp932(box.Path(L"item_probe.exe"));
    ASSERT_FALSE(probe.empty());
    // After the start the window stays as it is, so the test sees it throughout.
    ASSERT_TRUE(WriteBytes(
        box.Path(L"Kiropad.gbi"),
        Serialize({Short(dPageCount, 1), Object(dPage, {Text(pName, "試験"), Item("プローブ", probe)}),
                   Short(dExeAnd, 0)})));
    // The probe writes beside itself when no other place is named.
    SetEnvironmentVariableW(L"KIROPAD_PROBE_RECORD", nullptr);

    TProcess kiropad;
    HWND window = StartKiropad(box, kiropad);
    ASSERT_NE(nullptr, window);
    HWND grid = ChildAt(window, L"KiropadPanel", kGridCorner);
    ASSERT_NE(nullptr, grid);
    SetForegroundWindow(window);
    ASSERT_TRUE(ClickAt(grid, kFirstItemCentre)) << "the grid lies under the point on the screen";

    std::wstring record = WaitForRecord(box.Path(L"item_probe.txt"), 15000);
    ASSERT_FALSE(record.empty()) << "the item's target was started";
    EXPECT_NE(std::wstring::npos, record.find(L"item_probe.exe")) << testing::PrintToString(record);
    EXPECT_TRUE(kiropad.Running());
    EXPECT_TRUE(IsWindowVisible(window) && !IsIconic(window)) << "the action after a start is 'nothing'";
    EXPECT_EQ(0, CloseKiropad(window, kiropad));
}

TEST(E2eLaunch, TheWindowIsDrawnWithItsPagesAndItemsAndKeptAsAPicture) {
    TSandbox box(L"picture");
    const std::string windows = "C:\\windows\\";
    std::vector<TField> first = {Text(pName, "よく使う"),
                                 Item("メモ帳", windows + "notepad.exe"),
                                 Item("レジストリ エディタ", windows + "regedit.exe"),
                                 Item("コマンド プロンプト", windows + "system32\\cmd.exe"),
                                 Item("エクスプローラ", windows + "explorer.exe"),
                                 Item("Windows フォルダ", "C:\\windows"),
                                 Item("コントロール パネル", windows + "system32\\control.exe")};
    std::vector<TField> document = {
        Short(dPageCount, 4),
        Object(dPage, first),
        Object(dPage, {Text(pName, "ツール")}),
        Object(dPage, {Text(pName, "文書")}),
        Object(dPage, {Text(pName, "ゲーム")}),
        Object(dIndItem, {Text(iName, "メモ帳"), Text(iPath, windows + "notepad.exe")}),
        Object(dView, {Text(0, "Kiropad")})};
    ASSERT_TRUE(WriteBytes(box.Path(L"Kiropad.gbi"), Serialize(document)));
    TProcess kiropad;
    HWND window = StartKiropad(box, kiropad);
    ASSERT_NE(nullptr, window);
    SetForegroundWindow(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(2000); // the icons of every page are prepared in the background first

    const std::wstring folder = ProductFolder() + L"..\\e2e\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    size_t colours = SaveWindowPicture(window, folder + L"kiropad.bmp");
    EXPECT_GT(colours, 20u) << "the picture shows faces, icons and text, not a blank area";
    EXPECT_EQ(0, CloseKiropad(window, kiropad));
}

TEST(E2eLaunch, TargetsThatCannotBeReachedNeitherHoldUpTheStartNorTheClose) {
    TSandbox box(L"unreachable");
    // A drive letter with nothing behind it and a share on the loopback name that
    // nobody serves, on two pages; no icon caches, so every icon is asked for.
    std::vector<TField> first = {Text(pName, "届かない"), Item("空のドライブ", "Q:\\nothing\\tool.exe"),
                                 Item("共有", "\\\\127.0.0.1\\nobody\\tool.exe"),
                                 Item("メモ帳", "C:\\windows\\notepad.exe")};
    std::vector<TField> second = {Text(pName, "二"), Item("共有の文書", "\\\\127.0.0.1\\nobody\\doc.txt")};
    ASSERT_TRUE(WriteBytes(box.Path(L"Kiropad.gbi"),
                           Serialize({Short(dPageCount, 2), Object(dPage, first), Object(dPage, second)})));

    TProcess kiropad;
    DWORD t0 = GetTickCount();
    HWND window = StartKiropad(box, kiropad);
    ASSERT_NE(nullptr, window);
    EXPECT_LT(GetTickCount() - t0, 15000u);
    ASSERT_TRUE(BringToFront(window));
    // It takes keys: the next page and back, each answered at once.
    ASSERT_TRUE(TypeKeys(window, {{VK_NEXT}, {VK_PRIOR}, {VK_RIGHT}}));
    EXPECT_TRUE(Answers(window, 2000));
    Drove(L"a start with unreachable targets: shown, keys, close");
    DWORD closing = GetTickCount();
    EXPECT_EQ(0, CloseKiropad(window, kiropad));
    EXPECT_LT(GetTickCount() - closing, 10000u);
    EXPECT_TRUE(FileExists(box.Path(L"IconClList.bdt")));
}
