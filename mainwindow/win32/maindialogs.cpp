#include "mainwindow/win32/maindialogs.h"

#include "dialogs/frmabout.h"
#include "dialogs/frmitemedit.h"
#include "dialogs/frmopt.h"
#include "dialogs/frmpagerename.h"
#include "mainwindow/win32/frmmain.h"

namespace {

// The dialogs of the dialogs folder, owned by the main window.
class TProgramDialogs : public IMainDialogs {
public:
    bool EditItem(TItem& item) override { return ::EditItem(item, Owner()) == IDOK; }
    bool RenamePage(TDocument& document, int index) override {
        TfrmPageRename dialog(document, Owner());
        return dialog.ShowFor(index) == IDOK;
    }
    bool EditOptions(TfrmMain& main) override {
        return ShowOptions(main, main.Doc(), main.View(), main.Handle()) == IDOK;
    }
    void ShowAbout() override { ::ShowAbout(Owner()); }

private:
    static HWND Owner() { return frmMain() ? frmMain()->Handle() : nullptr; }
};

TProgramDialogs g_own;
IMainDialogs* g_dialogs = nullptr;

} // namespace

IMainDialogs& MainDialogs() {
    return g_dialogs ? *g_dialogs : g_own;
}

IMainDialogs* SetMainDialogs(IMainDialogs* dialogs) {
    IMainDialogs* previous = g_dialogs;
    g_dialogs = dialogs;
    return previous;
}
