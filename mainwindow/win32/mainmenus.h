#pragma once
// The main window's menus: the menu bar and the three popup menus (page button,
// item button, notification area), every entry with its caption and key. The main
// window connects the handlers.
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
    ui::TMenuItem& N6;
    ui::TMenuItem& mniExit;
    ui::TMenuItem& mniPages;
    ui::TMenuItem& mniMainRename;
    ui::TMenuItem& N9;
    ui::TMenuItem& mniMainUp;
    ui::TMenuItem& mniMainDown;
    ui::TMenuItem& mniMainDelete;
    ui::TMenuItem& mniMainNewPage;
    ui::TMenuItem& mniMainNewPageIns;
    ui::TMenuItem& A1;
    ui::TMenuItem& mniItems;
    ui::TMenuItem& mniMainEdit;
    ui::TMenuItem& N7;
    ui::TMenuItem& mniMainLFol;
    ui::TMenuItem& mniMainLHelp;
    ui::TMenuItem& N8;
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
    ui::TMenuItem& N1;
    ui::TMenuItem& mniUp;
    ui::TMenuItem& mniDown;
    ui::TMenuItem& mniDelete;
    ui::TMenuItem& mniNewPage;
    ui::TMenuItem& mniNewPageIns;
    ui::TMenuItem& mniNewPageAdd;
    ui::TMenuItem& N2;
    ui::TMenuItem& mniOpt1;

    // pmnItem
    ui::TMenuItem& mniEdit;
    ui::TMenuItem& N4;
    ui::TMenuItem& mniLFol;
    ui::TMenuItem& mniLHelp;
    ui::TMenuItem& N3;
    ui::TMenuItem& mniItemDel;
    ui::TMenuItem& mniItemInsert;
    ui::TMenuItem& mniItemCut;
    ui::TMenuItem& mniItemCopy;
    ui::TMenuItem& mniItemPaste;
    ui::TMenuItem& mniItemExc;
    ui::TMenuItem& N5;
    ui::TMenuItem& mniOpt2;

    // pmnTask
    ui::TMenuItem& mniTaskExit;
};
