#include "ui/dialog.h"

#include <commctrl.h>
#include <imm.h>

#include <algorithm>
#include <cstring>

#include "platform/text.h"
#include "ui/font.h"
#include "platform/exception.h"

namespace ui {

namespace {

TDialog::TShownHook& ShownHook() {
    static TDialog::TShownHook hook;
    return hook;
}

void EnsureCommonControls() {
    static bool done = false;
    if (done) return;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS |
                                                 ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    done = true;
}

bool IsDialogTemplateEx(const void* data) {
    const WORD* w = static_cast<const WORD*>(data);
    return w[0] == 1 && w[1] == 0xFFFF;
}

} // namespace

// ---------------------------------------------------------------------------------
// TDialogWindow

TDialogWindow::~TDialogWindow() {
    if (!hwnd_) return;
    // The object is half gone: no message may reach it while the window goes.
    HWND hwnd = hwnd_;
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    hwnd_ = nullptr;
    detail::CountWindowDestroyed();
    DestroyWindow(hwnd);
}

void TDialogWindow::CreateFromTemplate(int templateId, HWND parent, bool page) {
    EnsureCommonControls();
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HRSRC resource =
        FindResourceW(instance, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    DWORD size = resource ? SizeofResource(instance, resource) : 0;
    if (!data || size < 18 || size > (1u << 20))
        throw Exception("ダイアログのテンプレート " + std::to_string(templateId) + " がありません。");

    // A copy, DWORD-aligned as templates must be, in which the dialog is made hidden
    // (and a page a child control), whatever the template says.
    std::vector<DWORD> copy(((size_t)size + 3) / 4);
    std::memcpy(copy.data(), data, (size_t)size);
    bool ex = IsDialogTemplateEx(copy.data());
    BYTE* bytes = reinterpret_cast<BYTE*>(copy.data());
    DWORD* style = reinterpret_cast<DWORD*>(bytes + (ex ? 12 : 0));
    *style &= ~WS_VISIBLE;
    if (page) {
        *style &= ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME | WS_BORDER);
        *style |= WS_CHILD | DS_CONTROL;
    }
    HWND hwnd = CreateDialogIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(copy.data()), parent,
                                           DialogProc, reinterpret_cast<LPARAM>(this));
    if (!hwnd) throw Exception("ダイアログ " + std::to_string(templateId) + " を作成できませんでした。");
}

INT_PTR CALLBACK TDialogWindow::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    TDialogWindow* self;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<TDialogWindow*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
        detail::CountWindowCreated();
        return TRUE;
    }
    self = reinterpret_cast<TDialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self) return FALSE;
    INT_PTR result = FALSE;
    try {
        result = self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        HandleException(std::current_exception());
        result = TRUE;
    }
    // Destroyed from outside (a page goes with its dialog). Dialogs are sure to get
    // WM_DESTROY; under Wine WM_NCDESTROY never reaches the dialog procedure.
    if (message == WM_DESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
        detail::CountWindowDestroyed();
    }
    return result;
}

// ---------------------------------------------------------------------------------
// TDialogPage

TDialogPage::TDialogPage(TDialog& dialog, int templateId) {
    dialog_ = &dialog;
    CreateFromTemplate(templateId, dialog.Handle(), true);
}

INT_PTR TDialogPage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = FALSE;
    if (dialog_->ControlMessage(message, wParam, lParam, result)) return result;
    return FALSE;
}

// ---------------------------------------------------------------------------------
// TDialog

TDialog::TDialog(int templateId, HWND owner) : templateId_(templateId), owner_(owner) {
    dialog_ = this;
    CreateFromTemplate(templateId, owner, false);
}

TDialog::~TDialog() {
    OnShow = nullptr;
    OnKeyDown = nullptr;
    OnHelp = nullptr;
}

void TDialog::SetShownHook(TShownHook hook) {
    ShownHook() = std::move(hook);
}

void TDialog::SetCaption(const std::string& caption) {
    if (Handle()) SetWindowTextW(Handle(), platform::Widen(caption).c_str());
}

void TDialog::FocusControl(TDialogControl& control) {
    if (modal_ && IsWindowVisible(Handle()))
        control.SetFocus();
    else
        focusOnShow_ = &control;
}

void TDialog::EndModal(int result) {
    modalResult_ = result == 0 ? IDCANCEL : result;
}

void TDialog::CenterOnScreen() {
    RECT r;
    GetWindowRect(Handle(), &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int TDialog::ShowModal() {
    if (!Handle() || modal_) return IDCANCEL;
    HWND owner = owner_ ? owner_ : GetActiveWindow();
    if (owner == Handle()) owner = nullptr;
    bool disabledOwner = owner && IsWindowEnabled(owner);
    modalResult_ = 0;
    modal_ = true;
    struct TModalEnd { // the owner comes back however the loop ends
        TDialog& d;
        HWND owner;
        bool enable;
        ~TModalEnd() {
            if (enable) EnableWindow(owner, TRUE);
            if (d.Handle()) {
                ShowWindow(d.Handle(), SW_HIDE);
                if (owner) SetActiveWindow(owner);
            }
            d.modal_ = false;
        }
    } end{*this, owner, disabledOwner};

    if (OnShow) OnShow();
    if (disabledOwner) EnableWindow(owner, FALSE);
    CenterOnScreen();
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    if (focusOnShow_) {
        focusOnShow_->SetFocus();
        focusOnShow_ = nullptr;
    }
    if (ShownHook() && !modalResult_) {
        while (!modalResult_ && PumpOne(false)) {
        }
        if (!modalResult_) ShownHook()(*this);
    }
    while (!modalResult_ && PumpOne(true)) {
    }
    return modalResult_ ? modalResult_ : IDCANCEL;
}

// Takes one message (waiting for it when wait is set) and handles it. False when
// there was none, or the loop must end (WM_QUIT, which is posted again for the
// loop outside).
bool TDialog::PumpOne(bool wait) {
    MSG msg;
    if (wait) {
        BOOL r = GetMessageW(&msg, nullptr, 0, 0);
        if (r == -1) return false;
        if (r == 0) {
            PostQuitMessage((int)msg.wParam);
            modalResult_ = IDCANCEL;
            return false;
        }
    } else if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    } else if (msg.message == WM_QUIT) {
        PostQuitMessage((int)msg.wParam);
        modalResult_ = IDCANCEL;
        return false;
    }
    bool handled = false;
    try {
        handled = PreviewMessage(msg);
    } catch (...) {
        HandleException(std::current_exception());
        handled = true;
    }
    if (!handled && !(Handle() && IsDialogMessageW(Handle(), &msg))) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

bool TDialog::PreviewMessage(MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    if (msg.hwnd != Handle() && !IsChild(Handle(), msg.hwnd)) return false;
    WORD key = (WORD)msg.wParam;
    if (OnKeyDown) {
        OnKeyDown(key, KeyMessageShiftState(msg.message, msg.lParam));
        if (key == 0) return true;
    }
    if (key == VK_F1 && OnHelp) {
        OnHelp();
        return true;
    }
    msg.wParam = key;
    return false;
}

TDialogControl* TDialog::FindControl(HWND hwnd) {
    auto it = controls_.find(hwnd);
    return it == controls_.end() ? nullptr : it->second;
}

HBRUSH TDialog::BrushFor(platform::TColor color) {
    if (platform::IsSystemColor(color)) return GetSysColorBrush((int)(color & 0xFF));
    COLORREF rgb = ColorToRGB(color);
    auto it = brushes_.find(rgb);
    if (it == brushes_.end()) it = brushes_.emplace(rgb, TScopedBrush(CreateSolidBrush(rgb))).first;
    return it->second.Get();
}

bool TDialog::ControlMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
    case WM_COMMAND: {
        HWND from = reinterpret_cast<HWND>(lParam);
        WORD id = LOWORD(wParam);
        // Enter and Escape arrive without a control when the dialog has no such button.
        if (!from && (id == IDOK || id == IDCANCEL)) from = GetDlgItem(Handle(), id);
        if (TDialogControl* c = FindControl(from)) {
            c->Command(HIWORD(wParam));
        } else if (id == IDOK || id == IDCANCEL) {
            EndModal(id);
        } else {
            return false;
        }
        result = TRUE;
        return true;
    }
    case WM_NOTIFY: {
        NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
        TDialogControl* c = FindControl(header->hwndFrom);
        if (!c) return false;
        c->Notify(header);
        result = TRUE;
        return true;
    }
    case WM_VSCROLL:
    case WM_HSCROLL: {
        TDialogControl* c = FindControl(reinterpret_cast<HWND>(lParam));
        if (!c) return false;
        c->Scroll();
        result = TRUE;
        return true;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: {
        HWND from = reinterpret_cast<HWND>(lParam);
        TDialogControl* c = FindControl(from);
        // The edit field of an editable combo box asks for the combo box's colour.
        if (!c) c = FindControl(GetParent(from));
        if (!c || c->color_ == clNone) return false;
        SetBkColor(reinterpret_cast<HDC>(wParam), ColorToRGB(c->color_));
        result = reinterpret_cast<INT_PTR>(BrushFor(c->color_));
        return true;
    }
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        TDialogControl* c = FindControl(item->hwndItem);
        if (!c || !c->DrawItem(*item)) return false;
        result = TRUE;
        return true;
    }
    }
    return false;
}

INT_PTR TDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = FALSE;
    if (ControlMessage(message, wParam, lParam, result)) return result;
    switch (message) {
    case WM_CLOSE:
        EndModal(IDCANCEL);
        return TRUE;
    case WM_HELP:
        if (OnHelp) {
            OnHelp();
            return TRUE;
        }
        break;
    }
    return FALSE;
}

// ---------------------------------------------------------------------------------
// TDialogControl

TDialogControl::TDialogControl(TDialogWindow& owner, int id)
    : dialog_(owner.Dialog()), hwnd_(owner.Item(id)), id_(id) {
    if (!hwnd_) throw Exception("ダイアログにコントロール " + std::to_string(id) + " がありません。");
    dialog_.controls_[hwnd_] = this;
}

TDialogControl::~TDialogControl() {
    dialog_.controls_.erase(hwnd_);
    if (dialog_.focusOnShow_ == this) dialog_.focusOnShow_ = nullptr;
}

void TDialogControl::SetEnabled(bool enabled) {
    EnableWindow(hwnd_, enabled);
}
bool TDialogControl::Enabled() const {
    return IsWindowEnabled(hwnd_) != FALSE;
}
void TDialogControl::SetVisible(bool visible) {
    ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
}
bool TDialogControl::Visible() const {
    return (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void TDialogControl::SetFocus() {
    // WM_NEXTDLGCTL keeps the dialog's default button and its own focus record right.
    HWND top = GetAncestor(hwnd_, GA_ROOT);
    SendMessageW(top, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hwnd_), TRUE);
}

void TDialogControl::SetColor(platform::TColor color) {
    if (color == color_) return;
    color_ = color;
    InvalidateRect(hwnd_, nullptr, TRUE);
}

bool TDialogControl::ReadText(std::string& out) const {
    int length = GetWindowTextLengthW(hwnd_);
    std::wstring text(length + 1, L'\0');
    int got = GetWindowTextW(hwnd_, &text[0], length + 1);
    text.resize(got > 0 ? got : 0);
    out = platform::FromWide(text); // any text: what code page 932 lacks is kept exact
    return true;
}

std::string TDialogControl::CheckedText() const {
    std::string out;
    ReadText(out);
    return out;
}

void TDialogControl::WriteText(const std::string& text) {
    SetWindowTextW(hwnd_, platform::Widen(text).c_str());
}

// ---------------------------------------------------------------------------------
// Controls

void TEdit::SetPasswordChar(wchar_t c) {
    SendMessageW(hwnd_, EM_SETPASSWORDCHAR, c, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void TEdit::SetReadOnly(bool readOnly) {
    SendMessageW(hwnd_, EM_SETREADONLY, readOnly, 0);
}

void TEdit::DisableIme() {
    ImmAssociateContext(hwnd_, nullptr);
}

void TEdit::SelectAll() {
    SendMessageW(hwnd_, EM_SETSEL, 0, -1);
}

void TEdit::Command(WORD code) {
    if (code == EN_CHANGE && OnChange) OnChange();
    if (code == EN_KILLFOCUS && OnExit) OnExit();
}

TButton::TButton(TDialogWindow& owner, int id)
    : TDialogControl(owner, id), modalResult_(id == IDCANCEL ? IDCANCEL : 0) {}

void TButton::Click() {
    SendMessageW(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(id_, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd_));
}

void TButton::Command(WORD code) {
    if (code != BN_CLICKED) return;
    if (OnClick) OnClick();
    if (modalResult_) dialog_.EndModal(modalResult_);
}

bool TCheckBox::Checked() const {
    return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TCheckBox::SetChecked(bool checked) {
    if (checked == Checked()) return;
    SendMessageW(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (OnClick) OnClick();
}

void TCheckBox::Command(WORD code) {
    if (code == BN_CLICKED && OnClick) OnClick();
}

void TComboBox::Add(const std::string& item) {
    items_.push_back(item);
    SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::Widen(item).c_str()));
}

void TComboBox::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    items_.erase(items_.begin() + index);
    SendMessageW(hwnd_, CB_DELETESTRING, index, 0);
}

void TComboBox::Clear() {
    items_.clear();
    SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
}

int TComboBox::ItemIndex() const {
    return (int)SendMessageW(hwnd_, CB_GETCURSEL, 0, 0);
}

void TComboBox::SetItemIndex(int index) {
    SendMessageW(hwnd_, CB_SETCURSEL, index, 0);
}

void TComboBox::Command(WORD code) {
    switch (code) {
    case CBN_SELCHANGE:
        if (OnSelect) OnSelect();
        if (OnChange) OnChange();
        break;
    case CBN_EDITCHANGE:
        if (OnChange) OnChange();
        break;
    case CBN_KILLFOCUS:
        if (OnExit) OnExit();
        break;
    }
}

void TUpDown::SetRange(int minimum, int maximum) {
    SendMessageW(hwnd_, UDM_SETRANGE32, minimum, maximum);
}

void TUpDown::SetPosition(int position) {
    SendMessageW(hwnd_, UDM_SETPOS32, 0, position);
}

int TUpDown::Position() const {
    return (int)SendMessageW(hwnd_, UDM_GETPOS32, 0, 0);
}

void TUpDown::Scroll() {
    if (OnChange) OnChange();
}

TTabPages::TTabPages(TDialogWindow& owner, int id, const std::vector<TPageSpec>& pages)
    : TDialogControl(owner, id) {
    // The pages lie over the tab control: it must not paint over them.
    SetWindowLongW(hwnd_, GWL_STYLE, GetWindowLongW(hwnd_, GWL_STYLE) | WS_CLIPSIBLINGS);
    for (const TPageSpec& p : pages)
        AddPage(p.Caption, p.TemplateId);
    if (!pages_.empty()) SetActivePage(0);
}

TDialogPage& TTabPages::AddPage(const std::string& caption, int templateId) {
    std::wstring text = platform::Widen(caption);
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(hwnd_, TCM_INSERTITEMW, pages_.size(), reinterpret_cast<LPARAM>(&item));
    pages_.emplace_back(new TDialogPage(dialog_, templateId));
    PlacePage(*pages_.back());
    return *pages_.back();
}

void TTabPages::PlacePage(TDialogPage& page) {
    RECT r;
    GetWindowRect(hwnd_, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
    SendMessageW(hwnd_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    // Just above the tab control in the z-order: in front of it, and next to it in the tab order.
    HWND before = GetWindow(hwnd_, GW_HWNDPREV);
    SetWindowPos(page.Handle(), before ? before : HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOACTIVATE);
}

void TTabPages::SetActivePage(int index) {
    if (index < 0 || index >= (int)pages_.size()) return;
    active_ = index;
    SendMessageW(hwnd_, TCM_SETCURSEL, index, 0);
    for (size_t i = 0; i < pages_.size(); ++i)
        ShowWindow(pages_[i]->Handle(), (int)i == index ? SW_SHOW : SW_HIDE);
}

void TTabPages::Notify(NMHDR* header) {
    if (header->code != TCN_SELCHANGE) return;
    SetActivePage((int)SendMessageW(hwnd_, TCM_GETCURSEL, 0, 0));
    if (OnChange) OnChange();
}

void TDialogPanel::Changed() {
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void TDialogPanel::SetCaption(const std::string& caption) {
    caption_ = caption;
    Changed();
}

void TDialogPanel::SetFont(const platform::TFontSpec& font) {
    font_ = font;
    Changed();
}

void TDialogPanel::SetBevelOuter(TBevelCut bevel) {
    bevel_ = bevel;
    Changed();
}

void TDialogPanel::SetPicture(const platform::TPixmap& picture) {
    picture_ = picture;
    Changed();
}

void TDialogPanel::ClearPicture() {
    picture_ = platform::TPixmap();
    Changed();
}

void TDialogPanel::SetStretch(bool stretch) {
    stretch_ = stretch;
    Changed();
}

void TDialogPanel::PaintBand(TPaintBand& band, const platform::TRect& client) {
    band.FillRect(client, ColorToPixel(color_ == clNone ? platform::clBtnFace : color_));
    band.Bevel(client, bevel_, 1);
    int inset = bevel_ == TBevelCut::None ? 0 : 1;
    platform::TRect inner(client.Left + inset, client.Top + inset, client.Right - inset,
                          client.Bottom - inset);
    if (!picture_.Empty()) {
        if (stretch_) {
            platform::TPixmap scaled(inner.Width(), inner.Height());
            scaled.StretchCopy(platform::TRect(0, 0, inner.Width(), inner.Height()), picture_,
                               platform::TRect(0, 0, picture_.Width(), picture_.Height()),
                               platform::kSrcCopy);
            band.Blit(scaled, inner.Left, inner.Top, inner);
        } else {
            band.Blit(picture_, inner.Left + (inner.Width() - picture_.Width()) / 2,
                      inner.Top + (inner.Height() - picture_.Height()) / 2, inner);
        }
    }
    if (caption_.empty()) return;
    TFont font(font_);
    TSelectObject selected(band.DC(), font.Handle());
    SetBkMode(band.DC(), TRANSPARENT);
    SetTextColor(band.DC(), ColorToRGB(font_.Color));
    RECT r = ToRECT(inner);
    std::wstring text = platform::Widen(caption_);
    DrawTextW(band.DC(), text.c_str(), (int)text.size(), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void TDialogPanel::PaintTo(platform::TPixmap& out) {
    RECT r;
    GetClientRect(hwnd_, &r);
    platform::TRect client = FromRECT(r);
    PaintToPixmap(out, client, [this, client](TPaintBand& band) { PaintBand(band, client); });
}

bool TDialogPanel::DrawItem(const DRAWITEMSTRUCT& item) {
    platform::TRect client = FromRECT(item.rcItem);
    PaintBuffered(item.hDC, client, [this, client](TPaintBand& band) { PaintBand(band, client); });
    return true;
}

} // namespace ui
