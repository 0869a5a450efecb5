// The whole document on the real Windows system layer, in a program folder of its
// own: a first start, edits and the exit write Kiropad.gbi and both icon caches; the
// next start reads them back and shows every icon from the caches without
// extracting one; without the caches the icons are extracted again. A damaged
// file is copied aside before the empty arrangement replaces it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/document.h"
#include "model_support.h"
#include "probe_support.h"
#include "support/fake_host.h"
#include "platform/filestream.h"

using namespace modeltest;
using namespace probetest;

namespace {

// Every item of the pages and of the independent row evaluates its icon, as the
// main window does while it shows the pages.
void PrepareAll(TDocument& doc) {
    for (auto& page : doc.Pages)
        for (auto& item : page->Items())
            item->PrepareIcon();
    doc.PrepareIndIcons();
}

} // namespace

TEST(ModelDocumentWin, ACycleWritesTheDataFileAndBothCachesAndTheNextStartTakesTheIconsFromThem) {
    TScratchFolder scratch(L"kiropad-文書");
    TModelSystem system(Narrowed(scratch.Path()));
    TFakeHost host; // the main window: view settings and item faces
    const std::wstring program = scratch.Path() + L"プローブ.exe";
    ASSERT_TRUE(CopyFileW(ProbePath(L"item_probe").c_str(), program.c_str(), FALSE));
    wchar_t systemFolder[MAX_PATH] = L"";
    GetSystemDirectoryW(systemFolder, MAX_PATH);
    const std::string shell32 = Narrowed(std::wstring(systemFolder) + L"\\shell32.dll");
    const std::wstring data = scratch.Path() + L"Kiropad.gbi";
    const std::wstring colorCache = scratch.Path() + L"IconClList.bdt";
    const std::wstring maskCache = scratch.Path() + L"IconMsList.bdt";

    platform::TPixmap colors;
    TMonoBitmap masks;
    int programSlot = -1, shellSlot = -1, rowSlot = -1;
    {
        TOpenDocument doc; // first start: no data file, no message
        EXPECT_TRUE(system.Boxes.empty());
        ASSERT_EQ(doc->Pages.size(), 10u);
        host.View.ItemWidth = 100; // stored with the document
        TItem& first = doc->Pages[0]->Item(0);
        first.SetFromFile(Narrowed(program));
        doc->SaveIfNeeded(TSaveReason::Change);
        EXPECT_TRUE(Exists(data));
        EXPECT_TRUE(Exists(colorCache));
        EXPECT_TRUE(Exists(maskCache));

        TItem& shell = doc->Pages[1]->Item(4);
        shell.Path = "C:\\どこにもない.exe";
        shell.Name = "シェル";
        shell.Icon = shell32;
        shell.IconN = 3;
        shell.RefreshIcon(false);
        doc->Pages[1]->Name = "二頁";
        doc->SetIndItemCount(2);
        doc->IndItems[1]->SetFromFile(Narrowed(program));
        doc->SaveIfNeeded(TSaveReason::Change);

        programSlot = first.ImageIndex;
        shellSlot = shell.ImageIndex;
        rowSlot = doc->IndItems[1]->ImageIndex;
        EXPECT_GE(programSlot, 0);
        EXPECT_GE(shellSlot, 0);
        EXPECT_GE(rowSlot, 0);
        ASSERT_TRUE(first.Image);
        EXPECT_EQ(first.Image->Width(), 96);
        colors = doc->IconList->ColorStrip;
        masks = doc->IconList->MaskStrip;
    } // exit: trims the icon list and saves
    EXPECT_TRUE(system.Boxes.empty());

    system.AssociatedIcons = system.IndexedIcons = 0;
    host.View.ItemWidth = 0;
    {
        TOpenDocument doc;
        EXPECT_TRUE(system.Boxes.empty());
        TItem& first = doc->Pages[0]->Item(0);
        TItem& shell = doc->Pages[1]->Item(4);
        EXPECT_EQ(first.Path, Narrowed(program));
        EXPECT_EQ(first.Name, "プローブ");
        EXPECT_EQ(shell.Icon, shell32);
        EXPECT_EQ(shell.IconN, 3);
        EXPECT_EQ(doc->Pages[1]->Name, "二頁");
        ASSERT_EQ(doc->IndItems.size(), 2u);
        EXPECT_EQ(doc->IndItems[1]->Path, Narrowed(program));
        EXPECT_EQ(host.View.ItemWidth, 100);

        PrepareAll(*doc);
        EXPECT_EQ(system.IconExtractions(), 0) << "an icon was extracted although the cache holds it";
        EXPECT_EQ(first.ImageIndex, programSlot);
        EXPECT_EQ(shell.ImageIndex, shellSlot);
        EXPECT_EQ(doc->IndItems[1]->ImageIndex, rowSlot);
        EXPECT_TRUE(doc->IconList->ColorStrip == colors);
        EXPECT_TRUE(doc->IconList->MaskStrip == masks);
        ASSERT_TRUE(first.Image);
        EXPECT_EQ(first.Image->Width(), 96);
    }

    // Without a cache file every icon is extracted again when its item is prepared.
    ASSERT_TRUE(DeleteFileW(maskCache.c_str()));
    system.AssociatedIcons = system.IndexedIcons = 0;
    {
        TOpenDocument doc;
        TItem& first = doc->Pages[0]->Item(0);
        EXPECT_EQ(first.ImageIndex, -2);
        PrepareAll(*doc);
        EXPECT_EQ(system.AssociatedIcons, 2);
        EXPECT_EQ(system.IndexedIcons, 1);
        EXPECT_GE(first.ImageIndex, 0);
    }
    EXPECT_TRUE(Exists(maskCache)); // written again on exit
    EXPECT_TRUE(system.Boxes.empty());
}

TEST(ModelDocumentWin, ADamagedFileIsCopiedAsideAtCancelAndNoEarlierCopyIsReplaced) {
    TScratchFolder scratch(L"kiropad-退避");
    TModelSystem system(Narrowed(scratch.Path()));
    TFakeHost host;
    const std::wstring data = scratch.Path() + L"Kiropad.gbi";
    const std::vector<uint8_t> damaged = {0x00, 0x00, 0x04, 0x00, 0x05}, other = {0x01, 0x00};
    platform::ReplaceFileContents(Narrowed(data), damaged);
    {
        TOpenDocument doc; // the load box is answered with Cancel
        EXPECT_EQ(system.Boxes.size(), 1u);
        EXPECT_TRUE(doc->Loaded());
        EXPECT_EQ(platform::ReadWholeFile(Narrowed(data)), damaged) << "untouched until a save";
    }
    std::vector<std::string> copies = platform::UnreadableCopies(Narrowed(data));
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(platform::ReadWholeFile(copies[0]), damaged);
    EXPECT_NE(platform::ReadWholeFile(Narrowed(data)), damaged) << "the exit saved the empty arrangement";
    EXPECT_FALSE(platform::FileExists(platform::BackupFileFor(Narrowed(data)))) << "no backup of a damaged file";

    platform::ReplaceFileContents(Narrowed(data), other);
    { TOpenDocument doc; }
    copies = platform::UnreadableCopies(Narrowed(data));
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(platform::ReadWholeFile(copies[0]), damaged);
    EXPECT_EQ(platform::ReadWholeFile(copies[1]), other);

    // A clean load: the first save keeps the file before it as the backup.
    std::vector<uint8_t> before = platform::ReadWholeFile(Narrowed(data));
    { TOpenDocument doc; }
    EXPECT_EQ(platform::ReadWholeFile(platform::BackupFileFor(Narrowed(data))), before);
}
