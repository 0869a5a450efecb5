// Modal dialog forms from a test resource template, acted on through the hook that
// runs once a dialog is shown: fields set, buttons pressed, keys typed.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/text.h"
#include "ui/dialog.h"
#include "ui/gdi.h"
#include "ui/window.h"
#include "ui_test_resources.h"
#include "ui_test_support.h"
#include "platform/exception.h"

using namespace ui;

namespace {

// A dialog as the program's dialogs are written: controls as members, events
// connected in one place.
class TfrmTest : public TDialog {
public:
    TEdit edtName{*this, IDC_UI_EDIT};
    TCheckBox chkEnabled{*this, IDC_UI_CHECK};
    TComboBox cmbState{*this, IDC_UI_COMBO};
    TEdit edtNumber{*this, IDC_UI_NUMBER};
    TUpDown updNumber{*this, IDC_UI_UPDOWN};
    TTabPages pgcMain{*this, IDC_UI_TABS, {{"基本", IDD_UI_PAGE1}, {"詳細", IDD_UI_PAGE2}}};
    TEdit edtComment{pgcMain.Page(0), IDC_UI_PAGE_EDIT};
    TCheckBox chkDetail{pgcMain.Page(1), IDC_UI_PAGE_CHECK};
    TDialogPanel pnlSample{*this, IDC_UI_SAMPLE};
    TButton btnHelp{*this, IDC_UI_HELP};
    TButton btnOk{*this, IDOK};
    TButton btnCc{*this, IDCANCEL};

    std::vector<std::string> log;
    std::string acceptedName;

    explicit TfrmTest(HWND owner = nullptr) : TDialog(IDD_UI_TEST, owner) {
        cmbState.Add("通常のウィンドウ");
        cmbState.Add("最小化");
        cmbState.Add("最大化");
        updNumber.SetRange(0, 255);
        chkEnabled.OnClick = [this] { log.push_back(chkEnabled.Checked() ? "checked" : "unchecked"); };
        edtName.OnChange = [this] { log.push_back("name changed"); };
        btnOk.OnClick = [this] { btnOkClick(); };
        OnHelp = [this] { log.push_back("help"); };
    }

    void btnOkClick() {
        std::string name;
        if (!edtName.GetText(name) || name.empty()) {
            log.push_back("refused");
            return; // the dialog stays open
        }
        acceptedName = name;
        EndModal(IDOK);
    }
};

struct THook {
    explicit THook(TDialog::TShownHook hook) { TDialog::SetShownHook(std::move(hook)); }
    ~THook() { TDialog::SetShownHook(nullptr); }
};

} // namespace

TEST(UiDialog, FieldsSetAndOkPressedThroughTheHook) {
    TForm owner;
    TfrmTest dlg(owner.Handle());
    EXPECT_FALSE(IsWindowVisible(dlg.Handle())) << "made hidden, whatever the template says";
    dlg.edtName.SetText("無題");
    dlg.cmbState.SetItemIndex(0);
    dlg.updNumber.SetPosition(3);
    dlg.log.clear();

    bool ownerDisabled = false, shownVisible = false;
    THook hook([&](TDialog& d) {
        ASSERT_EQ(&dlg, &d);
        shownVisible = IsWindowVisible(d.Handle()) != FALSE;
        ownerDisabled = !IsWindowEnabled(owner.Handle());
        dlg.edtName.SetText("設定 ファイル");
        dlg.chkEnabled.SetChecked(true);
        dlg.cmbState.SetItemIndex(2);
        dlg.updNumber.SetPosition(42);
        dlg.edtComment.SetText("コメント");
        dlg.pgcMain.SetActivePage(1);
        dlg.chkDetail.SetChecked(true);
        dlg.btnOk.Click();
    });
    EXPECT_EQ(IDOK, dlg.ShowModal());
    EXPECT_TRUE(shownVisible);
    EXPECT_TRUE(ownerDisabled) << "the owner is disabled while the dialog is up";
    EXPECT_TRUE(IsWindowEnabled(owner.Handle())) << "and enabled again afterwards";
    EXPECT_FALSE(IsWindowVisible(dlg.Handle()));

    EXPECT_EQ("設定 ファイル", dlg.acceptedName);
    EXPECT_TRUE(dlg.chkEnabled.Checked());
    EXPECT_EQ(2, dlg.cmbState.ItemIndex());
    EXPECT_EQ("最大化", dlg.cmbState.Item(2));
    EXPECT_EQ(42, dlg.updNumber.Position());
    EXPECT_EQ("42", dlg.edtNumber.Text()) << "the up-down shows its position in its edit box";
    EXPECT_EQ("コメント", dlg.edtComment.Text());
    EXPECT_TRUE(dlg.chkDetail.Checked());
    EXPECT_EQ(1, dlg.pgcMain.ActivePage());
    EXPECT_FALSE(IsWindowVisible(dlg.pgcMain.Page(0).Handle()));
    EXPECT_NE(0, GetWindowLongW(dlg.pgcMain.Page(1).Handle(), GWL_STYLE) & WS_VISIBLE);
    ASSERT_EQ(2u, dlg.log.size());
    EXPECT_EQ("name changed", dlg.log[0]);
    EXPECT_EQ("checked", dlg.log[1]) << "a change made in code runs OnClick as a click does";
}

TEST(UiDialog, OkThatRefusesKeepsTheDialogOpen) {
    TfrmTest dlg;
    THook hook([&](TDialog&) {
        dlg.edtName.SetText("");
        dlg.btnOk.Click();
        EXPECT_EQ(0, dlg.ModalResult());
        dlg.btnCc.Click(); // the cancel button ends the dialog by itself
    });
    EXPECT_EQ(IDCANCEL, dlg.ShowModal());
    EXPECT_EQ("refused", dlg.log.back());
    EXPECT_EQ("", dlg.acceptedName);
}

TEST(UiDialog, KeysTypedInTheDialog) {
    // Enter presses the default button, Escape cancels, F1 asks for help; the keys are
    // posted to the focused edit box and go through the dialog's own message loop.
    {
        TfrmTest dlg;
        dlg.edtName.SetText("名前");
        THook hook([&](TDialog&) {
            dlg.edtName.SetFocus();
            PostMessageW(dlg.edtName.Handle(), WM_KEYDOWN, VK_F1, 0);
            PostMessageW(dlg.edtName.Handle(), WM_KEYDOWN, VK_RETURN, 0);
        });
        EXPECT_EQ(IDOK, dlg.ShowModal());
        ASSERT_GE(dlg.log.size(), 1u);
        EXPECT_EQ("help", dlg.log[dlg.log.size() - 1]);
        EXPECT_EQ("名前", dlg.acceptedName);
    }
    {
        TfrmTest dlg;
        std::vector<WORD> previewed;
        dlg.OnKeyDown = [&](WORD& key, TShiftState) { previewed.push_back(key); };
        THook hook([&](TDialog&) {
            dlg.edtName.SetFocus();
            PostMessageW(dlg.edtName.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
        });
        EXPECT_EQ(IDCANCEL, dlg.ShowModal());
        ASSERT_EQ(1u, previewed.size()) << "the dialog saw the key before its control";
        EXPECT_EQ(VK_ESCAPE, previewed[0]);
    }
}

TEST(UiDialog, TextThatCodePage932CannotHoldIsTakenAndShownExactly) {
    TfrmTest dlg;
    const std::wstring korean = L"\xD55C\xAD6D\xC5B4 name \xD83D\xDE00";
    SetWindowTextW(dlg.edtName.Handle(), korean.c_str());
    std::string out = "unchanged";
    EXPECT_TRUE(dlg.edtName.GetText(out));
    EXPECT_EQ(korean, platform::Widen(out));
    EXPECT_EQ(out, dlg.edtName.Text());
    dlg.edtName.SetText("");
    dlg.edtName.SetText(out);
    wchar_t shown[64] = {};
    GetWindowTextW(dlg.edtName.Handle(), shown, 64);
    EXPECT_EQ(korean, std::wstring(shown));
    // Japanese, including characters that only code page 932 has, is fine.
    dlg.edtName.SetText("①ｶﾀｶﾅ～髙");
    EXPECT_EQ("①ｶﾀｶﾅ～髙", dlg.edtName.Text());
}

TEST(UiDialog, AnExceptionInAHandlerReachesTheExceptionHandler) {
    std::string reported;
    SetExceptionHandler([&](std::exception_ptr e) { reported = ExceptionMessage(e); });
    {
        TfrmTest dlg;
        dlg.btnHelp.OnClick = [] { throw Exception("ヘルプファイルがありません。"); };
        THook hook([&](TDialog&) {
            dlg.btnHelp.Click();
            dlg.btnCc.Click();
        });
        EXPECT_EQ(IDCANCEL, dlg.ShowModal());
    }
    SetExceptionHandler(nullptr);
    EXPECT_EQ("ヘルプファイルがありません。", reported);
}

TEST(UiDialog, ControlsAndWindowsAreAccountedFor) {
    long windows = LiveWindows(), gdi = LiveGdiObjects();
    {
        TfrmTest dlg;
        EXPECT_EQ(windows + 3, LiveWindows()) << "the dialog and its two pages";
        dlg.edtName.SetColor(platform::clBtnFace);
        dlg.edtNumber.SetColor(0x00C0FFFF);
        TWindowDC dc(dlg.edtNumber.Handle());
        HBRUSH brush = (HBRUSH)SendMessageW(dlg.Handle(), WM_CTLCOLOREDIT, (WPARAM)dc.Get(),
                                            (LPARAM)dlg.edtNumber.Handle());
        EXPECT_NE(nullptr, brush);
        EXPECT_EQ(0x00C0FFFFu, GetBkColor(dc.Get()));
        dlg.pnlSample.SetColor(0x000000FF);
        dlg.pnlSample.SetCaption("ＭＳ Ｐゴシック");
        platform::TPixmap shot;
        dlg.pnlSample.PaintTo(shot);
        EXPECT_EQ(0x00FF0000u, shot.Pixel(0, 0));
        EXPECT_THROW(TEdit(dlg, 4711), Exception) << "a control the template does not have";
    }
    EXPECT_EQ(windows, LiveWindows());
    EXPECT_EQ(gdi, LiveGdiObjects()) << "the colour brush went with the dialog";
    EXPECT_THROW(TDialog(4712), Exception) << "a template the program does not have";
}
