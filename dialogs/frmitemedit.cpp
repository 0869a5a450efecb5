#include "dialogs/frmitemedit.h"

#include <climits>

#include "dialogs/common.h"
#include "model/document.h"
#include "model/host.h"
#include "shell/common.h"
#include "shell/win32/helpers.h"
#include "ui/gdi.h"

namespace {

const char* const kProgramFilter = "全てのファイル(*.*)|*.*|アプリケーション(*.exe)|*.exe";
const char* const kHelpFilter =
    "ヘルプ(*.hlp;*.txt;*.doc;*.chm)|*.hlp;*.txt;*.doc;*.chm|全てのファイル(*.*)|*.*";
const char* const kIconFilter = "アイコンを含むファイル(*.ico;*.exe;*.dll;*.cpl)|*.ico;*.exe;*.dll;*.cpl|"
                                "全てのファイル(*.*)|*.*";
const char* const kEmptyPathMessage = "ファイルのパスを入力してください。";
const int kMaxIconNumber = 255;

// The after-launch choice that applies to items without one of their own.
int DocumentExeAnd() {
    TDocument* doc = DocumentOrNull();
    return doc ? doc->ExeAnd : eaMinimize;
}

// The icon number as typed: a decimal integer, 0 when the text is none.
int IconNumber(const std::string& text) {
    return StrToIntRange(text, INT_MIN, INT_MAX, 0);
}

class TFillGuard {
public:
    explicit TFillGuard(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
    ~TFillGuard() { flag_ = previous_; }
    TFillGuard(const TFillGuard&) = delete;
    TFillGuard& operator=(const TFillGuard&) = delete;

private:
    bool& flag_;
    bool previous_;
};

} // namespace

TfrmItemEdit::TfrmItemEdit(HWND owner) : ui::TDialog(IDD_ITEMEDIT, owner) {
    edtIcon.Add(GetWinDir(1) + "shell32.dll");
    cmbWindowState.Add("通常のウィンドウ");
    cmbWindowState.Add("最小化");
    cmbWindowState.Add("最大化");
    cmbExeAnd.Add("何もしない");
    cmbExeAnd.Add("最小化する");
    cmbExeAnd.Add("終了する");
    updIconN.SetRange(0, kMaxIconNumber);
    edtIconN.SetText("0");
    imgIcon.SetBevelOuter(ui::TBevelCut::Lowered);
    dlgOpen.Title = "ファイルの選択";

    OnShow = [this] { FormShow(); };
    OnHelp = [] { dialogs::ShowHelpTopic(dialogs::kTopicItemEdit); };
    btnHelp.OnClick = [] { dialogs::ShowHelpTopic(dialogs::kTopicItemEdit); };
    btnOk.OnClick = [this] { btnOkClick(); };
    edtPath.OnChange = [this] {
        if (!filling_) pathChanged_ = true;
    };
    edtPath.OnExit = [this] { FillFromPath(); };
    btnPathRef.OnClick = [this] { btnPathRefClick(); };
    btnIFolRef.OnClick = [this] { btnIFolRefClick(); };
    btnLFolRef.OnClick = [this] { btnLFolRefClick(); };
    btnLHelpRef.OnClick = [this] { btnLHelpRefClick(); };
    btnIconRef.OnClick = [this] { btnIconRefClick(); };
    chkIcon.OnClick = [this] { chkIconClick(); };
    chkExeAnd.OnClick = [this] { chkExeAndClick(); };
    edtIcon.OnSelect = [this] { edtIconSelect(); };
    edtIcon.OnExit = [this] {
        if (!filling_) UpdatePreview();
    };
    edtIconN.OnChange = [this] {
        if (!filling_) UpdatePreview();
    };
}

int TfrmItemEdit::ShowFor(TItem& item) {
    item_ = &item;
    {
        TFillGuard guard(filling_);
        edtPath.SetText(item.Path);
        edtName.SetText(item.Name);
        edtIFol.SetText(item.IFol);
        edtArg.SetText(item.Arg);
        edtComment.SetText(item.Comment);
        edtLFol.SetText(item.LFol);
        edtLHelp.SetText(item.LHelp);
        cmbWindowState.SetItemIndex(item.WindowState);

        chkIcon.SetChecked(!item.Icon.empty());
        edtIcon.SetText(item.Icon);
        // The arrows go up to 255 only; a larger number from the file stays as it is.
        updIconN.SetPosition(item.IconN);
        edtIconN.SetText(std::to_string(item.IconN));

        chkExeAnd.SetChecked(item.ExeAnd != eaDefault);
        if (item.ExeAnd != eaDefault) cmbExeAnd.SetItemIndex(item.ExeAnd);
    }
    pathChanged_ = false;
    ApplyIconState();
    UpdatePreview();
    ApplyExeAndState();
    return ShowModal();
}

int EditItem(TItem& item, HWND owner) {
    TfrmItemEdit dialog(owner);
    return dialog.ShowFor(item);
}

void TfrmItemEdit::FormShow() {
    pgcMain.SetActivePage(kTabBasic);
    FocusControl(edtPath);
}

void TfrmItemEdit::FillFromPath() {
    if (!pathChanged_ || filling_) return;
    std::string path;
    edtPath.GetText(path);
    platform::TPathKind kind = GetPathKind(path);
    {
        TFillGuard guard(filling_);
        // Only an empty title is filled: one the user typed stays, even one that
        // code page 932 cannot hold (OK then says so).
        if (GetWindowTextLengthW(edtName.Handle()) == 0) {
            std::string name = RemoveExt(FileNamePart(path));
            edtName.SetText(name.empty() ? path : name);
        }
        if (kind == platform::TPathKind::Folder) {
            edtIFol.SetText(path);
            edtLFol.SetText("");
            edtLHelp.SetText("");
        } else {
            std::string folder = DirectoryPart(path);
            edtIFol.SetText(folder);
            edtLFol.SetText(folder);
            std::string help = RemoveFileExt(path) + ".hlp";
            edtLHelp.SetText(GetPathKind(help) != platform::TPathKind::Missing ? help : std::string());
        }
    }
    SetAutomaticIcon();
    pathChanged_ = false;
}

void TfrmItemEdit::SetAutomaticIcon() {
    {
        TFillGuard guard(filling_);
        chkIcon.SetChecked(false);
    }
    ApplyIconState();
    UpdatePreview();
}

void TfrmItemEdit::ApplyIconState() {
    bool manual = chkIcon.Checked();
    edtIcon.SetEnabled(manual);
    btnIconRef.SetEnabled(manual);
    edtIconN.SetEnabled(manual);
    updIconN.SetEnabled(manual);
    platform::TColor color = manual ? ui::clWindow : platform::clBtnFace;
    edtIcon.SetColor(color);
    edtIconN.SetColor(color);
    if (!manual) {
        TFillGuard guard(filling_);
        edtIcon.SetText("");
        edtIconN.SetText("0");
        updIconN.SetPosition(0);
    }
}

void TfrmItemEdit::chkIconClick() {
    if (filling_) return;
    ApplyIconState();
    if (chkIcon.Checked() && dialogs::TextOrEmpty(edtIcon).empty()) {
        // Manual mode starts from the icon that was being shown.
        TFillGuard guard(filling_);
        edtIcon.SetText(autoIcon_.Location);
        updIconN.SetPosition(autoIcon_.Index);
        edtIconN.SetText(std::to_string(autoIcon_.Index));
    }
    UpdatePreview();
}

void TfrmItemEdit::ApplyExeAndState() {
    bool own = chkExeAnd.Checked();
    cmbExeAnd.SetEnabled(own);
    cmbExeAnd.SetColor(own ? ui::clWindow : platform::clBtnFace);
    if (!own || cmbExeAnd.ItemIndex() < 0) cmbExeAnd.SetItemIndex(DocumentExeAnd());
}

void TfrmItemEdit::chkExeAndClick() {
    if (filling_) return;
    ApplyExeAndState();
}

void TfrmItemEdit::edtIconSelect() {
    if (filling_) return;
    // While the selection changes the combo box still shows the old text.
    int index = edtIcon.ItemIndex();
    if (index >= 0 && index < edtIcon.Count()) {
        TFillGuard guard(filling_);
        edtIcon.SetText(edtIcon.Item(index));
    }
    UpdatePreview();
}

void TfrmItemEdit::UpdatePreview() {
    std::string iconFile = dialogs::TextOrEmpty(edtIcon);
    if (!iconFile.empty()) {
        LoadIndexedIcon(preview_, iconFile, IconNumber(dialogs::TextOrEmpty(edtIconN)));
    } else {
        LoadFileIcon(preview_, dialogs::TextOrEmpty(edtPath), &autoIcon_);
    }
    if (preview_.HasIcon())
        imgIcon.SetPicture(dialogs::IconPicture(preview_.Image(), ui::ColorToPixel(platform::clBtnFace)));
    else
        imgIcon.ClearPicture();
}

bool TfrmItemEdit::BrowseFile(const char* title, const char* filter, const char* ext, const std::string& file,
                              const std::string& fallbackFolderOf) {
    dlgOpen.Title = title;
    dlgOpen.Filter = filter;
    dlgOpen.FilterIndex = 1;
    dlgOpen.DefaultExt = ext;
    dlgOpen.InitialDir = DirectoryPart(file.empty() ? fallbackFolderOf : file);
    dlgOpen.FileName = FileNamePart(file);
    return dialogs::Pickers().OpenFile(dlgOpen, Handle());
}

void TfrmItemEdit::btnPathRefClick() {
    std::string path = dialogs::TextOrEmpty(edtPath);
    if (!BrowseFile("ファイルの選択", kProgramFilter, "exe", path, path)) return;
    edtPath.SetText(dlgOpen.FileName);
    pathChanged_ = true;
    FillFromPath();
}

void TfrmItemEdit::btnLHelpRefClick() {
    if (!BrowseFile("関連ヘルプの選択", kHelpFilter, "hlp", dialogs::TextOrEmpty(edtLHelp),
                    dialogs::TextOrEmpty(edtPath)))
        return;
    edtLHelp.SetText(dlgOpen.FileName);
}

void TfrmItemEdit::btnIconRefClick() {
    if (!BrowseFile("アイコンの選択", kIconFilter, "exe", dialogs::TextOrEmpty(edtIcon),
                    dialogs::TextOrEmpty(edtPath)))
        return;
    {
        TFillGuard guard(filling_);
        edtIcon.SetText(dlgOpen.FileName);
    }
    UpdatePreview();
}

void TfrmItemEdit::btnIFolRefClick() {
    std::string folder = dialogs::Pickers().BrowseFolder(Handle(), "初期化フォルダを選んでください。",
                                                         dialogs::TextOrEmpty(edtIFol));
    if (!folder.empty()) edtIFol.SetText(folder);
}

void TfrmItemEdit::btnLFolRefClick() {
    std::string folder = dialogs::Pickers().BrowseFolder(Handle(), "所属フォルダを選んでください。",
                                                         dialogs::TextOrEmpty(edtLFol));
    if (!folder.empty()) edtLFol.SetText(folder);
}

void TfrmItemEdit::btnOkClick() {
    FillFromPath();
    ui::TTabPages* pages = &pgcMain;
    std::string path, name, ifol, arg, comment, lfol, lhelp, icon;
    if (!dialogs::ReadField(edtPath, path, pages, kTabBasic)) return;
    if (path.empty()) {
        pgcMain.SetActivePage(kTabBasic);
        MsgBox(kEmptyPathMessage, "Kiropad", platform::mbOk | platform::mbIconWarning);
        edtPath.SetFocus();
        return;
    }
    // Every text is read before anything is stored: a refused one leaves the item as it was.
    if (!dialogs::ReadField(edtName, name, pages, kTabBasic) ||
        !dialogs::ReadField(edtIFol, ifol, pages, kTabBasic) ||
        !dialogs::ReadField(edtArg, arg, pages, kTabBasic) ||
        !dialogs::ReadField(edtComment, comment, pages, kTabBasic) ||
        !dialogs::ReadField(edtLFol, lfol, pages, kTabDetail) ||
        !dialogs::ReadField(edtLHelp, lhelp, pages, kTabDetail) ||
        !dialogs::ReadField(edtIcon, icon, pages, kTabDetail))
        return;

    TItem& item = *item_;
    item.Path = path;
    item.Name = name;
    item.IFol = ifol;
    item.Arg = arg;
    item.Comment = comment;
    item.LFol = lfol;
    item.LHelp = lhelp;
    int state = cmbWindowState.ItemIndex();
    if (state >= 0) item.WindowState = (uint8_t)state;
    item.Icon = icon;
    item.IconN = IconNumber(dialogs::TextOrEmpty(edtIconN));
    int exeAnd = cmbExeAnd.ItemIndex();
    item.ExeAnd = chkExeAnd.Checked() && exeAnd >= 0 ? (int8_t)exeAnd : eaDefault;
    item.RefreshIcon(false);
    EndModal(IDOK);
}
