#include "mainwindow/win32/maindialogs.h"

#include "platform/system.h"
#include "shell/common.h"
#include "version.h"

namespace {

// Stands in until the dialogs of the dialogs folder are connected: the edit,
// rename and options dialogs end as cancelled, the about box is a message box.
class TStandInDialogs : public IMainDialogs {
public:
    bool EditItem(TItem&) override { return false; }
    bool RenamePage(TLPage&) override { return false; }
    bool EditOptions(TfrmMain&) override { return false; }
    void ShowAbout() override {
        MsgBox(std::string("Kiropad Ver. ") + KIROPAD_VERSION_TEXT, "バージョン情報",
               platform::mbOk | platform::mbIconInformation);
    }
};

TStandInDialogs g_own;
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
