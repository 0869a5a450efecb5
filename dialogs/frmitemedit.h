#pragma once
// The item edit dialog: every field of one item on two tabs, with a live preview
// of its icon. The item is written only on OK, all fields at once.
#include <windows.h>

#include <string>

#include "dialogs/frmitemedit_ids.h"
#include "model/iconlist.h"
#include "model/item.h"
#include "platform/system.h"
#include "ui/commondialogs.h"
#include "ui/dialog.h"

class TfrmItemEdit : public ui::TDialog {
public:
    explicit TfrmItemEdit(HWND owner = nullptr);

    // Fills the dialog from item and shows it modally; on OK the item holds the
    // new fields and has evaluated its icon again. Returns the modal result
    // (IDOK or IDCANCEL).
    int ShowFor(TItem& item);

    // The path text changed (typed or browsed) since the fields were last filled from it.
    bool PathChanged() const { return pathChanged_; }
    // Where the shell found the icon that the automatic preview shows last.
    const platform::TIconPInfo& AutoIconInfo() const { return autoIcon_; }
    // The icon the preview shows.
    const TIconPicture& Preview() const { return preview_; }

    static constexpr int kTabBasic = 0, kTabDetail = 1;

    ui::TDialogPanel imgIcon{*this, IDC_IE_ICON};
    ui::TButton btnHelp{*this, IDC_IE_HELP};
    ui::TTabPages pgcMain{*this, IDC_IE_TABS, {{"基本", IDD_ITEMEDIT_BASIC}, {"詳細", IDD_ITEMEDIT_DETAIL}}};
    ui::TButton btnOk{*this, IDOK};
    ui::TButton btnCc{*this, IDCANCEL};
    // Tab "基本".
    ui::TEdit edtPath{pgcMain.Page(kTabBasic), IDC_IE_PATH};
    ui::TButton btnPathRef{pgcMain.Page(kTabBasic), IDC_IE_PATHREF};
    ui::TEdit edtName{pgcMain.Page(kTabBasic), IDC_IE_NAME};
    ui::TEdit edtIFol{pgcMain.Page(kTabBasic), IDC_IE_IFOL};
    ui::TButton btnIFolRef{pgcMain.Page(kTabBasic), IDC_IE_IFOLREF};
    ui::TEdit edtArg{pgcMain.Page(kTabBasic), IDC_IE_ARG};
    ui::TEdit edtComment{pgcMain.Page(kTabBasic), IDC_IE_COMMENT};
    // Tab "詳細".
    ui::TEdit edtLFol{pgcMain.Page(kTabDetail), IDC_IE_LFOL};
    ui::TButton btnLFolRef{pgcMain.Page(kTabDetail), IDC_IE_LFOLREF};
    ui::TEdit edtLHelp{pgcMain.Page(kTabDetail), IDC_IE_LHELP};
    ui::TButton btnLHelpRef{pgcMain.Page(kTabDetail), IDC_IE_LHELPREF};
    ui::TComboBox cmbWindowState{pgcMain.Page(kTabDetail), IDC_IE_WINDOWSTATE};
    ui::TCheckBox chkIcon{pgcMain.Page(kTabDetail), IDC_IE_ICONCHK};
    ui::TComboBox edtIcon{pgcMain.Page(kTabDetail), IDC_IE_ICONFILE};
    ui::TButton btnIconRef{pgcMain.Page(kTabDetail), IDC_IE_ICONREF};
    ui::TEdit edtIconN{pgcMain.Page(kTabDetail), IDC_IE_ICONN};
    ui::TUpDown updIconN{pgcMain.Page(kTabDetail), IDC_IE_ICONUPD};
    ui::TCheckBox chkExeAnd{pgcMain.Page(kTabDetail), IDC_IE_EXEANDCHK};
    ui::TComboBox cmbExeAnd{pgcMain.Page(kTabDetail), IDC_IE_EXEAND};

private:
    void FormShow();
    void btnOkClick();
    void btnPathRefClick();
    void btnIFolRefClick();
    void btnLFolRefClick();
    void btnLHelpRefClick();
    void btnIconRefClick();
    void chkIconClick();
    void chkExeAndClick();
    void edtIconSelect();

    // Fills title, folders, help file and preview from the path, when it changed.
    void FillFromPath();
    void ApplyIconState();
    void ApplyExeAndState();
    void UpdatePreview();
    // Unchecks the manual icon box with all that follows from it.
    void SetAutomaticIcon();
    // Runs the open-file dialog; true with the chosen file in dlgOpen.FileName.
    bool BrowseFile(const char* title, const char* filter, const char* ext, const std::string& file,
                    const std::string& fallbackFolderOf);

    TItem* item_ = nullptr;
    bool pathChanged_ = false;
    // While the dialog fills its own controls, their events change nothing.
    bool filling_ = false;
    platform::TIconPInfo autoIcon_;
    TIconPicture preview_;
    ui::TOpenDialog dlgOpen;
};

// Edits item in the item edit dialog, owned by owner; returns the modal result.
int EditItem(TItem& item, HWND owner = nullptr);
