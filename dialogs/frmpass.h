#pragma once
// The password entry dialog of the edit lock: one entry, shown as typed or as
// asterisks as the caller asks; it starts empty every time it shows.
#include <windows.h>

#include <string>

#include "dialogs/frmpass_ids.h"
#include "ui/dialog.h"

class TfrmPass : public ui::TDialog {
public:
    explicit TfrmPass(HWND owner = nullptr);

    // Every character as '*' (the default), or as typed.
    void SetMasked(bool masked);
    bool Masked() const;
    // The text entered, once the dialog ended with OK.
    const std::string& Password() const { return password_; }

    ui::TEdit medPass{*this, IDC_PS_PASS};
    ui::TButton btnOk{*this, IDOK};
    ui::TButton btnCc{*this, IDCANCEL};

private:
    void btnOkClick();

    std::string password_;
};
