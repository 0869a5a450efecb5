#include "mainwindow/win32/accessibleitems.h"

#include <oleacc.h>

#include "mainwindow/win32/droppanel.h"
#include "mainwindow/win32/frmmain.h"
#include "mainwindow/win32/itembutton.h"
#include "mainwindow/win32/itemgrid.h"
#include "model/item.h"
#include "model/page.h"

namespace {

const char* const kEmptySlot = "空き";
const char* const kStart = "起動";
const char* const kEdit = "編集";
const char* const kSelect = "選択";

} // namespace

// ---------------------------------------------------------------------------------
// Item buttons

std::string TItemButtonsAccess::AccessibleName() {
    return kind_ == TCursorKind::Page ? "アイテム" : "独立アイテム";
}

long TItemButtonsAccess::AccessibleRole() {
    return ROLE_SYSTEM_PANE;
}

int TItemButtonsAccess::AccessibleChildCount() {
    return kind_ == TCursorKind::Page ? grid_.PageItemButtonCount() : grid_.IndButtonsMade();
}

TItemBtnBase* TItemButtonsAccess::Button(int index) {
    if (index < 0 || index >= AccessibleChildCount()) return nullptr;
    if (kind_ == TCursorKind::Page) return &grid_.PageItemButton(index);
    return &grid_.IndButton(index);
}

bool TItemButtonsAccess::DescribeChild(int index, ui::TAccessibleChild& child) {
    TItemBtnBase* b = Button(index);
    TDocument* doc = grid_.Owner().Document();
    if (!b || !doc) return false;
    // No item while no page is selected (a page command is rebuilding the column).
    const TItem* item = kind_ == TCursorKind::Ind || grid_.Page() >= 0 ? &b->GetItem() : nullptr;
    bool empty = !item || item->Path.empty();
    child.Name = empty ? kEmptySlot : (item->Name.empty() ? item->Path : item->Name);
    child.Description = empty ? std::string() : item->Path;
    child.Role = ROLE_SYSTEM_PUSHBUTTON;
    child.State = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE;
    if (b->Focused()) child.State |= STATE_SYSTEM_FOCUSED | STATE_SYSTEM_SELECTED;
    if (b->Down()) child.State |= STATE_SYSTEM_PRESSED;
    // A click on an empty button opens the edit dialog, which the edit lock refuses.
    if (empty && (doc->NoEdit || !item)) child.State |= STATE_SYSTEM_UNAVAILABLE;
    if (!empty)
        child.DefaultAction = kStart;
    else if (!(child.State & STATE_SYSTEM_UNAVAILABLE))
        child.DefaultAction = kEdit;
    child.Bounds = b->Panel().HostRect();
    return true;
}

int TItemButtonsAccess::ChildAt(int x, int y) {
    ui::TLightHost& host = kind_ == TCursorKind::Page ? grid_.PagePanel() : grid_.IndPanel();
    ui::TLightControl* control = host.ControlAt(x, y);
    TItemBtnBase* b = nullptr;
    if (auto* panel = dynamic_cast<TDropPanel*>(control)) b = panel->Button;
    if (auto* image = dynamic_cast<TItemImage*>(control)) b = image->Button;
    return b ? b->Index() : -1;
}

int TItemButtonsAccess::FocusedChild() {
    return grid_.CursorKind() == kind_ ? grid_.CursorPosition() : -1;
}

void TItemButtonsAccess::DoDefaultAction(int index) {
    TItemBtnBase* b = Button(index);
    if (b && (kind_ == TCursorKind::Ind || grid_.Page() >= 0)) b->Click();
}

bool TItemButtonsAccess::SelectChild(int index) {
    if (!Button(index)) return false;
    grid_.SetKeyCursor(kind_, index);
    return true;
}

// ---------------------------------------------------------------------------------
// Page buttons

std::string TPageButtonsAccess::AccessibleName() {
    return "ページ";
}

long TPageButtonsAccess::AccessibleRole() {
    return ROLE_SYSTEM_PAGETABLIST;
}

int TPageButtonsAccess::AccessibleChildCount() {
    return (int)form_.PageButtons().size();
}

bool TPageButtonsAccess::DescribeChild(int index, ui::TAccessibleChild& child) {
    if (index < 0 || index >= AccessibleChildCount() || index >= (int)form_.Doc().Pages.size()) return false;
    child.Name = form_.Doc().Pages[(size_t)index]->Name;
    child.Role = ROLE_SYSTEM_PAGETAB;
    child.State = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE;
    if (index == form_.CurrentPage()) child.State |= STATE_SYSTEM_SELECTED;
    child.DefaultAction = kSelect;
    child.Bounds = form_.PageButtons()[(size_t)index]->HostRect();
    return true;
}

int TPageButtonsAccess::ChildAt(int x, int y) {
    auto* b = dynamic_cast<TPageButton*>(form_.pnlPageMenu.ControlAt(x, y));
    return b ? b->Index : -1;
}

int TPageButtonsAccess::SelectedChild() {
    return form_.CurrentPage();
}

void TPageButtonsAccess::DoDefaultAction(int index) {
    // As a click on the page button: the page is selected.
    form_.SelectPage(index);
}

bool TPageButtonsAccess::SelectChild(int index) {
    if (index < 0 || index >= AccessibleChildCount()) return false;
    form_.SelectPage(index);
    return true;
}
