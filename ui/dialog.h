#pragma once
// Modal dialog forms made from resource templates (.rc DIALOGEX, UTF-8 with
// #pragma code_page(65001)), with typed access to their controls.
//
// The dialog window is made, hidden, when the TDialog is constructed, so that its
// controls exist from then on: a dialog class declares its controls as members
//     ui::TEdit edtName{*this, IDC_NAME};
// fills them, connects their events, and calls ShowModal. Controls on tab pages are
// found through the page: ui::TEdit edtPath{pgcMain.Page(0), IDC_PATH}.
//
// Text in and out of the controls is code page 932. Text typed into a control that
// code page 932 cannot hold is refused (GetText returns false; Text throws an
// Exception with a message for the user), never passed on with '?'.
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/pixmap.h"
#include "ui/events.h"
#include "ui/gdi.h"
#include "ui/paintbuffer.h"

namespace ui {

class TDialog;
class TDialogControl;

// A window made from a dialog template: the dialog itself or one of its tab pages.
class TDialogWindow {
public:
    virtual ~TDialogWindow();
    TDialogWindow(const TDialogWindow&) = delete;
    TDialogWindow& operator=(const TDialogWindow&) = delete;

    HWND Handle() const { return hwnd_; }
    TDialog& Dialog() { return *dialog_; }
    // The control with this id (null when there is none).
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }

protected:
    TDialogWindow() = default;
    // Makes the window from a copy of the template, hidden; a page becomes a child
    // control of parent. Throws Exception when the template is missing.
    void CreateFromTemplate(int templateId, HWND parent, bool page);
    virtual INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    TDialog* dialog_ = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
};

// A tab page: a child dialog shown over a tab control's display area.
class TDialogPage : public TDialogWindow {
public:
    TDialogPage(TDialog& dialog, int templateId);

protected:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class TDialog : public TDialogWindow {
public:
    // The window is made at once, hidden, from the template. The owner window is
    // disabled while the dialog is shown modally (null: the active window then).
    explicit TDialog(int templateId, HWND owner = nullptr);
    ~TDialog() override;

    int TemplateId() const { return templateId_; }
    void SetCaption(const std::string& caption);

    // Shows the dialog (centred on the screen) and runs its own message loop until
    // EndModal; returns the modal result (IDOK, IDCANCEL ...).
    int ShowModal();
    // Ends the modal loop with result (the dialog hides; it is destroyed with the object).
    void EndModal(int result);
    int ModalResult() const { return modalResult_; }
    bool Showing() const { return modal_; }
    // The control that gets the focus when the dialog shows (at once when it shows already).
    void FocusControl(TDialogControl& control);

    // Runs just before the dialog becomes visible.
    TNotifyEvent OnShow;
    // The key preview: every key of the dialog and its controls reaches this first
    // (setting key to 0 consumes it).
    TKeyEvent OnKeyDown;
    // F1 anywhere in the dialog (when OnKeyDown left it).
    TNotifyEvent OnHelp;

    // For in-process tests: called for every dialog once it has been shown modally,
    // from inside ShowModal; the hook can set fields, press buttons and so end the dialog.
    typedef std::function<void(TDialog& dialog)> TShownHook;
    static void SetShownHook(TShownHook hook);

protected:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    friend class TDialogControl;
    friend class TDialogPage;
    // Messages of controls (from the dialog or a page): commands, notifications, colours, drawing.
    bool ControlMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
    TDialogControl* FindControl(HWND hwnd);
    HBRUSH BrushFor(platform::TColor color);
    bool PreviewMessage(MSG& msg);
    bool PumpOne(bool wait);
    void CenterOnScreen();

    int templateId_;
    HWND owner_;
    bool modal_ = false;
    int modalResult_ = 0;
    TDialogControl* focusOnShow_ = nullptr;
    std::map<HWND, TDialogControl*> controls_;
    std::map<COLORREF, TScopedBrush> brushes_;
};

// A control of a dialog or of one of its pages, found by its id.
class TDialogControl {
public:
    // Throws Exception when the window has no control with this id.
    TDialogControl(TDialogWindow& owner, int id);
    virtual ~TDialogControl();
    TDialogControl(const TDialogControl&) = delete;
    TDialogControl& operator=(const TDialogControl&) = delete;

    HWND Handle() const { return hwnd_; }
    int Id() const { return id_; }
    TDialog& Dialog() { return dialog_; }

    void SetEnabled(bool enabled);
    bool Enabled() const;
    void SetVisible(bool visible);
    bool Visible() const;
    void SetFocus();
    // Background colour of edits, check boxes and labels (clNone: the system's).
    void SetColor(platform::TColor color);
    platform::TColor Color() const { return color_; }

protected:
    friend class TDialog;
    // WM_COMMAND notification code from the control.
    virtual void Command(WORD) {}
    virtual void Notify(NMHDR*) {}
    // WM_VSCROLL / WM_HSCROLL from the control (an up-down's arrows).
    virtual void Scroll() {}
    virtual bool DrawItem(const DRAWITEMSTRUCT&) { return false; }
    // The window text as program text: any text is taken (always true).
    bool ReadText(std::string& out) const;
    std::string CheckedText() const;
    void WriteText(const std::string& text);

    TDialog& dialog_;
    HWND hwnd_;
    int id_;
    platform::TColor color_ = clNone;
};

class TEdit : public TDialogControl {
public:
    using TDialogControl::TDialogControl;
    // False (out empty) when the text has characters code page 932 cannot hold.
    bool GetText(std::string& out) const { return ReadText(out); }
    // The text; throws Exception with a message for the user when it cannot be held.
    std::string Text() const { return CheckedText(); }
    // Runs OnChange, as typing does.
    void SetText(const std::string& text) { WriteText(text); }
    // Shows every character as c (0: as typed).
    void SetPasswordChar(wchar_t c);
    void SetReadOnly(bool readOnly);
    // No input method editor for this field (numbers, passwords).
    void DisableIme();
    void SelectAll();

    TNotifyEvent OnChange;
    TNotifyEvent OnExit;

protected:
    void Command(WORD code) override;
};

class TLabel : public TDialogControl {
public:
    using TDialogControl::TDialogControl;
    void SetText(const std::string& text) { WriteText(text); }
};

class TButton : public TDialogControl {
public:
    // A button with the id IDCANCEL ends the dialog with IDCANCEL by default.
    TButton(TDialogWindow& owner, int id);
    void SetCaption(const std::string& caption) { WriteText(caption); }
    // Presses the button as a click does (OnClick, then the modal result).
    void Click();
    // Ends the dialog with this result after OnClick (0: does not end it).
    void SetModalResult(int result) { modalResult_ = result; }
    int ModalResult() const { return modalResult_; }

    TNotifyEvent OnClick;

protected:
    void Command(WORD code) override;

private:
    int modalResult_ = 0;
};

class TCheckBox : public TDialogControl {
public:
    using TDialogControl::TDialogControl;
    bool Checked() const;
    // A change runs OnClick, as a click does.
    void SetChecked(bool checked);

    TNotifyEvent OnClick;

protected:
    void Command(WORD code) override;
};

// A combo box: a drop-down list, or an editable one (then it has a text of its own).
class TComboBox : public TDialogControl {
public:
    using TDialogControl::TDialogControl;
    void Add(const std::string& item);
    void Delete(int index);
    void Clear();
    int Count() const { return (int)items_.size(); }
    const std::string& Item(int index) const { return items_[index]; }
    // The selected entry (-1: none). Setting it runs no event.
    int ItemIndex() const;
    void SetItemIndex(int index);
    // The text of an editable combo box (or the selected entry of a list).
    bool GetText(std::string& out) const { return ReadText(out); }
    std::string Text() const { return CheckedText(); }
    void SetText(const std::string& text) { WriteText(text); }

    // The text or the selection changed.
    TNotifyEvent OnChange;
    // An entry was picked from the list.
    TNotifyEvent OnSelect;
    TNotifyEvent OnExit;

protected:
    void Command(WORD code) override;

private:
    std::vector<std::string> items_;
};

// Up-down arrows, bound in the template to the edit box before them (UDS_AUTOBUDDY,
// UDS_SETBUDDYINT), which shows the position.
class TUpDown : public TDialogControl {
public:
    using TDialogControl::TDialogControl;
    void SetRange(int minimum, int maximum);
    void SetPosition(int position);
    int Position() const;

    // The arrows changed the position.
    TNotifyEvent OnChange;

protected:
    void Scroll() override;
};

// A tab control showing one of several pages, each a child dialog from a template.
class TTabPages : public TDialogControl {
public:
    struct TPageSpec {
        std::string Caption;
        int TemplateId;
    };
    TTabPages(TDialogWindow& owner, int id, const std::vector<TPageSpec>& pages = {});

    TDialogPage& AddPage(const std::string& caption, int templateId);
    size_t PageCount() const { return pages_.size(); }
    TDialogPage& Page(size_t index) { return *pages_[index]; }
    int ActivePage() const { return active_; }
    // Shows page index and hides the others. Runs no event.
    void SetActivePage(int index);

    // The user chose another tab.
    TNotifyEvent OnChange;

protected:
    void Notify(NMHDR* header) override;

private:
    void PlacePage(TDialogPage& page);

    std::vector<std::unique_ptr<TDialogPage>> pages_;
    int active_ = -1;
};

// An owner-drawn static control (SS_OWNERDRAW) painted like a panel: colour, outer
// bevel, a picture (centred, or stretched to fit) and a caption in a font. Colour
// samples, font samples and icon previews are these.
class TDialogPanel : public TDialogControl {
public:
    using TDialogControl::TDialogControl;
    void SetCaption(const std::string& caption);
    void SetFont(const platform::TFontSpec& font);
    void SetBevelOuter(TBevelCut bevel);
    void SetPicture(const platform::TPixmap& picture);
    void ClearPicture();
    const platform::TPixmap& Picture() const { return picture_; }
    void SetStretch(bool stretch);

    // The panel as it paints, into a pixel buffer of its size.
    void PaintTo(platform::TPixmap& out);

protected:
    bool DrawItem(const DRAWITEMSTRUCT& item) override;

private:
    void PaintBand(TPaintBand& band, const platform::TRect& client);
    void Changed();

    std::string caption_;
    platform::TFontSpec font_;
    TBevelCut bevel_ = TBevelCut::None;
    platform::TPixmap picture_;
    bool stretch_ = false;
};

} // namespace ui
