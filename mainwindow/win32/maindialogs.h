#pragma once
// The dialogs the main window opens, behind small interfaces: the window is above
// the dialogs in the dependency order and tests answer the dialogs themselves.
// Each call creates the dialog, shows it modally and destroys it; true means that
// it ended with OK.
class TItem;
class TLPage;
class TfrmMain;

// The item edit dialog for one item.
class IItemEditor {
public:
    virtual ~IItemEditor() = default;
    virtual bool EditItem(TItem& item) = 0;
};

class IMainDialogs : public IItemEditor {
public:
    // The page rename dialog for one page.
    virtual bool RenamePage(TLPage& page) = 0;
    // The options dialog; on OK it has stored the options and rebuilt the window as needed.
    virtual bool EditOptions(TfrmMain& main) = 0;
    virtual void ShowAbout() = 0;
};

// The dialogs in use (never null): the program's own unless replaced.
IMainDialogs& MainDialogs();
// Replaces them (null: back to the program's own); returns the ones replaced.
IMainDialogs* SetMainDialogs(IMainDialogs* dialogs);
