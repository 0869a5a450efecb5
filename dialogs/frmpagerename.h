#pragma once
// The page rename dialog: edits the name of one page of the document.
#include <windows.h>

#include "dialogs/frmpagerename_ids.h"
#include "model/document.h"
#include "ui/dialog.h"

class TfrmPageRename : public ui::TDialog {
public:
    explicit TfrmPageRename(TDocument& document, HWND owner = nullptr);

    // Shows the name of page index for editing; on OK the page has the new name
    // (an empty one too). Returns the modal result; IDCANCEL at once for a page
    // the document does not have.
    int ShowFor(int index);

    ui::TEdit edtName{*this, IDC_PR_NAME};
    ui::TButton btnHelp{*this, IDC_PR_HELP};
    ui::TButton btnOk{*this, IDOK};
    ui::TButton btnCc{*this, IDCANCEL};

private:
    void btnOkClick();

    TDocument& document_;
    int index_ = -1;
};
