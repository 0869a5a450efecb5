// The document and its data file: first start, damaged and older files, unknown
// fields at every level, the save policy, the page operations and the independent row.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <utility>

#include "model/viewdata.h"
#include "support/model_env.h"
#include "platform/filestream.h"

namespace {

// A document of count pages named P0, P1 ... with the given number of page objects.
std::vector<uint8_t> PagesFile(int count, int objects) {
    TBody doc;
    doc.I16(0, 5).I16(1, 3).I16(2, count);
    for (int p = 0; p < objects; ++p)
        doc.Obj(3, NewPageBody(5, 3, "P" + std::to_string(p)));
    doc.Append(DefaultTailBody());
    return doc.Bytes();
}

// The contents of the copies of unreadable data files, oldest first.
std::vector<std::vector<uint8_t>> CopiesOf(const TModelEnv& env) {
    std::vector<std::vector<uint8_t>> copies;
    for (const std::string& name : platform::UnreadableCopies(env.DataFile()))
        copies.push_back(platform::ReadWholeFile(name));
    return copies;
}

bool IsFresh(const TDocument& d) {
    if (d.Pages.size() != 10 || d.PageWidth != 5 || d.PageHeight != 3 || !d.IndItems.empty()) return false;
    for (auto& p : d.Pages)
        if (p->Name != "無題" || p->SlotCount() != 15 || p->CountUsed() != 0) return false;
    return d.AutoSave && !d.NoSave && d.ExeAnd == 1 && d.ShowInd && !d.NoEdit && !d.PreventDblExe &&
           !d.NotClose;
}

} // namespace

TEST(Document, FirstStartIsFreshAndExitWritesItByteExactly) {
    TModelEnv env;
    TDocument& d = env.Start();
    EXPECT_TRUE(IsFresh(d));
    EXPECT_TRUE(env.System.Boxes.empty());
    EXPECT_EQ(d.FileName, env.DataFile());
    env.Stop();
    EXPECT_EQ(env.ReadDataFile(), FirstStartFile());
    EXPECT_TRUE(platform::FileExists(env.System.PathOf("IconClList.bdt")));
    EXPECT_TRUE(platform::FileExists(env.System.PathOf("IconMsList.bdt")));
}

TEST(Document, EndMarkerOnlyFileLoadsAsNewDocument) {
    TModelEnv env;
    env.WriteDataFile({0xFF, 0xFF});
    EXPECT_TRUE(IsFresh(env.Start()));
    env.Stop();
    EXPECT_EQ(env.ReadDataFile(), FirstStartFile());
}

TEST(Document, PageObjectsBeyondTheCountAreKeptAndMissingOnesAreNewPages) {
    {
        TModelEnv env;
        env.WriteDataFile(PagesFile(3, 5));
        TDocument& d = env.Start();
        ASSERT_EQ(d.Pages.size(), 3u);
        EXPECT_EQ(d.Pages[2]->Name, "P2");
        env.Stop();
        // Saved: the three pages, the options, then the two extra pages unchanged.
        TBody expected;
        expected.I16(0, 5).I16(1, 3).I16(2, 3);
        for (int p = 0; p < 3; ++p)
            expected.Obj(3, NewPageBody(5, 3, "P" + std::to_string(p)));
        expected.Append(DefaultTailBody()).Obj(3, NewPageBody(5, 3, "P3")).Obj(3, NewPageBody(5, 3, "P4"));
        EXPECT_EQ(env.ReadDataFile(), expected.Bytes());
    }
    TModelEnv env2;
    env2.WriteDataFile(PagesFile(12, 10));
    TDocument& d2 = env2.Start();
    ASSERT_EQ(d2.Pages.size(), 12u);
    EXPECT_EQ(d2.Pages[9]->Name, "P9");
    EXPECT_EQ(d2.Pages[11]->Name, "無題");
    EXPECT_EQ(d2.Pages[11]->SlotCount(), 15);
}

TEST(Document, PageCountOfZeroOrLessStillGivesOnePage) {
    for (int count : {0, -3}) {
        TModelEnv env;
        env.WriteDataFile(PagesFile(count, 1));
        TDocument& d = env.Start();
        ASSERT_EQ(d.Pages.size(), 1u) << count;
        EXPECT_EQ(d.Pages[0]->Name, "P0");
        EXPECT_TRUE(env.System.Boxes.empty());
    }
}

TEST(Document, DamagedGridSizesAreBroughtIntoTheRangeTheWindowCanShow) {
    {
        TModelEnv env;
        env.WriteDataFile(TBody().I16(0, 0).I16(1, 500).I16(2, 1).Bytes());
        TDocument& d = env.Start();
        EXPECT_EQ(d.PageWidth, 1);
        EXPECT_EQ(d.PageHeight, 100);
        EXPECT_EQ(d.Pages[0]->SlotCount(), 100);
    }

    // 32767 pages of 100 x 100 cannot be held: a load failure, not an exhausted process.
    TModelEnv env2;
    env2.WriteDataFile(TBody().I16(0, 100).I16(1, 100).I16(2, 32767).Bytes());
    EXPECT_TRUE(IsFresh(env2.Start()));
    EXPECT_EQ(env2.System.Boxes.size(), 1u);
}

TEST(Document, OlderFileWithBoolExeAndIsReadAndSavedAsId6) {
    struct {
        bool HasOld, Old;
        int New, Expected;
    } cases[] = {{true, true, -1, 1}, {true, false, -1, 0}, {true, true, 2, 2}, {false, false, 0, 0}};
    for (auto& c : cases) {
        TModelEnv env;
        TBody doc;
        if (c.HasOld) doc.Bool(4, c.Old);
        if (c.New >= 0) doc.I16(6, c.New);
        env.WriteDataFile(doc.Bytes());
        EXPECT_EQ(env.Start().ExeAnd, c.Expected);
        env.Stop();
        EXPECT_EQ(env.ReadDataFile(), FirstStartFile(c.Expected)); // id 6 written, id 4 not
    }
}

TEST(Document, UnknownFieldsAtEveryLevelSurviveLoadAndSave) {
    TBody font;
    font.I32(0, 0x80000008).Str(1, "ＭＳ Ｐゴシック").I32(2, 9).U8(3, 0).Str(9, "font extra");
    TBody view;
    view.Str(0, "Kiropad").I32(1, 171).I32(2, 84).I32(3, 76).I32(4, 0x8000000F).I32(5, 0x00E0E0E0).I32(7, 0);
    view.Obj(6, font).Bool(8, true).I32(9, 0).I32(10, 0).I32(11, 0).Bool(12, false).I32(40, 7);
    TBody item = ItemBody("x").I16(20, 5);
    TBody page;
    page.Str(0, "p").Obj(1, item);
    for (int i = 1; i < 15; ++i)
        page.Obj(1, ItemBody());
    page.Str(9, "page extra");
    TBody ind = ItemBody("ind").Str(30, "item extra");
    TBody doc;
    doc.I16(0, 5).I16(1, 3).I16(2, 1).Obj(3, page).Obj(13, ind);
    doc.Bool(5, true).Bool(10, false).I16(6, 1).Bool(7, false).Str(8, "pw").Bool(14, true).Bool(15, false);
    doc.Bool(16, false).Obj(12, view).I16(9, 10).I32(30, 123456);

    TModelEnv env;
    env.WriteDataFile(doc.Bytes());
    TDocument& d = env.Start();
    EXPECT_EQ(d.EditPassword, "pw");
    ASSERT_EQ(d.IndItems.size(), 1u);
    env.Stop();
    EXPECT_EQ(env.ReadDataFile(), doc.Bytes());
}

TEST(Document, NoViewSettingsInTheFileLeavesTheirDefaults) {
    {
        TModelEnv env;
        env.Host.View.Title = "changed before load";
        env.WriteDataFile(TBody().I16(2, 1).Bytes());
        env.Start();
        EXPECT_EQ(env.Host.View.Title, "changed before load"); // not touched without id 12
    }

    TModelEnv env2;
    env2.Host.View.ItemWidth = 500;
    env2.WriteDataFile(TBody().Obj(12, TBody().Str(0, "T")).Bytes());
    env2.Start();
    EXPECT_EQ(env2.Host.View.Title, "T");
    EXPECT_EQ(env2.Host.View.ItemWidth, 84); // cleared before the read
}

TEST(Document, SavePolicyFollowsAutoSaveNoSaveAndTheReason) {
    struct {
        bool AutoSave, NoSave;
        bool Saves[3]; // reason 0 change, 1 exit, 2 command
    } cases[] = {{true, false, {true, true, true}},
                 {false, false, {false, true, true}},
                 {true, true, {false, false, true}},
                 {false, true, {false, false, true}}};
    for (auto& c : cases)
        for (int reason = 0; reason < 3; ++reason) {
            TModelEnv env;
            TDocument& d = env.Start();
            d.AutoSave = c.AutoSave;
            d.NoSave = c.NoSave;
            d.SaveIfNeeded(static_cast<TSaveReason>(reason));
            EXPECT_EQ(env.DataFileExists(), c.Saves[reason]) << c.AutoSave << c.NoSave << reason;
            EXPECT_EQ(env.System.WaitCursorDepth, 0);
            EXPECT_EQ(env.System.WaitCursorShown, c.Saves[reason] ? 1 : 0);
            platform::RemoveFile(env.DataFile());
            env.Stop();
            EXPECT_EQ(env.DataFileExists(), !c.NoSave) << "exit";
        }
}

TEST(Document, LoadFailureWithCancelCopiesTheFileAsideAndGivesAFreshDocumentThatExitSaves) {
    TModelEnv env;
    std::vector<uint8_t> damaged = {0x00, 0x00, 0x04, 0x00, 0x05}; // id 0 claims 4 bytes, holds 1
    env.WriteDataFile(damaged);
    env.Host.View.Title = "kept";
    TDocument& d = env.Start();
    EXPECT_TRUE(IsFresh(d));
    ASSERT_EQ(env.System.Boxes.size(), 1u);
    const auto& box = env.System.Boxes[0];
    EXPECT_EQ(box.Caption, "Kiropad");
    EXPECT_EQ(box.Flags, platform::mbRetryCancel | platform::mbIconError);
    EXPECT_EQ(box.Text, "以下のデータファイルのロード中にエラーが発生しました。\n再試行しますか？\n\n" +
                            env.DataFile() +
                            "\nYBFS2 データ読み込みエラー\n\n[キャンセル]：空のデータで始めます。"
                            "読めなかったファイルはプログラムの横に日時を付けた名前で残します。");
    EXPECT_EQ(env.Host.View.Title, "kept");
    EXPECT_EQ(env.ReadDataFile(), damaged); // untouched until a save
    EXPECT_EQ(CopiesOf(env), std::vector<std::vector<uint8_t>>{damaged}) << "copied aside at Cancel";
    env.Host.View.Title = "Kiropad";
    env.Stop();
    EXPECT_EQ(env.ReadDataFile(), FirstStartFile());

    // Another damaged file never replaces an earlier copy.
    std::vector<uint8_t> other = {0x01, 0x00};
    env.WriteDataFile(other);
    env.Start();
    env.Stop();
    EXPECT_EQ(CopiesOf(env), (std::vector<std::vector<uint8_t>>{damaged, other}));
    EXPECT_EQ(env.ReadDataFile(), FirstStartFile());
}

TEST(Document, AFileThatCannotBeCopiedAsideIsNeverReplaced) {
    TModelEnv env;
    std::vector<uint8_t> damaged = {0x00, 0x00, 0x04, 0x00, 0x05};
    env.WriteDataFile(damaged);
    // A folder in the place of every name the copy could take.
    platform::SetTimeStampForTesting("20261208-153000");
    for (int i = 1; i <= 999; ++i)
        ASSERT_EQ(0, ::mkdir((env.DataFile() + ".20261208-153000" + (i == 1 ? "" : "-" + std::to_string(i)) +
                              ".unreadable")
                                 .c_str(),
                             0755));
    TDocument& d = env.Start();
    EXPECT_TRUE(IsFresh(d));
    ASSERT_EQ(env.System.Boxes.size(), 2u);
    EXPECT_NE(env.System.Boxes[1].Text.find("別の名前で残せませんでした"), std::string::npos);
    EXPECT_FALSE(d.Loaded());
    d.SaveIfNeeded(TSaveReason::Command);
    env.Stop();
    platform::SetTimeStampForTesting("");
    EXPECT_EQ(env.ReadDataFile(), damaged);
}

TEST(Document, FieldOfTheWrongKindFailsTheLoadAndRetryReadsAgain) {
    TModelEnv env;
    env.WriteDataFile(TBody().I32(0, 5).Bytes()); // page width must be 2 bytes
    env.System.BoxAnswers = {platform::idRetry, platform::idCancel};
    EXPECT_TRUE(IsFresh(env.Start()));
    EXPECT_EQ(env.System.Boxes.size(), 2u);
}

TEST(Document, IconSlotsAreRebuiltFromTheItemsAndACacheThatDoesNotFitIsRejected) {
    // Slot count 20 in the file, items with slots 3 and 25, caches of 10 slots.
    TBody page;
    page.Str(0, "p").Obj(1, ItemBody("a", "C:\\a.exe", 3)).Obj(1, ItemBody("b", "C:\\b.exe", 25));
    TBody doc;
    doc.I16(2, 1).Obj(3, page).I16(9, 20);
    {
        TModelEnv env;
        env.WriteDataFile(doc.Bytes());
        env.System.Icons["C:\\a.exe"] = TFakeSystem::SolidIcon(0x112233);
        env.System.PathKinds["C:\\a.exe"] = platform::TPathKind::File;
        TDocument& d = env.Start();
        EXPECT_EQ(d.Pages[0]->Item(0).ImageIndex, -2); // no cache files: forgotten
        EXPECT_EQ(d.Pages[0]->Item(1).ImageIndex, -2);
        EXPECT_EQ(d.IconList->SlotCount(), 10);
        d.Pages[0]->Item(0).PrepareIcon();
        EXPECT_EQ(d.Pages[0]->Item(0).ImageIndex, 0);
        d.IconList->ResetSlots(); // caches of 10 slots for the next start
        d.IconList->SaveCache();
        platform::RemoveFile(env.DataFile());
        d.NoSave = true;
        env.Stop();
        env.WriteDataFile(doc.Bytes());
        TDocument& again = env.Start();
        EXPECT_EQ(again.IconList->SlotCount(), 10); // 20 in the file, 10 in the caches: rejected
        EXPECT_EQ(again.Pages[0]->Item(0).ImageIndex, -2);
        again.NoSave = true;
    }
    {
        // Caches that fit 20 slots are accepted: slot 3 is used, 25 is beyond and forgotten.
        TModelEnv env;
        TIconList twenty;
        twenty.SetSlotCount(20);
        twenty.SaveCache();
        env.WriteDataFile(doc.Bytes());
        TDocument& d = env.Start();
        EXPECT_EQ(d.IconList->SlotCount(), 20);
        EXPECT_EQ(d.Pages[0]->Item(0).ImageIndex, 3);
        EXPECT_TRUE(d.IconList->Used[3]);
        EXPECT_EQ(d.Pages[0]->Item(1).ImageIndex, -2);
        EXPECT_EQ(std::count(d.IconList->Used.begin(), d.IconList->Used.end(), true), 1);
        d.NoSave = true;
    }
}

TEST(Document, IndependentRowGrowsWithEmptyItemsAndShrinksOnlyByEmptyOnesFromTheEnd) {
    TModelEnv env;
    TDocument& d = env.Start();
    d.SetIndItemCount(5);
    ASSERT_EQ(d.IndItems.size(), 5u);
    d.IndItems[1]->Path = "b";
    d.IndItems[4]->Path = "e";
    d.SetIndItemCount(3); // removes 3 and 2, keeps the full last one
    ASSERT_EQ(d.IndItems.size(), 3u);
    EXPECT_EQ(d.IndItems[1]->Path, "b");
    EXPECT_EQ(d.IndItems[2]->Path, "e");
    d.SetIndItemCount(1); // only item 0 is empty: the row stays longer than asked
    ASSERT_EQ(d.IndItems.size(), 2u);
    EXPECT_EQ(d.IndItems[0]->Path, "b");
    d.SetIndItemCount(0);
    EXPECT_EQ(d.IndItems.size(), 2u);
    EXPECT_EQ(d.GetItem({kIndPage, 1}), d.IndItems[1].get());
    EXPECT_EQ(d.GetItem({kIndPage, 2}), nullptr);
}

TEST(Document, PageOperationsReorderPagesAndResetTheCopiedPosition) {
    TModelEnv env;
    TDocument& d = env.Start();
    for (int i = 0; i < 10; ++i)
        d.Pages[(size_t)i]->Name = std::to_string(i);
    auto names = [&] {
        std::string s;
        for (auto& p : d.Pages)
            s += p->Name;
        return s;
    };
    auto copied = [&] { d.ClipPos = {1, 2}; };
    copied();
    d.InsertPage(-1);
    EXPECT_EQ(names(), "0123456789無題");
    EXPECT_EQ(d.ClipPos, TItemPos());
    copied();
    d.DeletePage(10);
    d.InsertPage(0);
    d.Pages[0]->Name = "N";
    EXPECT_EQ(names(), "N0123456789");
    EXPECT_EQ(d.ClipPos, TItemPos());
    copied();
    d.MovePageUp(1);
    d.MovePageDown(1);
    EXPECT_EQ(names(), "01N23456789");
    EXPECT_EQ(d.ClipPos, TItemPos());
    EXPECT_EQ(d.GetItem({3, 14}), &d.Pages[3]->Item(14));
    EXPECT_EQ(d.GetItem({3, 15}), nullptr);
}

TEST(Document, PageSizeChangeChecksEveryPageThenRelaysThem) {
    TModelEnv env;
    TDocument& d = env.Start();
    for (int s = 0; s < 13; ++s)
        d.Pages[2]->Item(s).Path = "x";
    d.Pages[5]->Item(14).Path = "y";
    std::vector<std::string> tooSmall = {"stale"};
    EXPECT_FALSE(d.CanResizePages(3, 4, tooSmall));
    EXPECT_EQ(tooSmall, std::vector<std::string>{"無題"});
    EXPECT_TRUE(d.CanResizePages(4, 4, tooSmall));
    EXPECT_TRUE(tooSmall.empty());
    d.ClipPos = {0, 0};
    d.SetPageSize(4, 4);
    EXPECT_EQ(d.PageWidth, 4);
    EXPECT_EQ(d.PageHeight, 4);
    EXPECT_EQ(d.ClipPos, TItemPos());
    for (auto& p : d.Pages)
        EXPECT_EQ(p->SlotCount(), 16);
    EXPECT_EQ(d.Pages[5]->Item(0).Path, "y"); // (4, 2) was cut off: into the first empty slot
    EXPECT_EQ(d.Pages[2]->Item(12).Path, "x");
    d.InsertPage(-1);
    EXPECT_EQ(d.Pages.back()->SlotCount(), 16);
}

TEST(Document, SaveFailureShowsTheSaveBoxWithTheFileName) {
    TModelEnv env;
    TDocument& d = env.Start();
    platform::SetWriteFaultForTesting(0);
    d.SaveIfNeeded(TSaveReason::Command);
    platform::SetWriteFaultForTesting(-1);
    ASSERT_EQ(env.System.Boxes.size(), 1u);
    EXPECT_EQ(env.System.Boxes[0].Text,
              "以下のデータファイルのセーブ中にエラーが発生しました。\n再試行しますか？\n\n" +
                  env.DataFile() + "\n\n[キャンセル]：データは保存されません。");
    EXPECT_FALSE(env.DataFileExists());
    d.SaveIfNeeded(TSaveReason::Command);
    EXPECT_TRUE(env.DataFileExists());
}

namespace {

// A one-page document whose page holds the given item body (and a name field).
std::vector<uint8_t> OnePageFile(const TBody& page) {
    TBody doc;
    doc.I16(2, 1).Obj(3, page).Append(DefaultTailBody());
    return doc.Bytes();
}

// An item body as the program writes it, with the field `id` replaced by `bad`.
TBody ItemWith(int id, const TBody& bad) {
    TBody fields[13];
    fields[0].Str(0, "a");
    fields[1].Str(1, "C:\\a.exe");
    for (int s : {2, 3, 4, 5, 6, 12})
        fields[s].Str(s, "");
    fields[7].I32(7, 0);
    fields[8].I16(8, -1);
    fields[10].I16(10, -2);
    fields[11].I32(11, 0);
    fields[id] = bad;
    TBody item;
    for (int f : {0, 1, 2, 3, 12, 4, 5, 6, 7, 8, 10, 11})
        item.Append(fields[f]);
    return item;
}

// Whether the data file fails to load (answered with Cancel), and whether a read
// that parses every object at once fails on the same bytes.
std::pair<bool, bool> LoadFails(const std::vector<uint8_t>& file) {
    bool loadFails, readFails = false;
    {
        TModelEnv env;
        env.WriteDataFile(file);
        env.Start().NoSave = true;
        loadFails = !env.System.Boxes.empty();
    }
    TModelEnv env;
    TDocument& d = env.Start();
    d.NoSave = true;
    try {
        d.ReadFrom(file.data(), file.size());
    } catch (const Exception&) {
        readFails = true;
    }
    return {loadFails, readFails};
}

} // namespace

TEST(Document, PageItemsOfTheWrongKindOrSizeFailTheLoadAsAFullRead) {
    TBody object;
    object.Obj(0, TBody());
    struct Case {
        const char* what;
        TBody page;
        bool fails;
    };
    std::vector<Case> cases;
    for (int id : {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12}) {
        TBody asObject;
        asObject.Obj((uint16_t)id, TBody().Str(1, "x"));
        cases.push_back(
            {"object in an item value", TBody().Str(0, "p").Obj(1, ItemWith(id, asObject)), true});
    }
    cases.push_back(
        {"5-byte icon index", TBody().Obj(1, ItemWith(7, TBody().Value(7, {1, 2, 3, 4, 5}))), true});
    cases.push_back({"4-byte launch action", TBody().Obj(1, ItemWith(8, TBody().I32(8, 0))), true});
    cases.push_back({"1-byte icon slot", TBody().Obj(1, ItemWith(10, TBody().U8(10, 0))), true});
    cases.push_back({"2-byte window state", TBody().Obj(1, ItemWith(11, TBody().I16(11, 0))), true});
    cases.push_back({"any size of text", TBody().Obj(1, ItemWith(6, TBody().Value(6, {'i', 'c'}))), false});
    cases.push_back({"second field of an id is not read",
                     TBody().Obj(1, ItemWith(11, TBody().I32(11, 2).I16(11, 0))), false});
    cases.push_back(
        {"unknown ids of any kind", TBody().Obj(1, ItemWith(9, TBody().Obj(9, object).I32(40, 1))), false});
    cases.push_back({"page name as an object", TBody().Obj(0, TBody()), true});
    cases.push_back({"second page name as an object", TBody().Str(0, "p").Obj(0, TBody()), false});
    cases.push_back({"item as a value", TBody().Str(0, "p").I32(1, 0), true});
    TBody sixteen;
    sixteen.Str(0, "p");
    for (int i = 0; i < 15; ++i)
        sixteen.Obj(1, ItemBody());
    cases.push_back({"item value beyond the slots", TBody().Append(sixteen).I32(1, 0), false});
    cases.push_back(
        {"bad item beyond the slots", TBody().Append(sixteen).Obj(1, ItemWith(7, TBody().I16(7, 0))), false});
    for (const Case& c : cases) {
        std::pair<bool, bool> r = LoadFails(OnePageFile(c.page));
        EXPECT_EQ(r.first, c.fails) << c.what;
        EXPECT_EQ(r.second, c.fails) << c.what;
    }
}

TEST(Document, PagesKeepWhatTheFileHeldUntilTheyAreFirstUsed) {
    TModelEnv env;
    TIconList twenty; // caches that fit the 20 slots of the file
    twenty.SetSlotCount(20);
    twenty.SaveCache();
    TBody item1 = ItemBody("b", "C:\\b.exe", 5);
    TBody page0, page1;
    page0.Str(0, "P0").Obj(1, ItemBody("a", "C:\\a.exe", 3));
    page1.Str(60, "unknown before").Str(0, "P1").Obj(1, TBody().Append(item1).Str(70, "in the item"));
    page1.Obj(1, ItemBody("c", "C:\\c.exe", 25)).Obj(61, TBody().Str(1, "nested"));
    TBody doc;
    doc.I16(2, 2).Obj(3, page0).Obj(3, page1).I16(9, 20);
    env.WriteDataFile(doc.Bytes());

    TDocument& d = env.Start();
    ASSERT_TRUE(env.System.Boxes.empty());
    EXPECT_EQ(d.Pages[0]->Name, "P0");
    EXPECT_EQ(d.Pages[1]->Name, "P1");
    EXPECT_EQ(d.Pages[1]->SlotCount(), 15);
    EXPECT_TRUE(d.IconList->Used[3]);
    EXPECT_TRUE(d.IconList->Used[5]);
    d.Pages[1]->Name = "改名";
    d.DeletePage(0); // never looked at: its slot goes back to the list
    EXPECT_FALSE(d.IconList->Used[3]);
    EXPECT_TRUE(d.IconList->Used[5]);
    env.Stop();

    // The renamed page, its item with its slot and unknown field, the slot beyond
    // the list forgotten, empty slots filled in, the page's unknowns behind.
    TBody expected;
    expected.Str(0, "改名")
        .Obj(1, TBody().Append(item1).Str(70, "in the item"))
        .Obj(1, ItemBody("c", "C:\\c.exe"));
    for (int i = 2; i < 15; ++i)
        expected.Obj(1, ItemBody());
    expected.Str(60, "unknown before").Obj(61, TBody().Str(1, "nested"));
    std::vector<uint8_t> saved = env.ReadDataFile(), page = expected.Bytes();
    EXPECT_NE(std::search(saved.begin(), saved.end(), page.begin(), page.end()), saved.end());

    // Built and changed before the save, a page writes what it holds.
    env.Start().Pages[0]->Item(2).Path = "C:\\d.exe";
    env.Stop();
    TDocument& again = env.Start();
    EXPECT_EQ(again.Pages[0]->Item(2).Path, "C:\\d.exe");
    EXPECT_EQ(again.Pages[0]->Item(0).ImageIndex, 5);
    again.NoSave = true;
}

TEST(Document, ALoadThatDidNotFinishIsNeverSaved) {
    std::vector<uint8_t> damaged = {0x00, 0x00, 0x04, 0x00, 0x05};
    {
        // Memory running out while the file is read is a read failure like any other.
        TModelEnv env;
        env.WriteDataFile(damaged);
        platform::SetReadAllocationFaultForTesting(true);
        EXPECT_NO_THROW(env.Start());
        platform::SetReadAllocationFaultForTesting(false);
        ASSERT_EQ(env.System.Boxes.size(), 1u);
        EXPECT_NE(env.System.Boxes[0].Text.find("メモリが足りないため読み込めません"), std::string::npos);
        EXPECT_EQ(env.System.Boxes[0].Flags, platform::mbRetryCancel | platform::mbIconError);
        EXPECT_TRUE(IsFresh(*env.Doc));
        EXPECT_EQ(CopiesOf(env), std::vector<std::vector<uint8_t>>{damaged});
    }
    // Whatever else stops the load halfway leaves a document that no save may write:
    // neither a change, the save command, nor the exit.
    TModelEnv env;
    env.WriteDataFile(damaged);
    env.System.OnBox = [](const std::string&, const std::string&, unsigned) -> int {
        throw std::runtime_error("the box could not be shown");
    };
    EXPECT_THROW(env.Start(), std::runtime_error);
    ASSERT_TRUE(env.Doc);
    EXPECT_FALSE(env.Doc->Loaded());
    env.Doc->SaveIfNeeded(TSaveReason::Change);
    env.Doc->SaveIfNeeded(TSaveReason::Command);
    env.Doc->Save();
    EXPECT_EQ(env.ReadDataFile(), damaged);
    env.Stop();
    EXPECT_EQ(env.ReadDataFile(), damaged);
    EXPECT_FALSE(platform::FileExists(env.System.PathOf("IconClList.bdt")));
}

TEST(Document, ActionsAndWindowStatesOutOfRangeLoadAsTheirDefaultsAndAreSavedSo) {
    TModelEnv env;
    TBody page;
    page.Str(0, "p");
    page.Obj(1, ItemWith(8, TBody().I16(8, 3))).Obj(1, ItemWith(8, TBody().I16(8, -2)));
    page.Obj(1, ItemWith(11, TBody().I32(11, 3))).Obj(1, ItemWith(11, TBody().I32(11, -1)));
    page.Obj(1, ItemWith(8, TBody().I16(8, 2))).Obj(1, ItemWith(11, TBody().I32(11, 2)));
    TBody doc;
    doc.I16(2, 1).Obj(3, page).Append(DefaultTailBody(10, 5));
    env.WriteDataFile(doc.Bytes());
    TDocument& d = env.Start();
    EXPECT_TRUE(env.System.Boxes.empty());
    EXPECT_EQ(d.ExeAnd, 1);
    TLPage& p = *d.Pages[0];
    EXPECT_EQ(p.Item(0).ExeAnd, eaDefault);
    EXPECT_EQ(p.Item(1).ExeAnd, eaDefault);
    EXPECT_EQ(p.Item(2).WindowState, wsNormal);
    EXPECT_EQ(p.Item(2).GetShowCmd(), 10) << "started as a normal window, not hidden";
    EXPECT_EQ(p.Item(3).WindowState, wsNormal);
    EXPECT_EQ(p.Item(4).ExeAnd, eaExit);
    EXPECT_EQ(p.Item(5).WindowState, wsMaximized);
    env.Stop();

    TBody savedPage;
    savedPage.Str(0, "p");
    savedPage.Obj(1, ItemWith(8, TBody().I16(8, -1))).Obj(1, ItemWith(8, TBody().I16(8, -1)));
    savedPage.Obj(1, ItemWith(11, TBody().I32(11, 0))).Obj(1, ItemWith(11, TBody().I32(11, 0)));
    savedPage.Obj(1, ItemWith(8, TBody().I16(8, 2))).Obj(1, ItemWith(11, TBody().I32(11, 2)));
    for (int i = 6; i < 15; ++i)
        savedPage.Obj(1, ItemBody());
    TBody saved;
    saved.I16(0, 5).I16(1, 3).I16(2, 1).Obj(3, savedPage).Append(DefaultTailBody(10, 1));
    EXPECT_EQ(env.ReadDataFile(), saved.Bytes());
}

TEST(Document, ItemsClaimingOneIconSlotDoNotShareIt) {
    TModelEnv env;
    TIconList ten; // caches that fit the file's 10 slots
    ten.SaveCache();
    TBody page;
    page.Str(0, "p").Obj(1, ItemBody("a", "C:\\a.exe", 3)).Obj(1, ItemBody("b", "C:\\b.exe", 3));
    TBody doc;
    doc.I16(2, 1).Obj(3, page).Obj(13, ItemBody("c", "C:\\c.exe", 3)).I16(9, 10);
    env.WriteDataFile(doc.Bytes());
    env.System.PathKinds["C:\\b.exe"] = platform::TPathKind::File;
    env.System.Icons["C:\\b.exe"] = TFakeSystem::SolidIcon(0x445566);

    TDocument& d = env.Start();
    TItem& a = d.Pages[0]->Item(0);
    TItem& b = d.Pages[0]->Item(1);
    EXPECT_EQ(a.ImageIndex, 3);
    EXPECT_EQ(b.ImageIndex, -2) << "the second claimant gets no slot";
    EXPECT_EQ(d.IndItems.at(0)->ImageIndex, -2);
    EXPECT_EQ(std::count(d.IconList->Used.begin(), d.IconList->Used.end(), true), 1);

    // Clearing the first frees its slot; the second reads its icon again into a slot of its own.
    a.ClearItem();
    EXPECT_FALSE(d.IconList->Used[3]);
    b.PrepareIcon();
    ASSERT_GE(b.ImageIndex, 0);
    EXPECT_TRUE(d.IconList->Used[(size_t)b.ImageIndex]);
    EXPECT_NE(std::find(env.System.IconRequests.begin(), env.System.IconRequests.end(), "C:\\b.exe"),
              env.System.IconRequests.end());
    d.NoSave = true;
}

TEST(Document, ALargeValidFileLoadsAndOnlyWhatAFileCanHoldIsAccepted) {
    // 210 pages of 100 x 100, as the program writes them: 2.1 million slots, 155 MB.
    TBody header;
    header.I16(0, 100).I16(1, 100).I16(2, 210);
    std::vector<uint8_t> file = header.Bytes();
    file.resize(file.size() - 2); // the root goes on
    TBody pageField;
    pageField.Obj(3, NewPageBody(100, 100, "大"));
    std::vector<uint8_t> onePage = pageField.Bytes();
    onePage.resize(onePage.size() - 2);
    file.reserve(file.size() + 210 * onePage.size() + 1024);
    for (int p = 0; p < 210; ++p)
        file.insert(file.end(), onePage.begin(), onePage.end());
    std::vector<uint8_t> tail = DefaultTailBody().Bytes();
    file.insert(file.end(), tail.begin(), tail.end());
    {
        TModelEnv env;
        env.WriteDataFile(file);
        auto started = std::chrono::steady_clock::now();
        TDocument& d = env.Start();
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        EXPECT_TRUE(env.System.Boxes.empty());
        ASSERT_EQ(d.Pages.size(), 210u);
        EXPECT_EQ(d.Pages[209]->Name, "大");
        EXPECT_EQ(d.Pages[209]->SlotCount(), 10000);
        EXPECT_EQ(d.Pages[209]->Item(9999).Path, "");
        RecordProperty("LoadSeconds", std::to_string(seconds));
        d.NoSave = true;
    }
    file.clear();
    file.shrink_to_fit();

    // A few bytes naming 32767 pages of 100 x 100 describe more slots than any file
    // the program can write and read back: refused, copied aside, and not replaced.
    TModelEnv env;
    TBody hostile;
    hostile.I16(0, 100).I16(1, 100).I16(2, 32767);
    env.WriteDataFile(hostile.Bytes());
    TDocument& d = env.Start();
    ASSERT_EQ(env.System.Boxes.size(), 1u);
    EXPECT_NE(env.System.Boxes[0].Text.find("ページのアイテムが多すぎます"), std::string::npos);
    EXPECT_TRUE(IsFresh(d));
    EXPECT_EQ(CopiesOf(env), std::vector<std::vector<uint8_t>>{hostile.Bytes()});
}

TEST(Document, UnreadableCopiesSayWhenAndOnlyTheFiveNewestStay) {
    TModelEnv env;
    // Times out of order, one of them twice: the name orders them, not the making.
    const char* stamps[] = {"20261208-153000", "20250101-000000", "20261208-153000", "20270101-120000",
                            "20261209-080000", "20240615-235959", "20261208-160000"};
    std::vector<uint8_t> other = {0x01, 0x00};
    platform::ReplaceFileContents(env.System.PathOf("Other.gbi.20200101-000000.unreadable"), other);
    for (int i = 0; i < 7; ++i) {
        platform::SetTimeStampForTesting(stamps[i]);
        env.WriteDataFile({0x00, 0x00, 0x04, 0x00, (uint8_t)i}); // damaged: cut inside a value
        env.Start();
        env.Doc->NoSave = true; // the damaged file stays for the next round
        env.Stop();
    }
    platform::SetTimeStampForTesting("");
    std::vector<std::string> names = platform::UnreadableCopies(env.DataFile());
    std::vector<std::string> expected;
    for (const char* s : {"20261208-153000", "20261208-153000-2", "20261208-160000", "20261209-080000",
                          "20270101-120000"})
        expected.push_back(env.DataFile() + "." + s + ".unreadable");
    EXPECT_EQ(names, expected);
    std::vector<std::vector<uint8_t>> copies = CopiesOf(env);
    ASSERT_EQ(copies.size(), 5u);
    EXPECT_EQ(copies[0].back(), 0); // the first and third rounds, made in the same second
    EXPECT_EQ(copies[1].back(), 2);
    EXPECT_EQ(platform::ReadWholeFile(env.System.PathOf("Other.gbi.20200101-000000.unreadable")), other)
        << "the copies of another file are not this file's";
}

TEST(Document, TheFirstSaveOfARunKeepsTheFileThatLoadedAsTheOneBackup) {
    TModelEnv env;
    const std::string backup = platform::BackupFileFor(env.DataFile());
    env.Start().Pages[0]->Name = "first";
    env.Stop();
    EXPECT_FALSE(platform::FileExists(backup)) << "no file before the first start: nothing to keep";

    std::vector<uint8_t> before = env.ReadDataFile();
    TDocument& d = env.Start();
    d.Pages[0]->Name = "second";
    d.SaveIfNeeded(TSaveReason::Command);
    EXPECT_EQ(platform::ReadWholeFile(backup), before);
    d.Pages[0]->Name = "third";
    d.SaveIfNeeded(TSaveReason::Command);
    env.Stop();
    EXPECT_EQ(platform::ReadWholeFile(backup), before) << "one backup a run: the file before the run";

    before = env.ReadDataFile();
    env.Start();
    env.Stop();
    EXPECT_EQ(platform::ReadWholeFile(backup), before);

    // A file that did not load keeps its copy, not a backup.
    platform::RemoveFile(backup);
    env.WriteDataFile({0x00, 0x00, 0x04, 0x00, 0x05});
    env.Start();
    env.Stop();
    EXPECT_FALSE(platform::FileExists(backup));
}

TEST(Document, ASaveThatFailsAtAnyByteLeavesTheFileAndTheBackupWhole) {
    TModelEnv env;
    TBody small;
    small.I16(0, 1).I16(1, 1).I16(2, 1).Obj(3, NewPageBody(1, 1, "old")).Append(DefaultTailBody());
    const std::vector<uint8_t> old = small.Bytes();
    const std::string backup = platform::BackupFileFor(env.DataFile());
    size_t written = 0;
    for (size_t n = 0;; ++n) {
        env.WriteDataFile(old);
        platform::RemoveFile(backup);
        TDocument& d = env.Start();
        d.NoSave = true; // only the save below writes
        d.Pages[0]->Name = "a longer name than the old one";
        platform::SetWriteFaultForTesting((long long)n);
        d.SaveIfNeeded(TSaveReason::Command); // the save box is answered with Cancel
        platform::SetWriteFaultForTesting(-1);
        std::vector<uint8_t> now = env.ReadDataFile();
        env.Stop();
        if (now != old) { // the first fault past the end of both writes: the save went through
            written = n;
            EXPECT_EQ(platform::ReadWholeFile(backup), old);
            break;
        }
        if (platform::FileExists(backup)) { EXPECT_EQ(platform::ReadWholeFile(backup), old) << n; }
        EXPECT_FALSE(platform::FileExists(platform::TemporaryFileFor(env.DataFile()))) << n;
        ASSERT_LT(n, 100000u);
    }
    EXPECT_GT(written, old.size()) << "the faults reached into the data file's own write";
}
