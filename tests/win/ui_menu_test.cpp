// Main and popup menus built in code: their entries as the system shows them, menu
// commands and submenus opening, and shortcut keys that obey the enabling computed
// when the menu would open.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "platform/text.h"
#include "ui/menu.h"
#include "ui/panel.h"
#include "ui/window.h"
#include "ui_test_support.h"

using namespace ui;

namespace {

std::string EntryText(HMENU menu, UINT position) {
    wchar_t buf[128] = {};
    GetMenuStringW(menu, position, buf, 128, MF_BYPOSITION);
    std::string out;
    platform::Narrow(buf, out);
    return out;
}

// A form with the item menu of the main window: enabling computed by OnPopup from
// the state of the "item under the cursor".
struct TItemMenu {
    TForm form;
    TMainMenu menu;
    TMenuItem& items;
    TMenuItem& edit;
    TMenuItem& del;
    TMenuItem& paste;
    TMenuItem& refresh;
    bool itemEmpty = false, clipboardFull = false;
    int popups = 0;
    std::vector<std::string> ran;

    TItemMenu()
        : items(menu.Add("アイテム(&I)")), edit(items.Add("編集(&E)...", TShortCut('E', ssCtrl))),
          del((items.AddSeparator(), items.Add("削除(&D)", TShortCut(VK_DELETE)))),
          paste(items.Add("貼り付け(&P)", TShortCut('V', ssCtrl))),
          refresh(menu.Add("メイン(&M)").Add("最新の情報に更新(&R)", TShortCut(VK_F5))) {
        form.SetMenu(&menu);
        items.OnPopup = [this] {
            ++popups;
            del.SetEnabled(!itemEmpty);
            paste.SetEnabled(itemEmpty && clipboardFull);
        };
        edit.OnClick = [this] { ran.push_back("edit"); };
        del.OnClick = [this] { ran.push_back("delete"); };
        paste.OnClick = [this] { ran.push_back("paste"); };
        refresh.OnClick = [this] { ran.push_back("refresh"); };
    }
};

} // namespace

TEST(UiMenu, EntriesShowCaptionShortcutAndState) {
    TItemMenu m;
    HMENU bar = GetMenu(m.form.Handle());
    ASSERT_EQ(m.menu.Handle(), bar);
    EXPECT_EQ("アイテム(&I)", EntryText(bar, 0));
    EXPECT_EQ("メイン(&M)", EntryText(bar, 1));
    HMENU sub = GetSubMenu(bar, 0);
    ASSERT_EQ(m.items.SubmenuHandle(), sub);
    EXPECT_EQ("編集(&E)...\tCtrl+E", EntryText(sub, 0));
    EXPECT_NE(0u, GetMenuState(sub, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ("削除(&D)\tDel", EntryText(sub, 2));
    EXPECT_EQ("最新の情報に更新(&R)\tF5", EntryText(GetSubMenu(bar, 1), 0));

    m.paste.SetEnabled(false);
    m.edit.SetChecked(true);
    EXPECT_NE(0u, GetMenuState(sub, 3, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_NE(0u, GetMenuState(sub, 0, MF_BYPOSITION) & MF_CHECKED);
    m.paste.SetCaption("貼り付け(&V)");
    EXPECT_EQ("貼り付け(&V)\tCtrl+V", EntryText(sub, 3));
    EXPECT_EQ("Shift+Ctrl+F1", TShortCut(VK_F1, ssCtrl | ssShift).Text());
    EXPECT_EQ("Ins", TShortCut(VK_INSERT).Text());
}

TEST(UiMenu, OpeningASubmenuRunsOnPopupAndACommandRunsOnClick) {
    TItemMenu m;
    m.itemEmpty = true;
    SendMessageW(m.form.Handle(), WM_INITMENUPOPUP, (WPARAM)m.items.SubmenuHandle(), 0);
    EXPECT_EQ(1, m.popups);
    EXPECT_FALSE(m.del.Enabled());

    SendMessageW(m.form.Handle(), WM_COMMAND, MAKEWPARAM(m.edit.Command(), 0), 0);
    SendMessageW(m.form.Handle(), WM_COMMAND, MAKEWPARAM(m.del.Command(), 0), 0);
    ASSERT_EQ(1u, m.ran.size()) << "a disabled entry does not run";
    EXPECT_EQ("edit", m.ran[0]);
}

TEST(UiMenu, AShortcutKeyRecomputesEnablingAndADisabledEntryIgnoresIt) {
    TItemMenu m;
    // Enabled when the last menu opened, but the item has become empty since.
    m.itemEmpty = true;
    EXPECT_TRUE(m.del.Enabled());
    EXPECT_TRUE(m.form.DispatchShortcut(VK_DELETE, 0)) << "the key belongs to the entry: consumed";
    EXPECT_EQ(1, m.popups);
    EXPECT_TRUE(m.ran.empty());

    // Ctrl+V pastes only on an empty item with something to paste.
    EXPECT_TRUE(m.form.DispatchShortcut('V', ssCtrl));
    EXPECT_TRUE(m.ran.empty());
    m.clipboardFull = true;
    EXPECT_TRUE(m.form.DispatchShortcut('V', ssCtrl));
    ASSERT_EQ(1u, m.ran.size());
    EXPECT_EQ("paste", m.ran[0]);

    // V without Ctrl is not the shortcut.
    EXPECT_FALSE(m.form.DispatchShortcut('V', 0));
    EXPECT_FALSE(m.form.DispatchShortcut('V', ssCtrl | ssShift));
}

TEST(UiMenu, KeysReachingTheFormRunTheirEntries) {
    TItemMenu m;
    TPanel panel(&m.form);
    std::vector<WORD> formKeys;
    m.form.OnKeyDown = [&](WORD& key, TShiftState) { formKeys.push_back(key); };
    // F5 on a child panel: the form's menus get it before anything else.
    SendMessageW(panel.Handle(), WM_KEYDOWN, VK_F5, 0);
    SendMessageW(m.form.Handle(), WM_KEYDOWN, VK_DELETE, 0);
    ASSERT_EQ(2u, m.ran.size());
    EXPECT_EQ("refresh", m.ran[0]);
    EXPECT_EQ("delete", m.ran[1]);
    EXPECT_TRUE(formKeys.empty()) << "a shortcut key is consumed by its entry";
    // A disabled entry's key is consumed too, and runs nothing.
    m.itemEmpty = true;
    SendMessageW(m.form.Handle(), WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(2u, m.ran.size());
    EXPECT_TRUE(formKeys.empty());
}

TEST(UiMenu, PopupMenusAreRegisteredForShortcutsAndOpenOnlyWhenAsked) {
    TForm form;
    TPanel panel(&form);
    TPopupMenu pages;
    int popups = 0, renamed = 0;
    pages.OnPopup = [&] { ++popups; };
    TMenuItem& rename = pages.Add("名前の変更(&N)...", TShortCut(VK_F2));
    rename.OnClick = [&] { ++renamed; };
    form.AddShortcutMenu(&pages);
    EXPECT_TRUE(form.DispatchShortcut(VK_F2, 0));
    EXPECT_EQ(1, popups) << "the popup's own enabling ran first";
    EXPECT_EQ(1, renamed);

    // With its automatic popup off, a right-click on the panel opens nothing.
    pages.SetAutoPopup(false);
    panel.SetPopupMenu(&pages);
    POINT p = panel.ClientToScreen(POINT{5, 5});
    SendMessageW(panel.Handle(), WM_CONTEXTMENU, (WPARAM)panel.Handle(), MAKELPARAM(p.x, p.y));
    EXPECT_EQ(1, popups);
}

namespace {
HWND g_menuOwner;
void CALLBACK ChooseSecondEntry(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND popup = FindWindowW(L"#32768", nullptr);
    HWND target = popup ? popup : g_menuOwner;
    PostMessageW(target, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(target, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(target, WM_KEYDOWN, VK_RETURN, 0);
}
} // namespace

TEST(UiMenu, PopupRunsTheEntryChosenInIt) {
    TForm form;
    form.SetBounds(100, 100, 300, 200);
    form.ShowForm();
    TPopupMenu menu;
    menu.SetOwnerWindow(form.Handle());
    std::string chosen;
    menu.Add("編集(&E)...").OnClick = [&] { chosen = "edit"; };
    TMenuItem& second = menu.Add("削除(&D)");
    second.OnClick = [&] { chosen = "delete"; };
    // While the menu is tracked, a timer chooses the second entry with the keyboard.
    g_menuOwner = form.Handle();
    UINT_PTR timer = SetTimer(nullptr, 0, 200, ChooseSecondEntry);
    TMenuItem* result = menu.Popup(150, 150);
    KillTimer(nullptr, timer);
    EXPECT_EQ(&second, result);
    EXPECT_EQ("delete", chosen);
}

// A command bound to an entry of the menu bar (with the key) and to one of a popup
// menu: one state shows in both menus, both entries and the key run it, and either
// side may go first.
TEST(UiMenu, EntriesBoundToOneCommandShareItsStateAndRunIt) {
    TForm form;
    TMainMenu bar;
    TPopupMenu popup;
    TMenuItem& items = bar.Add("アイテム(&I)");
    TMenuItem& barPaste = items.Add("貼り付け(&P)", TShortCut('V', ssCtrl));
    TMenuItem& popupPaste = popup.Add("貼り付け(&P)");
    form.SetMenu(&bar);
    int runs = 0;
    bool clipboardFull = false;
    auto paste = std::make_unique<TCommand>();
    paste->OnRun = [&] { ++runs; };
    items.OnPopup = [&] { paste->SetEnabled(clipboardFull); };
    barPaste.Bind(paste.get());
    popupPaste.Bind(paste.get());

    paste->SetEnabled(false);
    EXPECT_FALSE(barPaste.Enabled());
    EXPECT_FALSE(popupPaste.Enabled());
    EXPECT_NE(0u, GetMenuState(items.SubmenuHandle(), 0, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_NE(0u, GetMenuState(popup.Handle(), 0, MF_BYPOSITION) & MF_GRAYED);
    popupPaste.Click();
    EXPECT_TRUE(form.DispatchShortcut('V', ssCtrl));
    EXPECT_EQ(0, runs) << "disabled, the command runs neither from an entry nor from its key";

    // The key computes the state first, as the menu would when opened.
    clipboardFull = true;
    EXPECT_TRUE(form.DispatchShortcut('V', ssCtrl));
    EXPECT_EQ(1, runs);
    EXPECT_EQ(0u, GetMenuState(popup.Handle(), 0, MF_BYPOSITION) & MF_GRAYED);
    SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(popupPaste.Command(), 0), 0);
    EXPECT_EQ(2, runs);
    paste->SetChecked(true);
    EXPECT_TRUE(barPaste.Checked());
    EXPECT_NE(0u, GetMenuState(popup.Handle(), 0, MF_BYPOSITION) & MF_CHECKED);

    // A command that goes first leaves plain entries behind, with the states they had.
    paste.reset();
    EXPECT_EQ(nullptr, barPaste.BoundCommand());
    EXPECT_TRUE(barPaste.Enabled());
    popupPaste.Click();
    EXPECT_EQ(2, runs);
    // An entry that goes first leaves the command's other entries bound.
    TCommand exit;
    {
        TPopupMenu tray;
        tray.Add("終了(&X)").Bind(&exit);
        items.Add("終了(&X)").Bind(&exit);
    }
    exit.SetEnabled(false);
    EXPECT_FALSE(items.Item(1).Enabled());
}
