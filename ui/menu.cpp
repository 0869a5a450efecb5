#include "ui/menu.h"

#include <algorithm>
#include <map>

#include "platform/text.h"

namespace ui {

namespace {

// Command ids of all menu entries of the program, and the submenus: WM_COMMAND and
// WM_INITMENUPOPUP carry only these numbers and handles.
std::map<UINT, TMenuItem*>& Commands() {
    static std::map<UINT, TMenuItem*> commands;
    return commands;
}

std::map<HMENU, TMenuItem*>& Submenus() {
    static std::map<HMENU, TMenuItem*> submenus;
    return submenus;
}

// WM_COMMAND carries 16 bits; ids below 0x1000 are left to dialogs (IDOK, IDCANCEL ...).
const UINT kFirstCommand = 0x1000, kLastCommand = 0xEFFF;

UINT AllocateCommand() {
    static UINT next = kFirstCommand;
    auto& commands = Commands();
    for (UINT tries = 0; tries <= kLastCommand - kFirstCommand; ++tries) {
        UINT id = next;
        next = next == kLastCommand ? kFirstCommand : next + 1;
        if (!commands.count(id)) return id;
    }
    return 0;
}

std::string KeyName(WORD key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, (char)key);
    if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
    switch (key) {
    case VK_DELETE:
        return "Del";
    case VK_INSERT:
        return "Ins";
    case VK_RETURN:
        return "Enter";
    case VK_ESCAPE:
        return "Esc";
    case VK_SPACE:
        return "Space";
    case VK_BACK:
        return "BkSp";
    case VK_TAB:
        return "Tab";
    case VK_PRIOR:
        return "PgUp";
    case VK_NEXT:
        return "PgDn";
    case VK_HOME:
        return "Home";
    case VK_END:
        return "End";
    case VK_LEFT:
        return "Left";
    case VK_RIGHT:
        return "Right";
    case VK_UP:
        return "Up";
    case VK_DOWN:
        return "Down";
    }
    return "#" + std::to_string(key);
}

} // namespace

std::string TShortCut::Text() const {
    if (Empty()) return std::string();
    std::string s;
    if (Shift & ssShift) s += "Shift+";
    if (Shift & ssCtrl) s += "Ctrl+";
    if (Shift & ssAlt) s += "Alt+";
    return s + KeyName(Key);
}

// ---------------------------------------------------------------------------------
// TCommand

TCommand::~TCommand() {
    for (TMenuItem* entry : entries_)
        entry->bound_ = nullptr;
}

void TCommand::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    UpdateEntries();
}

void TCommand::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    UpdateEntries();
}

void TCommand::UpdateEntries() {
    for (TMenuItem* entry : entries_)
        entry->UpdateEntry();
}

// ---------------------------------------------------------------------------------
// TMenuItem

TMenuItem::TMenuItem(TMenu* menu, TMenuItem* parent, const std::string& caption, TShortCut shortcut,
                     bool separator)
    : menu_(menu), parent_(parent), caption_(caption), shortcut_(shortcut), separator_(separator),
      command_(parent ? AllocateCommand() : 0) {
    if (command_) Commands()[command_] = this;
}

TMenuItem::~TMenuItem() {
    Unbind();
    items_.clear();
    if (command_) Commands().erase(command_);
    if (submenu_) {
        Submenus().erase(submenu_);
        // A submenu belongs to its parent's HMENU and goes with it; the root's is ours.
        if (!parent_) DestroyMenu(submenu_);
    }
}

TMenuItem& TMenuItem::Add(const std::string& caption, TShortCut shortcut) {
    return Append(std::unique_ptr<TMenuItem>(new TMenuItem(menu_, this, caption, shortcut, false)));
}

TMenuItem& TMenuItem::AddSeparator() {
    return Append(std::unique_ptr<TMenuItem>(new TMenuItem(menu_, this, "-", TShortCut(), true)));
}

TMenuItem& TMenuItem::Append(std::unique_ptr<TMenuItem> item) {
    if (!submenu_) {
        submenu_ = CreatePopupMenu();
        Submenus()[submenu_] = this;
        UpdateEntry(); // the entry now opens the submenu
    }
    TMenuItem& added = *item;
    items_.push_back(std::move(item));
    std::wstring text = added.EntryText();
    MENUITEMINFOW mii = {};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING;
    mii.fType = added.separator_ ? MFT_SEPARATOR : MFT_STRING;
    mii.fState = MFS_ENABLED;
    mii.wID = added.command_;
    mii.dwTypeData = const_cast<wchar_t*>(text.c_str());
    InsertMenuItemW(submenu_, (UINT)(items_.size() - 1), TRUE, &mii);
    if (!parent_ && menu_->OwnerWindow()) DrawMenuBar(menu_->OwnerWindow());
    return added;
}

std::wstring TMenuItem::EntryText() const {
    std::wstring text = platform::Widen(caption_);
    if (!shortcut_.Empty()) text += L"\t" + platform::Widen(shortcut_.Text());
    return text;
}

void TMenuItem::UpdateEntry() {
    if (!parent_ || !parent_->submenu_) return;
    UINT position = 0;
    while (position < parent_->items_.size() && parent_->items_[position].get() != this)
        ++position;
    if (position == parent_->items_.size()) return; // not inserted yet
    std::wstring text = EntryText();
    MENUITEMINFOW mii = {};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_STATE | MIIM_SUBMENU | (separator_ ? 0 : MIIM_STRING);
    mii.fState = (Enabled() ? MFS_ENABLED : MFS_GRAYED) | (Checked() ? MFS_CHECKED : MFS_UNCHECKED);
    mii.hSubMenu = submenu_;
    mii.dwTypeData = const_cast<wchar_t*>(text.c_str());
    SetMenuItemInfoW(parent_->submenu_, position, TRUE, &mii);
    if (!parent_->parent_ && menu_->OwnerWindow() && GetMenu(menu_->OwnerWindow()) == menu_->Handle())
        DrawMenuBar(menu_->OwnerWindow());
}

void TMenuItem::SetCaption(const std::string& caption) {
    caption_ = caption;
    UpdateEntry();
}

void TMenuItem::SetShortCut(TShortCut shortcut) {
    shortcut_ = shortcut;
    UpdateEntry();
}

void TMenuItem::SetEnabled(bool enabled) {
    if (bound_) return bound_->SetEnabled(enabled);
    if (enabled == enabled_) return;
    enabled_ = enabled;
    UpdateEntry();
}

void TMenuItem::SetChecked(bool checked) {
    if (bound_) return bound_->SetChecked(checked);
    if (checked == checked_) return;
    checked_ = checked;
    UpdateEntry();
}

void TMenuItem::Unbind() {
    if (!bound_) return;
    auto& entries = bound_->entries_;
    entries.erase(std::remove(entries.begin(), entries.end(), this), entries.end());
    bound_ = nullptr;
}

void TMenuItem::Bind(TCommand* command) {
    if (command == bound_) return;
    Unbind();
    bound_ = command;
    if (bound_) bound_->entries_.push_back(this);
    UpdateEntry();
}

void TMenuItem::Click() {
    if (!Enabled()) return;
    if (bound_)
        bound_->Run();
    else if (OnClick)
        OnClick();
}

void TMenuItem::Popup() {
    if (!parent_)
        menu_->RootPopup();
    else if (OnPopup)
        OnPopup();
}

TMenuItem* TMenuItem::FindShortcut(WORD key, TShiftState shift) {
    for (auto& item : items_) {
        if (!item->separator_ && item->shortcut_.Matches(key, shift)) return item.get();
        if (TMenuItem* found = item->FindShortcut(key, shift)) return found;
    }
    return nullptr;
}

bool TMenuItem::EnabledWithParents() const {
    for (const TMenuItem* i = this; i && i->parent_; i = i->parent_)
        if (!i->Enabled()) return false;
    return true;
}

void TMenuItem::RunParentPopups() {
    std::vector<TMenuItem*> chain;
    for (TMenuItem* p = parent_; p; p = p->parent_)
        chain.push_back(p);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        (*it)->Popup();
}

// ---------------------------------------------------------------------------------
// TMenu

TMenu::TMenu(bool menuBar) : root_(new TMenuItem(this, nullptr, "", TShortCut(), false)) {
    root_->submenu_ = menuBar ? CreateMenu() : CreatePopupMenu();
    Submenus()[root_->submenu_] = root_.get();
}

TMenu::~TMenu() {
    if (owner_ && GetMenu(owner_) == Handle()) SetMenu(owner_, nullptr);
    root_.reset();
}

bool TMenu::DispatchShortcut(WORD key, TShiftState shift) {
    TMenuItem* item = root_->FindShortcut(key, shift);
    if (!item) return false;
    item->RunParentPopups();
    if (item->EnabledWithParents()) item->Click();
    return true;
}

TMenuItem* TPopupMenu::Popup(int screenX, int screenY) {
    RootPopup();
    HWND owner = OwnerWindow() ? OwnerWindow() : GetActiveWindow();
    if (!owner) return nullptr;
    UINT command =
        (UINT)TrackPopupMenu(Handle(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                             screenX, screenY, 0, owner, nullptr);
    // Without a message after it, a menu opened from a window that is not in front
    // (the notification area) does not close when the user clicks elsewhere next time.
    PostMessageW(owner, WM_NULL, 0, 0);
    if (!command) return nullptr;
    auto it = Commands().find(command);
    if (it == Commands().end()) return nullptr;
    TMenuItem* item = it->second;
    item->Click();
    return item;
}

bool MenuCommand(UINT command) {
    auto it = Commands().find(command);
    if (it == Commands().end()) return false;
    it->second->Click();
    return true;
}

bool MenuInitPopup(HMENU menu) {
    auto it = Submenus().find(menu);
    if (it == Submenus().end()) return false;
    // A popup menu's own OnPopup ran in Popup, before the menu was tracked.
    if (it->second->Parent()) it->second->Popup();
    return true;
}

} // namespace ui
