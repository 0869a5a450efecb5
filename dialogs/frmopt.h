#pragma once
// The options dialog: the document's behaviour settings on tab "基本", the view
// settings on tab "外観". It works on copies until OK, checks a new page grid
// against the items the pages hold, guards the edit lock with a password, and has
// the main window rebuild itself when the grid or the look changed.
#include <windows.h>

#include <string>

#include "dialogs/frmopt_ids.h"
#include "dialogs/optionshost.h"
#include "model/document.h"
#include "model/viewdata.h"
#include "model/yfont.h"
#include "ui/commondialogs.h"
#include "ui/dialog.h"

class TfrmOpt : public ui::TDialog {
public:
    TfrmOpt(IOptionsHost& host, TDocument& document, TViewData& view, HWND owner = nullptr);

    // The defaults that the "標準" buttons put back.
    static constexpr int kDefPageBtnWidth = 171, kDefItemWidth = 84, kDefItemHeight = 76;
    static constexpr platform::TColor kDefBtnColor = platform::clBtnFace, kDefSelColor = 0x00E0E0E0,
                                      kDefBackColor = platform::clBlack;
    // More slots than this on one page are asked about first.
    static constexpr int kLargePageSlots = 200;
    static constexpr int kTabBasic = 0, kTabView = 1;

    // Something on the view side changed since the dialog was filled.
    bool ViewChanged() const { return viewChanged_; }
    // The lock as it stands in the dialog (the document's NoEdit until OK).
    bool LockState() const { return lock_; }
    // The working colours and font, shown in the samples.
    platform::TColor WorkBtnColor() const { return clBtn_; }
    platform::TColor WorkSelColor() const { return clAcBtn_; }
    platform::TColor WorkBackColor() const { return clBack_; }
    const TYFont& WorkFont() const { return workFont_; }

    ui::TTabPages pgcMain{*this, IDC_OP_TABS, {{"基本", IDD_OPTIONS_BASIC}, {"外観", IDD_OPTIONS_VIEW}}};
    ui::TButton btnOk{*this, IDOK};
    ui::TButton btnCc{*this, IDCANCEL};
    // Tab "基本".
    ui::TEdit edtNnWtPageItem{pgcMain.Page(kTabBasic), IDC_OP_PAGEW};
    ui::TEdit edtNnHtPageItem{pgcMain.Page(kTabBasic), IDC_OP_PAGEH};
    ui::TComboBox cmbExeAnd{pgcMain.Page(kTabBasic), IDC_OP_EXEAND};
    ui::TCheckBox chkTask{pgcMain.Page(kTabBasic), IDC_OP_TASK};
    ui::TCheckBox chkNoEdit{pgcMain.Page(kTabBasic), IDC_OP_NOEDIT};
    ui::TCheckBox chkShowInd{pgcMain.Page(kTabBasic), IDC_OP_SHOWIND};
    ui::TCheckBox chkAutoSave{pgcMain.Page(kTabBasic), IDC_OP_AUTOSAVE};
    ui::TCheckBox chkNoSave{pgcMain.Page(kTabBasic), IDC_OP_NOSAVE};
    ui::TCheckBox chkPreventDblExe{pgcMain.Page(kTabBasic), IDC_OP_PREVENTDBL};
    ui::TCheckBox chkNotClose{pgcMain.Page(kTabBasic), IDC_OP_NOTCLOSE};
    ui::TButton btnHelpBasic{pgcMain.Page(kTabBasic), IDC_OP_HELPBASIC};
    // Tab "外観".
    ui::TEdit edtTitle{pgcMain.Page(kTabView), IDC_OP_TITLE};
    ui::TComboBox cmbStartPos{pgcMain.Page(kTabView), IDC_OP_STARTPOS};
    ui::TEdit edtWtPageBtn{pgcMain.Page(kTabView), IDC_OP_WTPAGEBTN};
    ui::TButton btnDefWtPageBtn{pgcMain.Page(kTabView), IDC_OP_DEFWTPAGEBTN};
    ui::TEdit edtWtIbtPage{pgcMain.Page(kTabView), IDC_OP_WTIBTPAGE};
    ui::TButton btnDefWtIbtPage{pgcMain.Page(kTabView), IDC_OP_DEFWTIBTPAGE};
    ui::TEdit edtHtIbtPage{pgcMain.Page(kTabView), IDC_OP_HTIBTPAGE};
    ui::TButton btnDefHtIbtPage{pgcMain.Page(kTabView), IDC_OP_DEFHTIBTPAGE};
    ui::TDialogPanel pnlClBtn{pgcMain.Page(kTabView), IDC_OP_PNLCLBTN};
    ui::TButton btnClBtn{pgcMain.Page(kTabView), IDC_OP_CLBTN};
    ui::TButton btnDefClBtn{pgcMain.Page(kTabView), IDC_OP_DEFCLBTN};
    ui::TDialogPanel pnlClAcBtn{pgcMain.Page(kTabView), IDC_OP_PNLCLACBTN};
    ui::TButton btnClAcBtn{pgcMain.Page(kTabView), IDC_OP_CLACBTN};
    ui::TButton btnDefClAcBtn{pgcMain.Page(kTabView), IDC_OP_DEFCLACBTN};
    ui::TDialogPanel pnlClBack{pgcMain.Page(kTabView), IDC_OP_PNLCLBACK};
    ui::TButton btnClBack{pgcMain.Page(kTabView), IDC_OP_CLBACK};
    ui::TButton btnDefClBack{pgcMain.Page(kTabView), IDC_OP_DEFCLBACK};
    ui::TDialogPanel pnlGfnText{pgcMain.Page(kTabView), IDC_OP_PNLGFNTEXT};
    ui::TButton btnGfnText{pgcMain.Page(kTabView), IDC_OP_GFNTEXT};
    ui::TButton btnDefGfnText{pgcMain.Page(kTabView), IDC_OP_DEFGFNTEXT};
    ui::TCheckBox chkShowFoc{pgcMain.Page(kTabView), IDC_OP_SHOWFOC};
    ui::TButton btnDefAll{pgcMain.Page(kTabView), IDC_OP_DEFALL};
    ui::TButton btnHelpView{pgcMain.Page(kTabView), IDC_OP_HELPVIEW};

private:
    void FormShow();
    void btnOkClick();
    void chkNoEditClick();
    // A colour picker: the dialog starts with color and puts the choice back into it.
    void PickColor(platform::TColor& color);
    void btnGfnTextClick();
    void btnDefAllClick();
    void ViewChange();
    void ShowSamples();
    void SetFourthEntry(bool present);
    // Asks about and checks the new grid; true when the pages are to be re-laid.
    bool AcceptPageSize(int columns, int rows);

    IOptionsHost& host_;
    TDocument& document_;
    TViewData& view_;

    bool shown_ = false;
    bool viewChanged_ = false;
    bool lock_ = false;
    std::string password_;
    bool passwordSet_ = false;
    bool fourthEntry_ = false;
    platform::TColor clBtn_ = kDefBtnColor;
    platform::TColor clAcBtn_ = kDefSelColor;
    platform::TColor clBack_ = kDefBackColor;
    TYFont workFont_;
    ui::TColorDialog dlgColor;
    ui::TFontDialog dlgFont;
};

// Creates the options dialog, shows it modally and destroys it; returns the modal result.
int ShowOptions(IOptionsHost& host, TDocument& document, TViewData& view, HWND owner = nullptr);
