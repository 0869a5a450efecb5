#pragma once
// Menus built in code: a main menu (the form's menu bar) and popup menus, with
// entries that carry a caption, a shortcut key, enabled and checked states and an
// OnClick event; a submenu entry and a popup menu have an OnPopup event that runs
// before they show, where their entries' enabling is computed.
//
// An entry may be bound to a command (TCommand): it then shows the command's enabled
// and checked states and runs the command when clicked, so that a command with an
// entry in several menus keeps its states in one place. The caption and the key stay
// the entry's own.
//
// Shortcut keys are dispatched by the form (TForm::DispatchShortcut): before the
// command runs, the OnPopup events of the menus that hold it run as if they were
// opened, and a disabled entry ignores its key.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/events.h"

namespace ui {

struct TShortCut {
    WORD Key = 0; // virtual key code; 0 = none
    TShiftState Shift = 0;

    TShortCut() = default;
    TShortCut(WORD key, TShiftState shift = 0) : Key(key), Shift(shift & (ssShift | ssCtrl | ssAlt)) {}
    bool Empty() const { return Key == 0; }
    bool Matches(WORD key, TShiftState shift) const {
        return Key != 0 && Key == key && Shift == (shift & (ssShift | ssCtrl | ssAlt));
    }
    // As a menu shows it: "Ctrl+X", "Del", "Ins", "F5", "Shift+F1" ...
    std::string Text() const;
};

class TMenu;
class TMenuItem;

// What a command does (OnRun), and whether it can be done now and is checked. Every
// menu entry bound to it shows these states; the command outlives none of them
// unnoticed (either side unbinds itself when it goes).
class TCommand {
public:
    TCommand() = default;
    ~TCommand();
    TCommand(const TCommand&) = delete;
    TCommand& operator=(const TCommand&) = delete;

    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }
    void SetChecked(bool checked);
    bool Checked() const { return checked_; }

    // Runs OnRun whatever the enabled state: a bound entry asks it before it runs the
    // command; a caller without an entry decides for itself.
    void Run() {
        if (OnRun) OnRun();
    }

    TNotifyEvent OnRun;

private:
    friend class TMenuItem;
    void UpdateEntries();
    std::vector<TMenuItem*> entries_;
    bool enabled_ = true;
    bool checked_ = false;
};

class TMenuItem {
public:
    ~TMenuItem();
    TMenuItem(const TMenuItem&) = delete;
    TMenuItem& operator=(const TMenuItem&) = delete;

    // Appends an entry (caption in code page 932, "&" marks the access key); the
    // menu owns it. An entry that gets entries of its own becomes a submenu.
    TMenuItem& Add(const std::string& caption, TShortCut shortcut = TShortCut());
    TMenuItem& AddSeparator();
    size_t Count() const { return items_.size(); }
    TMenuItem& Item(size_t index) { return *items_[index]; }
    TMenuItem* Parent() const { return parent_; }

    void SetCaption(const std::string& caption);
    const std::string& Caption() const { return caption_; }
    void SetShortCut(TShortCut shortcut);
    TShortCut ShortCut() const { return shortcut_; }
    // The states of the bound command, when there is one (setting them sets the command's).
    void SetEnabled(bool enabled);
    bool Enabled() const { return bound_ ? bound_->Enabled() : enabled_; }
    void SetChecked(bool checked);
    bool Checked() const { return bound_ ? bound_->Checked() : checked_; }
    bool IsSeparator() const { return separator_; }

    // Binds the entry to a command (null: unbinds it); a bound entry runs the command
    // instead of OnClick.
    void Bind(TCommand* command);
    TCommand* BoundCommand() const { return bound_; }

    // The command id of the entry in its menu.
    UINT Command() const { return command_; }
    // The submenu handle, when the entry has entries.
    HMENU SubmenuHandle() const { return submenu_; }

    // Runs the bound command, or else OnClick, when the entry is enabled.
    void Click();
    // Runs OnPopup (a submenu about to show).
    void Popup();

    TNotifyEvent OnClick;
    TNotifyEvent OnPopup;

private:
    friend class TMenu;
    friend class TCommand;
    TMenuItem(TMenu* menu, TMenuItem* parent, const std::string& caption, TShortCut shortcut, bool separator);
    TMenuItem& Append(std::unique_ptr<TMenuItem> item);
    void UpdateEntry(); // writes caption and states into the parent's HMENU
    void Unbind();      // leaves the command's entries; the HMENU is not touched
    std::wstring EntryText() const;
    TMenuItem* FindShortcut(WORD key, TShiftState shift);
    bool EnabledWithParents() const;
    void RunParentPopups();

    TMenu* menu_;
    TMenuItem* parent_;
    std::string caption_;
    TShortCut shortcut_;
    bool separator_;
    bool enabled_ = true;
    bool checked_ = false;
    TCommand* bound_ = nullptr;
    UINT command_;
    HMENU submenu_ = nullptr; // owned by the parent's HMENU once inserted (or by the menu, for the root)
    std::vector<std::unique_ptr<TMenuItem>> items_;
};

class TMenu {
public:
    virtual ~TMenu();
    TMenu(const TMenu&) = delete;
    TMenu& operator=(const TMenu&) = delete;

    // The root entry: its entries are the menu's top-level entries.
    TMenuItem& Items() { return *root_; }
    TMenuItem& Add(const std::string& caption, TShortCut shortcut = TShortCut()) {
        return root_->Add(caption, shortcut);
    }
    TMenuItem& AddSeparator() { return root_->AddSeparator(); }
    HMENU Handle() const { return root_->SubmenuHandle(); }

    // The window that receives the menu's messages.
    void SetOwnerWindow(HWND owner) { owner_ = owner; }
    HWND OwnerWindow() const { return owner_; }

    // Finds the entry with this shortcut; when there is one, the OnPopup events of the
    // menus that hold it run (outermost first), then the entry is clicked if it and
    // its submenus are enabled. True when the key belongs to an entry (it is consumed
    // even when the entry is disabled).
    bool DispatchShortcut(WORD key, TShiftState shift);

protected:
    explicit TMenu(bool menuBar);
    virtual void RootPopup() {}

private:
    friend class TMenuItem;
    std::unique_ptr<TMenuItem> root_;
    HWND owner_ = nullptr;
};

class TMainMenu : public TMenu {
public:
    TMainMenu() : TMenu(true) {}
};

class TPopupMenu : public TMenu {
public:
    TPopupMenu() : TMenu(false) {}

    // Opens the menu at a screen point (OnPopup runs first) and runs the chosen
    // entry's OnClick after it closes. Returns the chosen entry, or null.
    TMenuItem* Popup(int screenX, int screenY);

    // Whether a right-click on the window it is attached to opens it by itself.
    void SetAutoPopup(bool autoPopup) { autoPopup_ = autoPopup; }
    bool AutoPopup() const { return autoPopup_; }

    TNotifyEvent OnPopup;

protected:
    void RootPopup() override {
        if (OnPopup) OnPopup();
    }

private:
    bool autoPopup_ = true;
};

// Message entry points used by the framework's windows.
// WM_COMMAND from a menu: clicks the entry with this command id. True when it is ours.
bool MenuCommand(UINT command);
// WM_INITMENUPOPUP: runs OnPopup of the entry whose submenu this is. True when it is ours.
bool MenuInitPopup(HMENU menu);

} // namespace ui
