#include "mainwindow/win32/mainmenus.h"

using ui::ssCtrl;
using ui::TShortCut;

// The entries are made in the order the menus show them: each reference is
// initialised by appending its entry to the one above it in the declaration.
TMainMenus::TMainMenus()
    : mniMains(mnuMain.Add("メイン(&M)")), mniRefresh(mniMains.Add("最新の情報に更新(&R)", TShortCut(VK_F5))),
      mniSave(mniMains.Add("設定を保存(&S)")), mniOpt0(mniMains.Add("オプション(&O)...")),
      sepMainExit(mniMains.AddSeparator()), mniExit(mniMains.Add("終了(&X)")),
      mniPages(mnuMain.Add("ページ(&P)")), mniMainRename(mniPages.Add("名前の変更(&N)...")),
      sepMainPageMoves(mniPages.AddSeparator()), mniMainUp(mniPages.Add("上に移動(&U)")),
      mniMainDown(mniPages.Add("下に移動(&D)")), mniMainDelete(mniPages.Add("削除(&E)...")),
      mniMainNewPage(mniPages.Add("新規ページ(&P)")), mniMainNewPageIns(mniMainNewPage.Add("ここに挿入(&I)")),
      mniMainNewPageAdd(mniMainNewPage.Add("最後に追加(&A)")), mniItems(mnuMain.Add("アイテム(&I)")),
      mniMainEdit(mniItems.Add("編集(&E)...", TShortCut('E', ssCtrl))),
      sepMainRelated(mniItems.AddSeparator()),
      mniMainLFol(mniItems.Add("所属フォルダ(&F)", TShortCut('F', ssCtrl))),
      mniMainLHelp(mniItems.Add("関連ヘルプ(&H)", TShortCut('H', ssCtrl))),
      sepMainSlots(mniItems.AddSeparator()), mniMainItemDel(mniItems.Add("削除(&D)", TShortCut(VK_DELETE))),
      mniMainItemInsert(mniItems.Add("挿入(&I)", TShortCut(VK_INSERT))),
      mniMainItemCut(mniItems.Add("切り取り(&T)", TShortCut('X', ssCtrl))),
      mniMainItemCopy(mniItems.Add("コピー(&C)", TShortCut('C', ssCtrl))),
      mniMainItemPaste(mniItems.Add("貼り付け(&P)", TShortCut('V', ssCtrl))),
      mniMainItemExc(mniItems.Add("交換(&X)", TShortCut('G', ssCtrl))), mniHelps(mnuMain.Add("ヘルプ(&H)")),
      mniHelp(mniHelps.Add("ヘルプ(&H)", TShortCut(VK_F1))), mniAbout(mniHelps.Add("バージョン情報(&A)...")),
      mniRename(pmnPageBtn.Add("名前の変更(&N)...")), sepPageMoves(pmnPageBtn.AddSeparator()),
      mniUp(pmnPageBtn.Add("上に移動(&U)")), mniDown(pmnPageBtn.Add("下に移動(&D)")),
      mniDelete(pmnPageBtn.Add("削除(&E)...")), mniNewPage(pmnPageBtn.Add("新規ページ(&P)")),
      mniNewPageIns(mniNewPage.Add("ここに挿入(&I)")), mniNewPageAdd(mniNewPage.Add("最後に追加(&A)")),
      sepPageOptions(pmnPageBtn.AddSeparator()), mniOpt1(pmnPageBtn.Add("オプション(&O)...")),
      mniEdit(pmnItem.Add("編集(&E)...")), sepItemRelated(pmnItem.AddSeparator()),
      mniLFol(pmnItem.Add("所属フォルダ(&F)")), mniLHelp(pmnItem.Add("関連ヘルプ(&H)")),
      sepItemSlots(pmnItem.AddSeparator()), mniItemDel(pmnItem.Add("削除(&D)")),
      mniItemInsert(pmnItem.Add("挿入(&I)")), mniItemCut(pmnItem.Add("切り取り(&T)")),
      mniItemCopy(pmnItem.Add("コピー(&C)")), mniItemPaste(pmnItem.Add("貼り付け(&P)")),
      mniItemExc(pmnItem.Add("交換(&X)")), sepItemOptions(pmnItem.AddSeparator()),
      mniOpt2(pmnItem.Add("オプション(&O)...")), mniTaskExit(pmnTask.Add("終了(&X)")) {
    // The page menu opens from the page button's own mouse-up handler only.
    pmnPageBtn.SetAutoPopup(false);
}
