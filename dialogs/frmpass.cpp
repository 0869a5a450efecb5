#include "dialogs/frmpass.h"

#include "dialogs/common.h"

TfrmPass::TfrmPass(HWND owner) : ui::TDialog(IDD_PASS, owner) {
    medPass.DisableIme();
    SetMasked(true);
    OnShow = [this] {
        password_.clear();
        medPass.SetText("");
        FocusControl(medPass);
    };
    btnOk.OnClick = [this] { btnOkClick(); };
}

void TfrmPass::SetMasked(bool masked) {
    medPass.SetPasswordChar(masked ? L'*' : 0);
}

bool TfrmPass::Masked() const {
    return SendMessageW(medPass.Handle(), EM_GETPASSWORDCHAR, 0, 0) != 0;
}

void TfrmPass::btnOkClick() {
    // A password that code page 932 cannot hold could never be typed the same way again.
    std::string text;
    if (!dialogs::ReadField(medPass, text)) return;
    password_ = text;
    EndModal(IDOK);
}
