#pragma once
// The main window's menus: the menu bar and the three popup menus (page button,
// item button, notification area), every entry with its caption and key. The entries
// are bound to the main window's commands (mainwindow/win32/commands.h), which hold
// what they do and their enabled states.
#include "ui/menu.h"

struct TMainMenus {
    TMainMenus();
    TMainMenus(const TMainMenus&) = delete;
    TMainMenus& operator=(const TMainMenus&) = delete;

    ui::TMainMenu mnuMain;
    ui::TPopupMenu pmnPageBtn;
    ui::TPopupMenu pmnItem;
    ui::TPopupMenu pmnTask;

    // mnuMain
    ui::TMenuItem& mniMains;
    ui::TMenuItem& mniRefresh;
    ui::TMenuItem& mniSave;
    ui::TMenuItem& mniOpt0;
    ui::TMenuItem& sepMainExit;
    ui::TMenuItem& mniExit;
    ui::TMenuItem& mniPages;
    ui::TMenuItem& mniMainRename;
    ui::TMenuItem& sepMainPageMoves;
    ui::TMenuItem& mniMainUp;
    ui::TMenuItem& mniMainDown;
    ui::TMenuItem& mniMainDelete;
    ui::TMenuItem& mniMainNewPage;
    ui::TMenuItem& mniMainNewPageIns;
    ui::TMenuItem& mniMainNewPageAdd;
    ui::TMenuItem& mniItems;
    ui::TMenuItem& mniMainEdit;
    ui::TMenuItem& sepMainRelated;
    ui::TMenuItem& mniMainLFol;
    ui::TMenuItem& mniMainLHelp;
    ui::TMenuItem& sepMainSlots;
    ui::TMenuItem& mniMainItemDel;
    ui::TMenuItem& mniMainItemInsert;
    ui::TMenuItem& mniMainItemCut;
    ui::TMenuItem& mniMainItemCopy;
    ui::TMenuItem& mniMainItemPaste;
    ui::TMenuItem& mniMainItemExc;
    ui::TMenuItem& mniHelps;
    ui::TMenuItem& mniHelp;
    ui::TMenuItem& mniAbout;

    // pmnPageBtn
    ui::TMenuItem& mniRename;
    ui::TMenuItem& sepPageMoves;
    ui::TMenuItem& mniUp;
    ui::TMenuItem& mniDown;
    ui::TMenuItem& mniDelete;
    ui::TMenuItem& mniNewPage;
    ui::TMenuItem& mniNewPageIns;
    ui::TMenuItem& mniNewPageAdd;
    ui::TMenuItem& sepPageOptions;
    ui::TMenuItem& mniOpt1;

    // pmnItem
    ui::TMenuItem& mniEdit;
    ui::TMenuItem& sepItemRelated;
    ui::TMenuItem& mniLFol;
    ui::TMenuItem& mniLHelp;
    ui::TMenuItem& sepItemSlots;
    ui::TMenuItem& mniItemDel;
    ui::TMenuItem& mniItemInsert;
    ui::TMenuItem& mniItemCut;
    ui::TMenuItem& mniItemCopy;
    ui::TMenuItem& mniItemPaste;
    ui::TMenuItem& mniItemExc;
    ui::TMenuItem& sepItemOptions;
    ui::TMenuItem& mniOpt2;

    // pmnTask
    ui::TMenuItem& mniTaskExit;
};
