#include "dialogs/frmopt.h"

#include <climits>
#include <vector>

#include "dialogs/common.h"
#include "dialogs/frmpass.h"
#include "shell/common.h"

namespace {

const char* const kFourthEntry = "指定の位置";
const char* const kWrongPassword = "パスワードが違います。";
const char* const kTooManyItems =
    "以下のページの登録アイテムの数が多すぎるため、1ページの大きさを小さくできません。\n"
    "各ページの登録アイテムの数を";
const char* const kTooManyItemsTail = "個以内にしてください。\n\n";
const char* const kLargePage =
    "1ページの大きさをかなり大きくしようとしています。\n"
    "1ページをこの大きさにすると、かなりのシステムリソースとメモリを消費します。\n"
    "このコンピュータのシステムリソースやメモリが少ない場合、コンピュータがフリーズする恐れがあります。\n"
    "1ページの大きさを変更して宜しいですか？";
const int kSampleFontSize = 9;
const char* const kPageButtonWidthText = "ページボタンの横幅";
const char* const kItemWidthText = "アイテムの横幅";
const char* const kItemHeightText = "アイテムの高さ";

class TWaitCursor {
public:
    TWaitCursor() { platform::System().SetWaitCursor(true); }
    ~TWaitCursor() { platform::System().SetWaitCursor(false); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

} // namespace

TfrmOpt::TfrmOpt(IOptionsHost& host, TDocument& document, TViewData& view, HWND owner)
    : ui::TDialog(IDD_OPTIONS, owner), host_(host), document_(document), view_(view) {
    cmbExeAnd.Add("何もしない");
    cmbExeAnd.Add("最小化する");
    cmbExeAnd.Add("終了する");
    cmbStartPos.Add("中央");
    cmbStartPos.Add("現在の位置");
    cmbStartPos.Add("前回終了時の位置");
    edtNnWtPageItem.DisableIme();
    edtNnHtPageItem.DisableIme();
    pnlClBtn.SetBevelOuter(ui::TBevelCut::Lowered);
    pnlClAcBtn.SetBevelOuter(ui::TBevelCut::Lowered);
    pnlClBack.SetBevelOuter(ui::TBevelCut::Lowered);
    pnlGfnText.SetBevelOuter(ui::TBevelCut::Lowered);
    dlgFont.Font.Name = "ＭＳ Ｐゴシック";

    OnShow = [this] { FormShow(); };
    OnHelp = [this] {
        dialogs::ShowHelpTopic(pgcMain.ActivePage() == kTabView ? dialogs::kTopicOptionsView
                                                                : dialogs::kTopicOptionsBasic);
    };
    btnHelpBasic.OnClick = [] { dialogs::ShowHelpTopic(dialogs::kTopicOptionsBasic); };
    btnHelpView.OnClick = [] { dialogs::ShowHelpTopic(dialogs::kTopicOptionsView); };
    btnOk.OnClick = [this] { btnOkClick(); };
    chkNoEdit.OnClick = [this] { chkNoEditClick(); };

    chkShowInd.OnClick = [this] { ViewChange(); };
    chkTask.OnClick = [this] { ViewChange(); };
    edtTitle.OnChange = [this] { ViewChange(); };
    edtWtPageBtn.OnChange = [this] { ViewChange(); };
    edtWtIbtPage.OnChange = [this] { ViewChange(); };
    edtHtIbtPage.OnChange = [this] { ViewChange(); };

    btnClBtn.OnClick = [this] { PickColor(clBtn_); };
    btnClAcBtn.OnClick = [this] { PickColor(clAcBtn_); };
    btnClBack.OnClick = [this] { PickColor(clBack_); };
    btnGfnText.OnClick = [this] { btnGfnTextClick(); };

    btnDefWtPageBtn.OnClick = [this] {
        if (!shown_) return;
        edtWtPageBtn.SetText(std::to_string(kDefPageBtnWidth));
        viewChanged_ = true;
    };
    btnDefWtIbtPage.OnClick = [this] {
        if (!shown_) return;
        edtWtIbtPage.SetText(std::to_string(kDefItemWidth));
        viewChanged_ = true;
    };
    btnDefHtIbtPage.OnClick = [this] {
        if (!shown_) return;
        edtHtIbtPage.SetText(std::to_string(kDefItemHeight));
        viewChanged_ = true;
    };
    btnDefClBtn.OnClick = [this] {
        if (!shown_) return;
        clBtn_ = kDefBtnColor;
        viewChanged_ = true;
        ShowSamples();
    };
    btnDefClAcBtn.OnClick = [this] {
        if (!shown_) return;
        clAcBtn_ = kDefSelColor;
        viewChanged_ = true;
        ShowSamples();
    };
    btnDefClBack.OnClick = [this] {
        if (!shown_) return;
        clBack_ = kDefBackColor;
        viewChanged_ = true;
        ShowSamples();
    };
    btnDefGfnText.OnClick = [this] {
        if (!shown_) return;
        workFont_.SetDefault();
        viewChanged_ = true;
        ShowSamples();
    };
    btnDefAll.OnClick = [this] { btnDefAllClick(); };
}

int ShowOptions(IOptionsHost& host, TDocument& document, TViewData& view, HWND owner) {
    TfrmOpt dialog(host, document, view, owner);
    return dialog.ShowModal();
}

void TfrmOpt::SetFourthEntry(bool present) {
    if (present && !fourthEntry_) cmbStartPos.Add(kFourthEntry);
    if (!present && fourthEntry_) cmbStartPos.Delete(3);
    fourthEntry_ = present;
}

void TfrmOpt::FormShow() {
    shown_ = false;
    SetFourthEntry(view_.StartPos == spFixed);

    edtNnWtPageItem.SetText(std::to_string(document_.PageWidth));
    edtNnHtPageItem.SetText(std::to_string(document_.PageHeight));
    cmbExeAnd.SetItemIndex(document_.ExeAnd);
    cmbStartPos.SetItemIndex(view_.StartPos);
    chkAutoSave.SetChecked(document_.AutoSave);
    chkNoSave.SetChecked(document_.NoSave);
    chkShowInd.SetChecked(document_.ShowInd);
    chkTask.SetChecked(view_.Tray);
    chkPreventDblExe.SetChecked(document_.PreventDblExe);
    chkNotClose.SetChecked(document_.NotClose);

    lock_ = document_.NoEdit;
    password_ = document_.EditPassword;

    edtTitle.SetText(view_.Title);
    edtWtPageBtn.SetText(std::to_string(view_.PageBtnWidth));
    edtWtIbtPage.SetText(std::to_string(view_.ItemWidth));
    edtHtIbtPage.SetText(std::to_string(view_.ItemHeight));
    clBtn_ = view_.BtnColor;
    clAcBtn_ = view_.SelColor;
    clBack_ = view_.BackColor;
    if (view_.Font)
        workFont_.Assign(*view_.Font);
    else
        workFont_.SetDefault();
    chkShowFoc.SetChecked(view_.ShowFocus);
    ShowSamples();

    chkNoEdit.SetChecked(lock_);
    btnOk.SetEnabled(!lock_);
    passwordSet_ = false;

    pgcMain.SetActivePage(kTabBasic);
    FocusControl(edtNnWtPageItem);
    viewChanged_ = false;
    shown_ = true;
}

void TfrmOpt::ShowSamples() {
    pnlClBtn.SetColor(clBtn_);
    pnlClAcBtn.SetColor(clAcBtn_);
    pnlClBack.SetColor(clBack_);
    platform::TFontSpec sample;
    workFont_.AssignTo(&sample);
    sample.Size = kSampleFontSize;
    pnlGfnText.SetFont(sample);
    pnlGfnText.SetCaption(workFont_.Name);
}

void TfrmOpt::ViewChange() {
    if (shown_) viewChanged_ = true;
}

void TfrmOpt::chkNoEditClick() {
    if (!shown_ || chkNoEdit.Checked() == lock_) return;
    bool switchingOn = chkNoEdit.Checked();
    bool accepted = false;
    {
        TfrmPass pass(Handle());
        // A new password is chosen in plain sight; the present one is typed hidden.
        pass.SetMasked(!switchingOn);
        if (pass.ShowModal() == IDOK) {
            if (switchingOn) {
                password_ = pass.Password();
                passwordSet_ = true;
                accepted = true;
            } else if (pass.Password() == password_) {
                accepted = true;
            } else {
                MsgBox(kWrongPassword, "Kiropad", platform::mbOk | platform::mbIconError);
            }
        }
    }
    if (accepted)
        lock_ = switchingOn;
    else
        chkNoEdit.SetChecked(lock_);
    btnOk.SetEnabled(!lock_ || passwordSet_);
}

void TfrmOpt::PickColor(platform::TColor& color) {
    if (!shown_) return;
    dlgColor.Color = color;
    if (!dialogs::Pickers().ChooseColor(dlgColor, Handle())) return;
    color = dlgColor.Color;
    viewChanged_ = true;
    ShowSamples();
}

void TfrmOpt::btnGfnTextClick() {
    if (!shown_) return;
    workFont_.AssignTo(&dlgFont.Font);
    if (!dialogs::Pickers().ChooseFont(dlgFont, Handle())) return;
    workFont_.AssignFrom(&dlgFont.Font);
    viewChanged_ = true;
    ShowSamples();
}

void TfrmOpt::btnDefAllClick() {
    if (!shown_) return;
    edtTitle.SetText("Kiropad");
    cmbStartPos.SetItemIndex(spCenter);
    edtWtPageBtn.SetText(std::to_string(kDefPageBtnWidth));
    edtWtIbtPage.SetText(std::to_string(kDefItemWidth));
    edtHtIbtPage.SetText(std::to_string(kDefItemHeight));
    clBtn_ = kDefBtnColor;
    clAcBtn_ = kDefSelColor;
    clBack_ = kDefBackColor;
    workFont_.SetDefault();
    chkShowFoc.SetChecked(true);
    viewChanged_ = true;
    ShowSamples();
}

bool TfrmOpt::AcceptPageSize(int columns, int rows) {
    std::vector<std::string> tooSmall;
    if (!document_.CanResizePages(columns, rows, tooSmall)) {
        std::string text = kTooManyItems + std::to_string(columns * rows) + kTooManyItemsTail;
        for (const std::string& name : tooSmall)
            text += name + "\r\n";
        MsgBox(text, "Kiropad", platform::mbOk | platform::mbIconWarning);
        return false;
    }
    if (columns * rows > kLargePageSlots)
        return MsgBox(kLargePage, "Kiropad", platform::mbYesNo | platform::mbIconWarning) == platform::idYes;
    return true;
}

void TfrmOpt::btnOkClick() {
    TWaitCursor wait;
    // The title is stored as text: one that code page 932 cannot hold is refused
    // before anything is asked or changed.
    std::string title;
    if (!dialogs::ReadField(edtTitle, title, &pgcMain, kTabView)) return;

    int columns =
        StrToIntRange(dialogs::TextOrEmpty(edtNnWtPageItem), 1, TDocument::kMaxPageSide, document_.PageWidth);
    int rows = StrToIntRange(dialogs::TextOrEmpty(edtNnHtPageItem), 1, TDocument::kMaxPageSide,
                             document_.PageHeight);
    bool resize =
        (columns != document_.PageWidth || rows != document_.PageHeight) && AcceptPageSize(columns, rows);

    if (cmbExeAnd.ItemIndex() >= 0) document_.ExeAnd = (uint8_t)cmbExeAnd.ItemIndex();
    document_.AutoSave = chkAutoSave.Checked();
    document_.NoSave = chkNoSave.Checked();
    document_.PreventDblExe = chkPreventDblExe.Checked();
    document_.NotClose = chkNotClose.Checked();
    document_.NoEdit = lock_;
    document_.EditPassword = password_;

    if (cmbStartPos.ItemIndex() >= 0) view_.StartPos = (uint8_t)cmbStartPos.ItemIndex();
    view_.Title = title;
    view_.ShowFocus = chkShowFoc.Checked();
    if (view_.StartPos == spCurrent) {
        host_.StorePosition();
        view_.StartPos = spFixed;
    }

    // Sizes beyond what the window lays out are held to it, and the user is told.
    int pageBtnWidth = dialogs::ReadNumber(edtWtPageBtn, kPageButtonWidthText, kButtonSizeMin,
                                           kPageButtonWidthMax, view_.PageBtnWidth);
    int itemWidth = dialogs::ReadNumber(edtWtIbtPage, kItemWidthText, kButtonSizeMin, kItemButtonSizeMax,
                                        view_.ItemWidth);
    int itemHeight = dialogs::ReadNumber(edtHtIbtPage, kItemHeightText, kButtonSizeMin, kItemButtonSizeMax,
                                         view_.ItemHeight);
    if (viewChanged_) {
        document_.ShowInd = chkShowInd.Checked();
        view_.Tray = chkTask.Checked();
        view_.PageBtnWidth = pageBtnWidth;
        view_.ItemWidth = itemWidth;
        view_.ItemHeight = itemHeight;
        view_.BtnColor = clBtn_;
        view_.SelColor = clAcBtn_;
        view_.BackColor = clBack_;
        if (view_.Font)
            view_.Font->Assign(workFont_);
        else
            view_.Font = std::make_unique<TYFont>(workFont_);
    }

    if (resize)
        host_.ResizePages(columns, rows);
    else if (viewChanged_)
        host_.RebuildLayout();
    EndModal(IDOK);
}
