#pragma once
// The main window's commands: what each does and whether it can be done now. Every
// command is one object that its menu-bar entry, its popup entries and its shortcut
// key are bound to (ui/menu.h), so an enabled state is set once for all of them.
//
// The page commands act on the selected page, the item commands on the button under
// the keyboard cursor (a right-click puts the cursor on the button first).
#include "ui/menu.h"

class TfrmMain;
struct TItemMenuState;
struct TMainMenus;

struct TMainCommands {
    explicit TMainCommands(TfrmMain& main);
    TMainCommands(const TMainCommands&) = delete;
    TMainCommands& operator=(const TMainCommands&) = delete;

    // Binds every entry of the menus to its command, and the menus' OnPopup events to
    // the enabled states of the commands they hold.
    void Bind(TMainMenus& menus);

    // The enabled states of the page commands, for the selected page.
    void UpdatePageStates();
    // The enabled states of the item commands, for the button under the cursor (none
    // change without one).
    void UpdateItemStates();
    // Sets the enabled states of the item commands.
    void SetItemStates(const TItemMenuState& state);

    // ---- Main ------------------------------------------------------------------------
    ui::TCommand Refresh; // every icon read again
    ui::TCommand Save;    // the data file saved now
    ui::TCommand Options;
    ui::TCommand Exit;
    ui::TCommand Help;
    ui::TCommand About;

    // ---- Pages -----------------------------------------------------------------------
    ui::TCommand RenamePage;
    ui::TCommand MovePageUp;
    ui::TCommand MovePageDown;
    ui::TCommand DeletePage;
    ui::TCommand NewPage; // the submenu of the two below: it has no action of its own
    ui::TCommand InsertPage;
    ui::TCommand AppendPage;

    // ---- Items -----------------------------------------------------------------------
    ui::TCommand EditItem;
    ui::TCommand OpenFolder; // the folder the item lies in
    ui::TCommand OpenHelp;   // the item's related help
    ui::TCommand DeleteItem;
    ui::TCommand InsertItem;
    ui::TCommand CutItem;
    ui::TCommand CopyItem;
    ui::TCommand PasteItem;
    ui::TCommand ExchangeItem;

private:
    void MovePage(int step);
    // Opens an item's folder or help file with the document's after-launch action.
    void OpenRelated(bool help);
    void DoRefresh();
    void DoOptions();
    void DoRenamePage();
    void DoDeletePage();
    void DoInsertPage();
    void DoAppendPage();
    void DoEditItem();
    void DoDeleteItem();
    void DoInsertItem();
    void DoCopyItem();
    void DoCutItem();
    void DoPasteItem();
    void DoExchangeItem();

    TfrmMain& main_;
};
