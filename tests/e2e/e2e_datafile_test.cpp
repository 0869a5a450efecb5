// The data file as a user's installation meets it: fields written by another version
// of the program are kept, a damaged file is reported and replaced, and a data file
// set never to save is left exactly as it was.
#include <gtest/gtest.h>

#include "e2e_datafile.h"
#include "e2e_driver.h"

using namespace e2e;

namespace {

const char kNotepad[] = "C:\\windows\\notepad.exe";

// Field ids of the document, a page and an item that the program reads.
enum : uint16_t { dPageWidth = 0, dPageHeight = 1, dPageCount = 2, dPage = 3, dNoSave = 10, dView = 12 };
enum : uint16_t { pName = 0, pItem = 1 };
enum : uint16_t { iName = 0, iPath = 1 };
enum : uint16_t { vTitle = 0 };

// One page whose first slot holds Notepad; every level carries fields that this
// version of the program does not know, one of them an object with more inside.
std::vector<TField> DocumentWithUnknownFields() {
    return {Short(dPageWidth, 5),
            Short(dPageHeight, 3),
            Short(dPageCount, 1),
            Object(dPage, {Text(pName, "道具"),
                           Object(pItem, {Text(iName, "メモ帳"), Text(iPath, kNotepad),
                                          Text(30, "item-extra 未来"), Object(31, {Int(0, 7)})}),
                           Text(20, "page-extra")}),
            Object(dView, {Text(vTitle, "E2E 未知"), Text(200, "view-extra")}),
            Text(40, "doc-extra"),
            Object(41, {Object(1, {Text(2, "deep")})})};
}

// Checks that every unknown field is still where it was written.
void ExpectUnknownFieldsKept(const std::vector<uint8_t>& saved) {
    TField root;
    ASSERT_TRUE(Parse(saved, root)) << "the saved file is a complete body";
    const TField* doc = root.Find(40);
    ASSERT_NE(nullptr, doc);
    EXPECT_EQ("doc-extra", doc->Text());
    const TField* deep = root.Find(41);
    ASSERT_TRUE(deep && deep->IsObject && deep->Find(1) && deep->Find(1)->Find(2));
    EXPECT_EQ("deep", deep->Find(1)->Find(2)->Text());

    ASSERT_EQ(1, root.Count(dPage));
    const TField* page = root.Find(dPage);
    ASSERT_TRUE(page->Find(20));
    EXPECT_EQ("page-extra", page->Find(20)->Text());
    EXPECT_EQ(15, page->Count(pItem)) << "a page writes every slot";
    const TField* item = page->Find(pItem, 0);
    ASSERT_TRUE(item->Find(iPath) && item->Find(30) && item->Find(31));
    EXPECT_EQ(kNotepad, item->Find(iPath)->Text());
    EXPECT_EQ("item-extra 未来", item->Find(30)->Text());
    ASSERT_TRUE(item->Find(31)->IsObject && item->Find(31)->Find(0));
    EXPECT_EQ((std::vector<uint8_t>{7, 0, 0, 0}), item->Find(31)->Find(0)->Value);

    const TField* view = root.Find(dView);
    ASSERT_TRUE(view && view->Find(200));
    EXPECT_EQ("view-extra", view->Find(200)->Text());
    EXPECT_EQ("E2E 未知", view->Find(vTitle)->Text());
}

// The path stored in slot `slot` of the first page of a saved file ("" when absent).
std::string SlotPath(const std::vector<uint8_t>& bytes, int slot) {
    TField root;
    if (!Parse(bytes, root) || !root.Find(dPage)) return "";
    const TField* item = root.Find(dPage)->Find(pItem, slot);
    return item && item->Find(iPath) ? item->Find(iPath)->Text() : "";
}

// Copies the item under the keyboard cursor (the first slot after a start) into the
// slot to its right, with the keys.
bool CopyFirstItemIntoSecondSlot(HWND window) {
    return TypeKeys(window, {{VK_CONTROL, 'C'}, {VK_RIGHT}, {VK_CONTROL, 'V'}});
}

bool ContainsNoCase(const std::wstring& text, const std::wstring& part) {
    std::wstring a = text, b = part;
    CharUpperBuffW(&a[0], (DWORD)a.size());
    CharUpperBuffW(&b[0], (DWORD)b.size());
    return a.find(b) != std::wstring::npos;
}

// A file that ends inside a value: the first field announces two bytes, one follows.
const std::vector<uint8_t> kDamaged = {0x00, 0x00, 0x02, 0x00, 0x05};

const wchar_t kLoadMessage[] = L"以下のデータファイルのロード中にエラーが発生しました。";

} // namespace

TEST(E2eDataFile, UnknownFieldsAtEveryLevelSurviveARunThatChangesNothing) {
    TSandbox box(L"unknown-same");
    ASSERT_TRUE(WriteBytes(box.Path(L"Kiropad.gbi"), Serialize(DocumentWithUnknownFields())));
    TProcess kiropad;
    HWND window = StartKiropad(box, kiropad);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(L"E2E 未知", TitleOf(window));
    EXPECT_EQ(0, CloseKiropad(window, kiropad));
    ExpectUnknownFieldsKept(ReadBytes(box.Path(L"Kiropad.gbi")));
}

TEST(E2eDataFile, UnknownFieldsSurviveAChangeThatIsSavedAtOnceAndAgainOnExit) {
    TSandbox box(L"unknown-change");
    const std::wstring data = box.Path(L"Kiropad.gbi");
    ASSERT_TRUE(WriteBytes(data, Serialize(DocumentWithUnknownFields())));
    TProcess kiropad;
    HWND window = StartKiropad(box, kiropad);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(CopyFirstItemIntoSecondSlot(window));
    ASSERT_TRUE(WaitUntil([&] { return SlotPath(ReadBytes(data), 1) == kNotepad; }, 10000))
        << "the paste is saved while the program runs";
    ExpectUnknownFieldsKept(ReadBytes(data));
    EXPECT_EQ(0, CloseKiropad(window, kiropad));
    std::vector<uint8_t> saved = ReadBytes(data);
    ExpectUnknownFieldsKept(saved);
    EXPECT_EQ(kNotepad, SlotPath(saved, 1));
}

TEST(E2eDataFile, ADamagedFileIsReportedAndCancelGivesAFreshDocumentThatReplacesItOnExit) {
    TSandbox box(L"damaged");
    const std::wstring data = box.Path(L"Kiropad.gbi");
    ASSERT_TRUE(WriteBytes(data, kDamaged));
    ASSERT_TRUE(box.CopyProduct(L"Kiropad.exe"));
    TProcess kiropad;
    ASSERT_TRUE(kiropad.Start(box.Path(L"Kiropad.exe"), L"", box.Folder()));

    HWND message = WaitForWindow(kiropad.Id(), kStartMs, L"#32770");
    ASSERT_NE(nullptr, message) << "the load failure is shown";
    EXPECT_EQ(L"Kiropad", TitleOf(message));
    std::wstring text = StaticTexts(message);
    EXPECT_TRUE(ContainsNoCase(text, kLoadMessage)) << "text: " << testing::PrintToString(text);
    EXPECT_TRUE(ContainsNoCase(text, data)) << "the message names the data file";
    EXPECT_TRUE(GetDlgItem(message, IDRETRY) && GetDlgItem(message, IDCANCEL));
    ASSERT_TRUE(PressButton(message, IDCANCEL));

    HWND window = WaitForWindow(kiropad.Id(), kStartMs, L"KiropadForm");
    ASSERT_NE(nullptr, window) << "the program goes on after Cancel";
    EXPECT_EQ(kDamaged, ReadBytes(data)) << "the damaged file stays until the next save";
    EXPECT_EQ(0, CloseKiropad(window, kiropad));

    TField root;
    ASSERT_TRUE(Parse(ReadBytes(data), root)) << "the exit wrote a whole new file";
    ASSERT_EQ(10, root.Count(dPage));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ("無題", root.Find(dPage, i)->Find(pName)->Text());
    EXPECT_EQ(5, root.Find(dPageWidth)->Value[0]);
    EXPECT_EQ("", SlotPath(ReadBytes(data), 0));
}

TEST(E2eDataFile, RetryReadsTheFileAgainOnceItIsWhole) {
    TSandbox box(L"retry");
    const std::wstring data = box.Path(L"Kiropad.gbi");
    ASSERT_TRUE(WriteBytes(data, kDamaged));
    ASSERT_TRUE(box.CopyProduct(L"Kiropad.exe"));
    TProcess kiropad;
    ASSERT_TRUE(kiropad.Start(box.Path(L"Kiropad.exe"), L"", box.Folder()));
    HWND message = WaitForWindow(kiropad.Id(), kStartMs, L"#32770");
    ASSERT_NE(nullptr, message);

    // Repaired while the question is open: Retry reads it from the start.
    ASSERT_TRUE(WriteBytes(data, Serialize({Object(dView, {Text(vTitle, "直した")})})));
    ASSERT_TRUE(PressButton(message, IDRETRY));
    HWND window = WaitForWindow(kiropad.Id(), kStartMs, L"KiropadForm");
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(L"直した", TitleOf(window));
    EXPECT_EQ(0, CloseKiropad(window, kiropad));
}

TEST(E2eDataFile, NoSaveLeavesTheFileByteIdenticalAfterAChangeAndExit) {
    TSandbox box(L"nosave");
    const std::wstring data = box.Path(L"Kiropad.gbi");
    const std::vector<uint8_t> original =
        Serialize({Short(dPageCount, 1),
                   Object(dPage, {Text(pName, "保存しない"),
                                  Object(pItem, {Text(iName, "メモ帳"), Text(iPath, kNotepad)})}),
                   Bool(dNoSave, true)});
    ASSERT_TRUE(WriteBytes(data, original));

    TProcess kiropad;
    HWND window = StartKiropad(box, kiropad);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(CopyFirstItemIntoSecondSlot(window));
    Sleep(1500); // long enough for a save after the change, had there been one
    EXPECT_EQ(original, ReadBytes(data));
    EXPECT_EQ(0, CloseKiropad(window, kiropad));
    EXPECT_EQ(original, ReadBytes(data));
}

TEST(E2eDataFile, TheSaveCommandStillWritesUnderNoSave) {
    TSandbox box(L"nosave-command");
    const std::wstring data = box.Path(L"Kiropad.gbi");
    ASSERT_TRUE(WriteBytes(
        data, Serialize({Short(dPageCount, 1),
                         Object(dPage, {Text(pName, "保存しない"),
                                        Object(pItem, {Text(iName, "メモ帳"), Text(iPath, kNotepad)})}),
                         Bool(dNoSave, true)})));
    TProcess kiropad;
    HWND window = StartKiropad(box, kiropad);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(CopyFirstItemIntoSecondSlot(window));
    // Main menu (Alt+M), "設定を保存(&S)".
    ASSERT_TRUE(TypeKeys(window, {{VK_MENU, 'M'}, {'S'}}));
    EXPECT_TRUE(WaitUntil([&] { return SlotPath(ReadBytes(data), 1) == kNotepad; }, 10000));
    EXPECT_EQ(0, CloseKiropad(window, kiropad));
    EXPECT_EQ(kNotepad, SlotPath(ReadBytes(data), 1)) << "the exit did not undo the explicit save";
}
