#include "mainwindow/win32/commands.h"

#include "mainwindow/commandstate.h"
#include "mainwindow/win32/frmmain.h"
#include "mainwindow/win32/maindialogs.h"
#include "mainwindow/win32/mainmenus.h"
#include "model/item.h"
#include "platform/system.h"
#include "shell/common.h"
#include "shell/win32/helpers.h"

namespace {

const char* const kHtmlHelpFileName = "Kiropad.chm";

} // namespace

TMainCommands::TMainCommands(TfrmMain& main) : main_(main) {
    Refresh.OnRun = [this] { DoRefresh(); };
    Save.OnRun = [this] { main_.Doc().SaveIfNeeded(TSaveReason::Command); };
    Options.OnRun = [this] { DoOptions(); };
    Exit.OnRun = [this] { main_.Close(); };
    Help.OnRun = [] { ShowHtmlHelp(platform::System().ProgramFolder() + kHtmlHelpFileName); };
    About.OnRun = [] { MainDialogs().ShowAbout(); };

    RenamePage.OnRun = [this] { DoRenamePage(); };
    MovePageUp.OnRun = [this] { MovePage(-1); };
    MovePageDown.OnRun = [this] { MovePage(1); };
    DeletePage.OnRun = [this] { DoDeletePage(); };
    InsertPage.OnRun = [this] { DoInsertPage(); };
    AppendPage.OnRun = [this] { DoAppendPage(); };

    EditItem.OnRun = [this] { DoEditItem(); };
    OpenFolder.OnRun = [this] { OpenRelated(false); };
    OpenHelp.OnRun = [this] { OpenRelated(true); };
    DeleteItem.OnRun = [this] { DoDeleteItem(); };
    InsertItem.OnRun = [this] { DoInsertItem(); };
    CutItem.OnRun = [this] { DoCutItem(); };
    CopyItem.OnRun = [this] { DoCopyItem(); };
    PasteItem.OnRun = [this] { DoPasteItem(); };
    ExchangeItem.OnRun = [this] { DoExchangeItem(); };
}

void TMainCommands::Bind(TMainMenus& m) {
    m.mniRefresh.Bind(&Refresh);
    m.mniSave.Bind(&Save);
    m.mniOpt0.Bind(&Options);
    m.mniOpt1.Bind(&Options);
    m.mniOpt2.Bind(&Options);
    m.mniExit.Bind(&Exit);
    m.mniTaskExit.Bind(&Exit);
    m.mniHelp.Bind(&Help);
    m.mniAbout.Bind(&About);

    m.mniMainRename.Bind(&RenamePage);
    m.mniRename.Bind(&RenamePage);
    m.mniMainUp.Bind(&MovePageUp);
    m.mniUp.Bind(&MovePageUp);
    m.mniMainDown.Bind(&MovePageDown);
    m.mniDown.Bind(&MovePageDown);
    m.mniMainDelete.Bind(&DeletePage);
    m.mniDelete.Bind(&DeletePage);
    m.mniMainNewPage.Bind(&NewPage);
    m.mniNewPage.Bind(&NewPage);
    m.mniMainNewPageIns.Bind(&InsertPage);
    m.mniNewPageIns.Bind(&InsertPage);
    m.mniMainNewPageAdd.Bind(&AppendPage);
    m.mniNewPageAdd.Bind(&AppendPage);

    m.mniMainEdit.Bind(&EditItem);
    m.mniEdit.Bind(&EditItem);
    m.mniMainLFol.Bind(&OpenFolder);
    m.mniLFol.Bind(&OpenFolder);
    m.mniMainLHelp.Bind(&OpenHelp);
    m.mniLHelp.Bind(&OpenHelp);
    m.mniMainItemDel.Bind(&DeleteItem);
    m.mniItemDel.Bind(&DeleteItem);
    m.mniMainItemInsert.Bind(&InsertItem);
    m.mniItemInsert.Bind(&InsertItem);
    m.mniMainItemCut.Bind(&CutItem);
    m.mniItemCut.Bind(&CutItem);
    m.mniMainItemCopy.Bind(&CopyItem);
    m.mniItemCopy.Bind(&CopyItem);
    m.mniMainItemPaste.Bind(&PasteItem);
    m.mniItemPaste.Bind(&PasteItem);
    m.mniMainItemExc.Bind(&ExchangeItem);
    m.mniItemExc.Bind(&ExchangeItem);

    // A menu computes the states of its commands as it opens, and so does a shortcut
    // key before its command runs (TForm::DispatchShortcut). The item popup opens
    // from its button, which sets them first.
    m.mniPages.OnPopup = m.pmnPageBtn.OnPopup = [this] { UpdatePageStates(); };
    m.mniItems.OnPopup = [this] { UpdateItemStates(); };
}

void TMainCommands::UpdatePageStates() {
    TDocument& doc = main_.Doc();
    TPageMenuState s = PageMenuState(doc.NoEdit, main_.CurrentPage(), (int)doc.Pages.size());
    RenamePage.SetEnabled(s.Rename);
    NewPage.SetEnabled(s.NewPage);
    DeletePage.SetEnabled(s.Delete);
    MovePageUp.SetEnabled(s.Up);
    MovePageDown.SetEnabled(s.Down);
}

void TMainCommands::UpdateItemStates() {
    if (TItemBtnBase* b = main_.Grid.CursorButton())
        if (main_.CurrentPage() != -1) b->UpdateMenus();
}

void TMainCommands::SetItemStates(const TItemMenuState& s) {
    CopyItem.SetEnabled(s.Copy);
    EditItem.SetEnabled(s.Edit);
    DeleteItem.SetEnabled(s.Delete);
    CutItem.SetEnabled(s.Cut);
    PasteItem.SetEnabled(s.Paste);
    ExchangeItem.SetEnabled(s.Exchange);
    OpenFolder.SetEnabled(s.LFol);
    OpenHelp.SetEnabled(s.LHelp);
    InsertItem.SetEnabled(s.Insert);
}

// ---------------------------------------------------------------------------------
// Main

void TMainCommands::DoRefresh() {
    platform::TWaitCursor wait;
    main_.Doc().RefreshIcons();
    main_.PreferVisibleIcons();
    main_.Grid.RefreshAllButtons();
}

void TMainCommands::DoOptions() {
    main_.Grid.SetPressedButton(nullptr);
    main_.Grid.SetCaptureButton(nullptr);
    main_.Grid.SetKeyCursor(TCursorKind::None, 0);
    if (MainDialogs().EditOptions(main_)) {
        main_.Grid.RefreshAllButtons();
        main_.UpdateTitle();
        main_.Doc().SaveIfNeeded(TSaveReason::Change);
    }
    main_.Grid.SetKeyCursor(TCursorKind::Page, 0);
}

// ---------------------------------------------------------------------------------
// Pages

void TMainCommands::DoRenamePage() {
    int p = main_.CurrentPage();
    if (p < 0) return;
    if (MainDialogs().RenamePage(main_.Doc(), p)) {
        main_.SetPageCaption(p);
        main_.Doc().SaveIfNeeded(TSaveReason::Change);
    }
}

void TMainCommands::MovePage(int step) {
    TDocument& doc = main_.Doc();
    int p = main_.CurrentPage();
    if (p < 0 || p + step < 0 || p + step >= (int)doc.Pages.size()) return;
    main_.SelectPage(-1);
    if (step < 0)
        doc.MovePageUp(p);
    else
        doc.MovePageDown(p);
    main_.BuildPageButtons();
    main_.SelectPage(p + step);
    doc.SaveIfNeeded(TSaveReason::Change);
}

void TMainCommands::DoDeletePage() {
    TDocument& doc = main_.Doc();
    int p = main_.CurrentPage();
    // The last page is never removed: the window needs one.
    if (p < 0 || doc.Pages.size() < 2) return;
    if (MsgBox(kDeletePageQuestion, kBoxCaption, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES)
        return;
    main_.SelectPage(-1);
    doc.DeletePage(p);
    main_.BuildPageButtons();
    main_.SelectPage(p < (int)doc.Pages.size() ? p : 0);
    doc.SaveIfNeeded(TSaveReason::Change);
}

void TMainCommands::DoInsertPage() {
    TDocument& doc = main_.Doc();
    int p = main_.CurrentPage();
    if (p < 0) return;
    main_.SelectPage(-1);
    doc.InsertPage(p);
    main_.BuildPageButtons();
    main_.SelectPage(p);
    doc.SaveIfNeeded(TSaveReason::Change);
}

void TMainCommands::DoAppendPage() {
    TDocument& doc = main_.Doc();
    int n = (int)doc.Pages.size();
    doc.InsertPage(-1);
    main_.BuildPageButtons();
    main_.SelectPage(n);
    doc.SaveIfNeeded(TSaveReason::Change);
}

// ---------------------------------------------------------------------------------
// Items

void TMainCommands::DoEditItem() {
    if (TItemBtnBase* b = main_.Grid.CursorButton())
        if (main_.CurrentPage() != -1) b->Edit();
}

void TMainCommands::DoDeleteItem() {
    TItemBtnBase* b = main_.Grid.CursorButton();
    if (main_.CurrentPage() == -1 || !b) return;
    // However the command arrived, the edit lock's answer for this button holds.
    b->UpdateMenus();
    if (!DeleteItem.Enabled()) return;
    if (!b->GetItem().Path.empty() &&
        MsgBox(kDeleteItemQuestion, kBoxCaption, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    b->Delete();
}

void TMainCommands::DoInsertItem() {
    if (TItemBtnBase* b = main_.Grid.CursorButton())
        if (main_.CurrentPage() != -1) b->Insert();
}

void TMainCommands::DoCopyItem() {
    TItem* i = main_.Grid.CursorItem();
    if (!i) return;
    TDocument& doc = main_.Doc();
    doc.ClipItem->Assign(*i);
    doc.ClipPos = main_.Grid.CursorButton()->GetPosition();
}

void TMainCommands::DoCutItem() {
    if (!main_.Grid.CursorItem()) return;
    DoCopyItem();
    main_.Grid.CursorButton()->Delete();
}

void TMainCommands::DoPasteItem() {
    TItem* i = main_.Grid.CursorItem();
    if (!i) return;
    i->Assign(*main_.Doc().ClipItem);
    i->RefreshIcon(false);
    main_.Grid.CursorButton()->Refresh();
    main_.Doc().SaveIfNeeded(TSaveReason::Change);
}

void TMainCommands::DoExchangeItem() {
    TItem* i = main_.Grid.CursorItem();
    if (!i) return;
    TDocument& doc = main_.Doc();
    TItemPos source = doc.ClipPos;
    // A source that no longer exists (an independent slot removed since) exchanges nothing.
    TItem* s = doc.GetItem(source);
    if (!s) return;
    TItemBtnBase* b = main_.Grid.CursorButton();
    s->Assign(*i);
    i->Assign(*doc.ClipItem);
    i->RefreshIcon(false);
    s->RefreshIcon(false);
    b->Refresh();
    main_.Grid.RefreshButtonAt(source);
    doc.ClipPos = b->GetPosition();
    doc.SaveIfNeeded(TSaveReason::Change);
}

void TMainCommands::OpenRelated(bool help) {
    TItem* i = main_.Grid.CursorItem();
    if (!i) return;
    // The document's action applies here; the item's own plays no part, and the
    // double-click guard is neither used nor set.
    int action = main_.Doc().ExeAnd;
    if (action == eaMinimize)
        main_.MinimizeOrHide();
    else if (action == eaExit)
        ShowWindow(main_.Handle(), SW_HIDE);
    int result = help ? i->OpenLHelp() : i->OpenLFol();
    if (main_.ReportLaunchResult(result) && main_.Doc().ExeAnd == eaExit) main_.CloseSoon();
}
