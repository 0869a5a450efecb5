// Pages: re-laying the slots for a new grid size, and storage.
#include <gtest/gtest.h>

#include "support/model_env.h"

namespace {

// A page whose non-empty slots hold their own number as the path.
std::unique_ptr<TLPage> PageWith(int w, int h, std::vector<int> used) {
    auto page = std::make_unique<TLPage>(w, h);
    for (int s : used)
        page->Item(s).Path = std::to_string(s);
    return page;
}

// The paths by slot, "." for an empty one.
std::string Layout(TLPage& page) {
    std::string s;
    for (int i = 0; i < page.SlotCount(); ++i)
        s += (page.Item(i).Path.empty() ? "." : page.Item(i).Path) + " ";
    return s;
}

} // namespace

TEST(Page, NewPageIsNamedUntitledWithEmptySlots) {
    TModelEnv env;
    env.Start();
    TLPage page(4, 2);
    EXPECT_EQ(page.Name, "無題");
    EXPECT_EQ(page.SlotCount(), 8);
    EXPECT_EQ(page.CountUsed(), 0);
}

TEST(Page, ResizeKeepsRowsAndColumnsAndMovesCutOffItemsForward) {
    TModelEnv env;
    env.Start();
    auto grow = PageWith(5, 3, {0, 9, 14});
    TItem* kept = &grow->Item(9);
    grow->Resize(6, 4);
    EXPECT_EQ(Layout(*grow), "0 . . . . . . . . . 9 . . . . . 14 . . . . . . . ");
    EXPECT_EQ(&grow->Item(10), kept); // the same object, with its slot and face

    // Last column of the second row cut off; first empty slot is the third of row 0.
    auto right = PageWith(5, 3, {0, 1, 9});
    right->Resize(4, 3);
    EXPECT_EQ(Layout(*right), "0 1 9 . . . . . . . . . ");

    auto emptyCut = PageWith(5, 3, {0, 5});
    emptyCut->Resize(2, 2);
    EXPECT_EQ(Layout(*emptyCut), "0 . 5 . ");

    // Both: the right-hand overflow of the kept rows (4) before the bottom row (10, 12).
    auto both = PageWith(5, 3, {0, 2, 4, 6, 8, 10, 12});
    both->Resize(4, 2);
    EXPECT_EQ(Layout(*both), "0 4 2 10 12 6 . 8 ");

    auto bottom = PageWith(3, 3, {6, 7, 8, 1});
    bottom->Resize(3, 2);
    EXPECT_EQ(Layout(*bottom), "6 1 7 8 . . ");
}

TEST(Page, StorageWritesEverySlotAndReadsFewerObjectsIntoTheFirstSlots) {
    TModelEnv env;
    env.Start();
    TLPage page(2, 2);
    TBody expected;
    expected.Str(0, "無題");
    for (int i = 0; i < 4; ++i)
        expected.Obj(1, ItemBody());
    EXPECT_EQ(Serialise(page), expected.Bytes());

    TBody stored;
    stored.Str(0, "P").Obj(1, TBody().Str(1, "a")).Obj(1, TBody().Str(1, "b"));
    Parse(page, stored.Bytes());
    EXPECT_EQ(page.Name, "P");
    EXPECT_EQ(Layout(page), "a b . . ");
}

TEST(Page, AdoptedBodyIsReadOnFirstUseOrRefusedWithThePageUnchanged) {
    TModelEnv env;
    env.Start();
    auto Stored = [](const TBody& body) {
        auto bytes = std::make_shared<const std::vector<uint8_t>>(body.Bytes());
        auto node = std::make_unique<YBFS::TYBObjectData>();
        node->Store(bytes->data(), bytes->data() + bytes->size(), 1, bytes);
        return node;
    };
    TBody good;
    good.Str(0, "P").Obj(1, ItemBody("a", "C:\\a.exe", 4)).Str(9, "kept");
    TLPage page(2, 1);
    page.AdoptStored(Stored(good), nullptr); // checked here, as no check came with it
    EXPECT_EQ(page.Name, "P");
    EXPECT_EQ(page.SlotCount(), 2);
    EXPECT_EQ(page.Item(0).Path, "C:\\a.exe");
    EXPECT_EQ(page.Item(0).ImageIndex, 4);
    TBody expected;
    expected.Str(0, "P").Obj(1, ItemBody("a", "C:\\a.exe", 4)).Obj(1, ItemBody()).Str(9, "kept");
    EXPECT_EQ(Serialise(page), expected.Bytes());

    // A wrong size in the second slot's item: refused; beyond the slots: kept unread.
    TBody bad;
    bad.Str(0, "Q").Obj(1, ItemBody()).Obj(1, TBody().I16(7, 0));
    TLPage other(2, 1);
    other.Item(1).Path = "C:\\b.exe";
    EXPECT_THROW(other.AdoptStored(Stored(bad), nullptr), YBFS::EReadTypeError);
    EXPECT_EQ(other.Name, "無題");
    EXPECT_EQ(other.Item(1).Path, "C:\\b.exe");
    TLPage narrow(1, 1);
    narrow.AdoptStored(Stored(bad), nullptr);
    EXPECT_EQ(narrow.Name, "Q");
    EXPECT_EQ(Serialise(narrow), bad.Bytes());
}
