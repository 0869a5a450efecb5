#include "dialogs/frmpagerename.h"

#include "dialogs/common.h"

TfrmPageRename::TfrmPageRename(TDocument& document, HWND owner)
    : ui::TDialog(IDD_PAGERENAME, owner), document_(document) {
    OnShow = [this] {
        edtName.SetText(document_.Pages[(size_t)index_]->Name);
        edtName.SelectAll();
        FocusControl(edtName);
    };
    OnHelp = [] { dialogs::ShowHelpTopic(dialogs::kTopicPageMenu); };
    btnHelp.OnClick = [] { dialogs::ShowHelpTopic(dialogs::kTopicPageMenu); };
    btnOk.OnClick = [this] { btnOkClick(); };
}

int TfrmPageRename::ShowFor(int index) {
    if (index < 0 || index >= (int)document_.Pages.size()) return IDCANCEL;
    index_ = index;
    return ShowModal();
}

void TfrmPageRename::btnOkClick() {
    std::string name;
    if (!dialogs::ReadField(edtName, name)) return;
    document_.Pages[(size_t)index_]->Name = name;
    EndModal(IDOK);
}
