#pragma once
// The about box: the program's icon, name, version and authors.
#include <windows.h>

#include "dialogs/frmabout_ids.h"
#include "ui/dialog.h"
#include "ui/font.h"

class TfrmAbout : public ui::TDialog {
public:
    explicit TfrmAbout(HWND owner = nullptr);

    ui::TDialogPanel ProgramIcon{*this, IDC_AB_ICON};
    ui::TLabel ProductName{*this, IDC_AB_PRODUCT};
    ui::TLabel Version{*this, IDC_AB_VERSION};
    ui::TLabel Author{*this, IDC_AB_AUTHOR};
    ui::TButton OKButton{*this, IDOK};

    static constexpr int kIconWidth = 65, kIconHeight = 57;

private:
    ui::TFont productFont_;
};

// Creates the about box, shows it modally, destroys it; returns the modal result.
int ShowAbout(HWND owner = nullptr);
