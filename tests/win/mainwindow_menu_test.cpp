// The menus and keys of the main window: captions, separators and keys as shown,
// the enabling of page and item commands (and keys that a disabled command
// ignores), every page and item command, the clipboard with its copy source, and
// the window's navigation keys.
#include "mainwindow_support.h"

#include "shell/win32/helpers.h"

using namespace mwtest;

namespace {

std::string EntryText(HMENU menu, UINT position) {
    wchar_t buf[128] = {};
    GetMenuStringW(menu, position, buf, 128, MF_BYPOSITION);
    std::string out;
    platform::Narrow(buf, out);
    return out;
}

bool IsSeparator(HMENU menu, UINT position) {
    return (GetMenuState(menu, position, MF_BYPOSITION) & MF_SEPARATOR) != 0;
}

} // namespace

class MainWindowMenus : public MainWindowTest {
protected:
    // Names the pages "P0", "P1" ... so that moves can be followed.
    void NamePages() {
        for (size_t i = 0; i < Doc().Pages.size(); ++i)
            Doc().Pages[i]->Name = "P" + std::to_string(i);
        for (size_t i = 0; i < Doc().Pages.size(); ++i)
            Form().SetPageCaption((int)i);
    }
    std::string PageNames() {
        std::string names;
        for (auto& p : Doc().Pages)
            names += p->Name + " ";
        return names;
    }
    void Cursor(int slot) { Form().Grid.SetKeyCursor(TCursorKind::Page, slot); }
    void Ctrl(WORD key) { Form().DispatchShortcut(key, ui::ssCtrl); }
    // Runs an entry as a click in the menu does.
    void Choose(ui::TMenuItem& entry) {
        SendMessageW(Form().Handle(), WM_COMMAND, MAKEWPARAM(entry.Command(), 0), 0);
    }
    void Opened(ui::TMenuItem& submenu) {
        SendMessageW(Form().Handle(), WM_INITMENUPOPUP, (WPARAM)submenu.SubmenuHandle(), 0);
    }
};

TEST_F(MainWindowMenus, EveryMenuShowsItsCaptionsSeparatorsAndKeys) {
    TfrmMain& f = Open();
    HMENU bar = GetMenu(f.Handle());
    ASSERT_EQ(4, GetMenuItemCount(bar));
    EXPECT_EQ("メイン(&M)", EntryText(bar, 0));
    EXPECT_EQ("ページ(&P)", EntryText(bar, 1));
    EXPECT_EQ("アイテム(&I)", EntryText(bar, 2));
    EXPECT_EQ("ヘルプ(&H)", EntryText(bar, 3));

    EXPECT_EQ("最新の情報に更新(&R)\tF5", EntryText(GetSubMenu(bar, 0), 0));
    EXPECT_TRUE(IsSeparator(GetSubMenu(bar, 0), 3));
    EXPECT_EQ("ここに挿入(&I)", EntryText(GetSubMenu(GetSubMenu(bar, 1), 5), 0));

    HMENU items = GetSubMenu(bar, 2);
    const char* const itemEntries[] = {"編集(&E)...\tCtrl+E",
                                       "",
                                       "所属フォルダ(&F)\tCtrl+F",
                                       "関連ヘルプ(&H)\tCtrl+H",
                                       "",
                                       "削除(&D)\tDel",
                                       "挿入(&I)\tIns",
                                       "切り取り(&T)\tCtrl+X",
                                       "コピー(&C)\tCtrl+C",
                                       "貼り付け(&P)\tCtrl+V",
                                       "交換(&X)\tCtrl+G"};
    ASSERT_EQ(11, GetMenuItemCount(items));
    for (UINT i = 0; i < 11; ++i) {
        if (*itemEntries[i])
            EXPECT_EQ(itemEntries[i], EntryText(items, i));
        else
            EXPECT_TRUE(IsSeparator(items, i)) << i;
    }
    HMENU help = GetSubMenu(bar, 3);
    EXPECT_EQ("ヘルプ(&H)\tF1", EntryText(help, 0));
    EXPECT_EQ("バージョン情報(&A)...", EntryText(help, 1));

    HMENU popup = f.Menus.pmnItem.Handle();
    const char* const popupEntries[] = {
        "編集(&E)...", "",         "所属フォルダ(&F)", "関連ヘルプ(&H)", "",
        "削除(&D)",    "挿入(&I)", "切り取り(&T)",     "コピー(&C)",     "貼り付け(&P)",
        "交換(&X)",    "",         "オプション(&O)..."};
    ASSERT_EQ(13, GetMenuItemCount(popup));
    for (UINT i = 0; i < 13; ++i) {
        if (*popupEntries[i])
            EXPECT_EQ(popupEntries[i], EntryText(popup, i));
        else
            EXPECT_TRUE(IsSeparator(popup, i)) << i;
    }
    EXPECT_EQ(8, GetMenuItemCount(f.Menus.pmnPageBtn.Handle()));
    EXPECT_FALSE(f.Menus.pmnPageBtn.AutoPopup());
    ASSERT_EQ(1, GetMenuItemCount(f.Menus.pmnTask.Handle()));
    EXPECT_EQ("終了(&X)", EntryText(f.Menus.pmnTask.Handle(), 0));
}

TEST_F(MainWindowMenus, PageCommandsFollowThePageAndTheEditLock) {
    TfrmMain& f = Open();
    TMainMenus& m = f.Menus;
    Opened(m.mniPages);
    EXPECT_FALSE(m.mniMainUp.Enabled()) << "page 0 cannot move up";
    EXPECT_TRUE(m.mniMainDown.Enabled());
    EXPECT_TRUE(m.mniMainDelete.Enabled());
    f.SelectPage(9);
    Opened(m.mniPages);
    EXPECT_TRUE(m.mniMainUp.Enabled());
    EXPECT_FALSE(m.mniMainDown.Enabled());
    EXPECT_EQ(m.mniUp.Enabled(), m.mniMainUp.Enabled());

    Doc().NoEdit = true;
    Opened(m.mniPages);
    for (ui::TMenuItem* e :
         {&m.mniMainRename, &m.mniMainUp, &m.mniMainDown, &m.mniMainDelete, &m.mniMainNewPage, &m.mniRename,
          &m.mniUp, &m.mniDown, &m.mniDelete, &m.mniNewPage})
        EXPECT_FALSE(e->Enabled()) << Utf8(e->Caption());
    EXPECT_TRUE(m.mniOpt0.Enabled());
    EXPECT_TRUE(m.mniOpt1.Enabled());
    EXPECT_TRUE(m.mniOpt2.Enabled());

    // One page: deleting it is not offered.
    Doc().NoEdit = false;
    while (Doc().Pages.size() > 1)
        Doc().DeletePage(1);
    f.BuildPageButtons();
    f.SelectPage(0);
    Opened(m.mniPages);
    EXPECT_FALSE(m.mniMainDelete.Enabled());
}

TEST_F(MainWindowMenus, ARightClickOnTheSelectedPageButtonOpensThePageMenu) {
    TfrmMain& f = Open();
    // The press selects page 3; the release on it opens its menu, whose first entry renames.
    dialogs_.OnRename = [](TLPage& page) {
        page.Name = "A&B";
        return true;
    };
    ChooseFromNextPopup(f.Handle(), 1);
    Mouse(f.pnlPageMenu, WM_RBUTTONDOWN, PageButtonPoint(3), MK_RBUTTON);
    EXPECT_EQ(3, f.CurrentPage());
    Mouse(f.pnlPageMenu, WM_RBUTTONUP, PageButtonPoint(3));
    EXPECT_EQ(1, dialogs_.Renames);
    EXPECT_EQ("A&B", Doc().Pages[3]->Name);
    EXPECT_EQ("A&&B", f.PageButtons()[3]->Caption());
    EXPECT_TRUE(shelltest::ExistsW(platform::Widen(DataFile())));
    // A left click selects without a menu; a rename cancelled changes nothing.
    Click(f.pnlPageMenu, PageButtonPoint(5));
    EXPECT_EQ(5, f.CurrentPage());
    dialogs_.OnRename = nullptr;
    Choose(f.Menus.mniMainRename);
    EXPECT_EQ(2, dialogs_.Renames);
    EXPECT_EQ("無題", Doc().Pages[5]->Name);
}

TEST_F(MainWindowMenus, PagesMoveUpAndDownWithTheirButtons) {
    TfrmMain& f = Open();
    NamePages();
    f.SelectPage(2);
    Choose(f.Menus.mniMainUp);
    EXPECT_EQ("P0 P2 P1 P3 P4 P5 P6 P7 P8 P9 ", PageNames());
    EXPECT_EQ(1, f.CurrentPage());
    EXPECT_EQ("P2", f.PageButtons()[1]->Caption());
    EXPECT_EQ(ui::TBevelCut::Lowered, f.PageButtons()[1]->BevelOuter());
    EXPECT_EQ(ui::TBevelCut::Raised, f.PageButtons()[2]->BevelOuter());
    Choose(f.Menus.mniDown);
    Choose(f.Menus.mniDown);
    EXPECT_EQ("P0 P1 P3 P2 P4 P5 P6 P7 P8 P9 ", PageNames());
    EXPECT_EQ(3, f.CurrentPage());
    EXPECT_EQ(10u, f.PageButtons().size());
}

TEST_F(MainWindowMenus, DeletingAPageAsksFirstAndSelectsTheOneInItsPlace) {
    TfrmMain& f = Open();
    while (Doc().Pages.size() > 3)
        Doc().DeletePage(3);
    f.BuildPageButtons();
    f.SelectPage(0);
    NamePages();
    f.SelectPage(1);
    Answer({IDNO});
    Choose(f.Menus.mniMainDelete);
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("このページを削除します。\nこのページに含まれるアイテムは全て削除されます。\n宜しいですか？",
              Boxes()[0].Text);
    EXPECT_EQ("Kiropad", Boxes()[0].Caption);
    EXPECT_EQ(0x134u, Boxes()[0].Flags);
    EXPECT_EQ(3u, Doc().Pages.size()) << "No keeps the page";

    Answer({IDYES});
    Choose(f.Menus.mniMainDelete);
    EXPECT_EQ("P0 P2 ", PageNames());
    EXPECT_EQ(1, f.CurrentPage()) << "the page that moved up into its place";
    Answer({IDYES});
    Choose(f.Menus.mniDelete);
    EXPECT_EQ("P0 ", PageNames());
    EXPECT_EQ(0, f.CurrentPage()) << "the last page deleted: the first is selected";
    ASSERT_EQ(1u, f.PageButtons().size());
    EXPECT_EQ(319, f.PageButtons()[0]->Height()) << "(325 - 5) div 1 - 1";

    // The last page is never deleted, not even by a command run without its menu.
    f.Commands.DeletePage.Run();
    EXPECT_EQ(1u, Doc().Pages.size());
    EXPECT_EQ(3u, Boxes().size()) << "not even asked";
}

TEST_F(MainWindowMenus, NewPagesGoBeforeTheCurrentOneOrAtTheEnd) {
    TfrmMain& f = Open();
    NamePages();
    f.SelectPage(4);
    Choose(f.Menus.mniMainNewPageIns);
    EXPECT_EQ("P0 P1 P2 P3 無題 P4 P5 P6 P7 P8 P9 ", PageNames());
    EXPECT_EQ(4, f.CurrentPage());
    EXPECT_EQ(11u, f.PageButtons().size());
    EXPECT_EQ(28, f.PageButtons()[0]->Height()) << "(325 - 5) div 11 - 1";
    Choose(f.Menus.mniNewPageAdd);
    EXPECT_EQ(12u, Doc().Pages.size());
    EXPECT_EQ(11, f.CurrentPage());
    EXPECT_EQ(ui::TBevelCut::Lowered, f.PageButtons()[11]->BevelOuter());
    EXPECT_EQ(ui::TBevelCut::Raised, f.PageButtons()[4]->BevelOuter());
    EXPECT_EQ(15, Doc().Pages[11]->SlotCount());
}

TEST_F(MainWindowMenus, ItemCommandsFollowTheItemUnderTheCursorAndDisabledKeysAreIgnored) {
    TfrmMain& f = Open();
    Fill(PageItem(0, 1), "C:\\Tools\\calc.exe", "calc");
    TMainMenus& m = f.Menus;
    Cursor(0);
    Opened(m.mniItems);
    EXPECT_FALSE(m.mniMainItemDel.Enabled());
    EXPECT_FALSE(m.mniMainItemCopy.Enabled());
    EXPECT_TRUE(m.mniMainEdit.Enabled());
    EXPECT_FALSE(m.mniMainItemInsert.Enabled());
    // Del on an empty page slot asks nothing and deletes nothing.
    Press(VK_DELETE);
    EXPECT_TRUE(Boxes().empty());

    // Ctrl+V on a used item does nothing: paste is disabled there.
    Cursor(1);
    Ctrl('C');
    Ctrl('V');
    EXPECT_EQ("calc", PageItem(0, 1).Name);
    Opened(m.mniItems);
    EXPECT_FALSE(m.mniMainItemPaste.Enabled());
    EXPECT_TRUE(m.mniMainItemExc.Enabled()) << "a copy source is set";

    // Enabled when the menu last opened, the key still checks the item as it is now.
    Cursor(2);
    Opened(m.mniItems);
    EXPECT_TRUE(m.mniMainItemPaste.Enabled());
    Doc().NoEdit = true;
    Ctrl('V');
    EXPECT_EQ("", PageItem(0, 2).Path) << "locked since the menu opened";
    Doc().NoEdit = false;
    Ctrl('V');
    EXPECT_EQ("calc", PageItem(0, 2).Name);

    // Ctrl+E edits the cursor item; under the lock the key is ignored.
    Ctrl('E');
    EXPECT_EQ(1, dialogs_.Edits);
    Doc().NoEdit = true;
    Ctrl('E');
    EXPECT_EQ(1, dialogs_.Edits);
}

TEST_F(MainWindowMenus, DeletingAnItemAsksFirstAndCutDoesNot) {
    TfrmMain& f = Open();
    Fill(PageItem(0, 1), "C:\\Tools\\calc.exe", "calc");
    Fill(PageItem(0, 2), "C:\\Tools\\memo.exe", "memo");
    Cursor(1);
    Answer({IDNO});
    Press(VK_DELETE);
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("このアイテムを削除します。宜しいですか？", Boxes()[0].Text);
    EXPECT_EQ(0x34u, Boxes()[0].Flags);
    EXPECT_EQ("calc", PageItem(0, 1).Name);
    Answer({IDYES});
    Press(VK_DELETE);
    EXPECT_EQ("", PageItem(0, 1).Path);
    EXPECT_TRUE(PageItem(0, 1).Image == nullptr) << "the slot shows the blank face";

    Cursor(2);
    Ctrl('X');
    EXPECT_EQ(2u, Boxes().size()) << "cut asks nothing";
    EXPECT_EQ("", PageItem(0, 2).Path);
    EXPECT_EQ("memo", Doc().ClipItem->Name);
    EXPECT_TRUE((TItemPos{0, 2} == Doc().ClipPos)) << "the source is the emptied slot";
    (void)f;
}

TEST_F(MainWindowMenus, ACopiedItemCanBePastedTwiceAndTheSourceKeepsIt) {
    TfrmMain& f = Open();
    Fill(PageItem(0, 1), "C:\\Tools\\calc.exe", "calc");
    PageItem(0, 1).Comment = "計算";
    Cursor(1);
    Ctrl('C');
    Cursor(3);
    Ctrl('V');
    f.SelectPage(2);
    Cursor(14);
    Ctrl('V');
    EXPECT_EQ("calc", PageItem(0, 3).Name);
    EXPECT_EQ("計算", PageItem(0, 3).Comment);
    EXPECT_EQ("calc", PageItem(2, 14).Name);
    EXPECT_EQ("calc", PageItem(0, 1).Name);
    EXPECT_TRUE((TItemPos{0, 1} == Doc().ClipPos));
    // Pasted items are items of their own.
    PageItem(0, 3).Name = "changed";
    EXPECT_EQ("calc", PageItem(2, 14).Name);
}

TEST_F(MainWindowMenus, ExchangeMovesTheCopiedItemOnFromSlotToSlot) {
    TfrmMain& f = Open();
    Fill(PageItem(0, 1), "C:\\A.exe", "A");
    Fill(PageItem(0, 5), "C:\\B.exe", "B");
    Fill(PageItem(0, 7), "C:\\C.exe", "C");
    Cursor(1);
    Ctrl('C');
    Cursor(5);
    Ctrl('G');
    EXPECT_EQ("B", PageItem(0, 1).Name);
    EXPECT_EQ("A", PageItem(0, 5).Name);
    EXPECT_TRUE((TItemPos{0, 5} == Doc().ClipPos));
    Cursor(7);
    Ctrl('G');
    EXPECT_EQ("B", PageItem(0, 1).Name);
    EXPECT_EQ("C", PageItem(0, 5).Name);
    EXPECT_EQ("A", PageItem(0, 7).Name);
    EXPECT_TRUE((TItemPos{0, 7} == Doc().ClipPos));
    (void)f;
}

TEST_F(MainWindowMenus, MovingAPageResetsTheCopySourceButNotTheCopy) {
    TfrmMain& f = Open();
    Fill(PageItem(0, 1), "C:\\A.exe", "A");
    Fill(PageItem(0, 2), "C:\\B.exe", "B");
    Cursor(1);
    Ctrl('C');
    f.SelectPage(1);
    Choose(f.Menus.mniMainUp);
    EXPECT_EQ(-1, Doc().ClipPos.Page);
    ASSERT_EQ(0, f.CurrentPage());
    // The moved page is now page 1; page 0 is the one that held A and B.
    f.SelectPage(1);
    Fill(PageItem(1, 2), "C:\\B.exe", "B");
    Cursor(2);
    Ctrl('G');
    EXPECT_EQ("B", PageItem(1, 2).Name) << "exchange is disabled without a source";
    Cursor(3);
    Ctrl('V');
    EXPECT_EQ("A", PageItem(1, 3).Name) << "paste still works";
}

TEST_F(MainWindowMenus, TheIndependentRowInsertsAndRemovesSlots) {
    TfrmMain& f = Open();
    Fill(*Doc().IndItems[0], "C:\\A.exe", "A");
    Fill(*Doc().IndItems[1], "C:\\B.exe", "B");
    f.Grid.SetKeyCursor(TCursorKind::Ind, 0);
    Opened(f.Menus.mniItems);
    EXPECT_TRUE(f.Menus.mniMainItemInsert.Enabled());
    Press(VK_INSERT);
    EXPECT_EQ("", Doc().IndItems[0]->Name);
    EXPECT_EQ("A", Doc().IndItems[1]->Name);
    EXPECT_EQ("B", Doc().IndItems[2]->Name);
    EXPECT_EQ(10u, Doc().IndItems.size()) << "the row keeps its length";
    // Delete on the empty slot removes it without a question; the row closes up.
    Press(VK_DELETE);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ("A", Doc().IndItems[0]->Name);
    EXPECT_EQ(10u, Doc().IndItems.size());
    EXPECT_EQ("A", f.Grid.IndButton(0).Image().Hint());
    // On a used slot it asks, and only empties it.
    Answer({IDYES});
    Press(VK_DELETE);
    EXPECT_EQ(1u, Boxes().size());
    EXPECT_EQ("", Doc().IndItems[0]->Path);
    EXPECT_EQ("B", Doc().IndItems[1]->Name);
    // Under the edit lock empty slots still come and go, but a stored item stays.
    Doc().NoEdit = true;
    Press(VK_INSERT);
    EXPECT_EQ("", Doc().IndItems[1]->Name);
    EXPECT_EQ("B", Doc().IndItems[2]->Name);
    f.Grid.SetKeyCursor(TCursorKind::Ind, 2);
    Opened(f.Menus.mniItems);
    EXPECT_FALSE(f.Menus.mniMainItemDel.Enabled());
    Answer({IDYES});
    Press(VK_DELETE);
    EXPECT_EQ(1u, Boxes().size()) << "nothing is asked";
    EXPECT_EQ("B", Doc().IndItems[2]->Name) << "the lock keeps what the user stored";
    f.Menus.mniItemDel.Click();
    EXPECT_EQ("B", Doc().IndItems[2]->Name) << "nor does the popup's entry delete it";
    f.Grid.SetKeyCursor(TCursorKind::Ind, 1);
    Press(VK_DELETE);
    EXPECT_EQ("B", Doc().IndItems[1]->Name) << "the empty slot was removed";
}

TEST_F(MainWindowMenus, RefreshSaveOptionsHelpAboutAndExit) {
    TfrmMain& f = Open();
    Fill(PageItem(3, 0), Probe(), "probe");
    // F5: every item takes its icon again.
    int before = system_->IconRequests;
    Press(VK_F5);
    EXPECT_GT(system_->IconRequests, before);

    // Save writes even when saving is switched off.
    Doc().AutoSave = false;
    Doc().NoSave = true;
    Choose(f.Menus.mniSave);
    EXPECT_TRUE(shelltest::ExistsW(platform::Widen(DataFile())));

    // The options dialog runs with no cursor; after OK the title is shown and saved.
    Press(VK_RIGHT);
    TCursorKind kindDuring = TCursorKind::Page;
    dialogs_.OnOptions = [&](TfrmMain& main) {
        kindDuring = main.Grid.CursorKind();
        main.View().Title = "新しい題名";
        return true;
    };
    Choose(f.Menus.mniOpt0);
    EXPECT_EQ(TCursorKind::None, kindDuring);
    EXPECT_EQ(TCursorKind::Page, f.Grid.CursorKind());
    EXPECT_EQ(0, f.Grid.CursorPosition());
    EXPECT_EQ("新しい題名", f.Caption());
    EXPECT_EQ("新しい題名", ui::Application().Title());

    // F1 opens the help file of the program's folder through the help viewer.
    SetHtmlHelpLibrary("kiropad-test-no-such-viewer.ocx");
    Press(VK_F1);
    SetHtmlHelpLibrary("HHCTRL.OCX");
    ASSERT_EQ(1u, Boxes().size()) << "the viewer was asked for";
    EXPECT_NE(std::string::npos, Boxes()[0].Text.find("HHCTRL.OCX"));
    EXPECT_EQ(FolderA() + "Kiropad.HLP", ui::Application().HelpFile());

    Choose(f.Menus.mniAbout);
    EXPECT_EQ(1, dialogs_.Abouts);
    HWND window = f.Handle();
    Choose(f.Menus.mniExit);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(MainWindowMenus, NavigationKeysWrapAndTabSwitchesBetweenGridAndRow) {
    TfrmMain& f = Open();
    Press(VK_LEFT);
    EXPECT_EQ(14, f.Grid.CursorPosition()) << "left from slot 0 of 5 x 3";
    Cursor(12);
    Press(VK_DOWN);
    EXPECT_EQ(2, f.Grid.CursorPosition()) << "down from slot 12";
    Press(VK_UP);
    EXPECT_EQ(12, f.Grid.CursorPosition());
    Press(VK_RIGHT);
    Press(VK_RIGHT);
    Press(VK_RIGHT);
    EXPECT_EQ(0, f.Grid.CursorPosition());
    EXPECT_TRUE(f.Grid.PageItemButton(0).Focused());
    EXPECT_FALSE(f.Grid.PageItemButton(14).Focused());

    Press(VK_TAB);
    EXPECT_EQ(TCursorKind::Ind, f.Grid.CursorKind());
    EXPECT_EQ(0, f.Grid.CursorPosition());
    Press(VK_LEFT);
    EXPECT_EQ(9, f.Grid.CursorPosition()) << "the row wraps by its own count";
    Press(VK_DOWN);
    EXPECT_EQ(9, f.Grid.CursorPosition()) << "up and down only move in the grid";
    Press(VK_TAB);
    EXPECT_EQ(TCursorKind::Page, f.Grid.CursorKind());
    EXPECT_EQ(0, f.Grid.CursorPosition());
    // Tab released with Alt held (switching back into the window) moves nothing.
    Cursor(3);
    SendMessageW(f.Handle(), WM_SYSKEYUP, VK_TAB, 0xE0000000);
    EXPECT_EQ(3, f.Grid.CursorPosition());

    // PageUp on the first page selects the last; PageDown on the last the first.
    Press(VK_PRIOR);
    EXPECT_EQ(9, f.CurrentPage());
    EXPECT_EQ(0, f.Grid.CursorPosition()) << "a page change puts the cursor on the first slot";
    Press(VK_NEXT);
    EXPECT_EQ(0, f.CurrentPage());
}
