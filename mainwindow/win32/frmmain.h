#pragma once
// The main window: a column of page buttons, the grid of item buttons of the
// selected page, the row of independent items and a status bar, with the menus,
// keys, timers and window behaviours of the launcher. It owns the view settings
// and the document, and is the model's host (model/host.h).
//
// Item buttons and page buttons are windowless controls on three host panels, taken
// from pools and given back on every rebuild: the number of windows and GDI objects
// does not grow with items, pages or rebuilds.
//
// The application's taskbar window of the launcher is the main window's own taskbar
// button: the window is owned by the application's hidden window, so it gets a
// button only through WS_EX_APPWINDOW, which the notification-area mode takes away.
#include <windows.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/optionshost.h"
#include "mainwindow/win32/commands.h"
#include "mainwindow/layout.h"
#include "mainwindow/win32/droppanel.h"
#include "mainwindow/win32/itembutton.h"
#include "mainwindow/win32/mainmenus.h"
#include "mainwindow/win32/pagecolumn.h"
#include "model/document.h"
#include "model/host.h"
#include "model/viewdata.h"
#include "mainwindow/itemface.h"
#include "shell/win32/scmake.h"
#include "ui/canvas.h"
#include "ui/lighthost.h"
#include "ui/pool.h"
#include "ui/statusbar.h"
#include "ui/timer.h"
#include "ui/tray.h"
#include "ui/window.h"

// Where the keyboard cursor is.
const uint8_t ckNone = 0, ckPage = 1, ckInd = 2;

class TfrmMain : public ui::TForm, public IMainHost, public IOptionsHost {
public:
    // The callback message of the notification-area icon.
    static const UINT kTrayMessage = WM_USER + 1;

    // Builds the window (hidden) and its controls; FinishCreate (or ShowForm) runs DoCreate.
    TfrmMain();
    ~TfrmMain() override;

    // ---- Controls --------------------------------------------------------------------
    TPageColumn pnlPageMenu;
    ui::TLightHost pnlPage;
    ui::TLightHost pnlInd;
    ui::TStatusBar stbMain;
    TMainMenus Menus;
    TMainCommands Commands;
    ui::TTimer tmrM;
    ui::TTimer tmrAfterExe;
    TSCMake ctlSCMake;

    // ---- Layout ----------------------------------------------------------------------
    void BuildLayout(bool reRender);
    void BuildPageButtons();
    void SetPageCaption(int index);
    void SelectPage(int index);
    void UpdateTitle();
    // After the appearance options changed: everything is laid out and drawn again.
    void RebuildLayout() override;
    // After the page size option changed: the pages are re-laid to columns x rows.
    void ResizePages(int columns, int rows) override;
    void DestroyItemButtons();
    const TLayout& Layout() const { return layout_; }

    // ---- Buttons, cursor, capture ----------------------------------------------------
    void SetKeyCursor(uint8_t kind, int position);
    void SetKeyCursorTo(TItemBtnBase* button);
    TItemBtnBase* CursorButton();
    TItem* CursorItem();
    void SetPressedButton(TItemBtnBase* button);
    void SetCaptureButton(TItemBtnBase* button);
    void ShowItemStatus(TItemBtnBase* button);
    void RefreshButtonAt(const TItemPos& pos);
    void RefreshIndButtons();
    void RefreshAllButtons();

    uint8_t CursorKind() const { return cursorKind_; }
    int CursorPosition() const { return cursorPos_; }
    int CurrentPage() const { return currentPage_; }
    // Counts the selections of a page. A page item button that has caught up with an
    // earlier count still shows what it showed before; it catches up when painted.
    uint64_t PageSelection() const { return pageSelection_; }
    TItemBtnBase* PressedButton() const { return pressedBtn_; }
    TItemBtnBase* CaptureButton() const { return captureBtn_; }
    TItemBtnBase* AfterExeButton() const { return afterExeBtn_; }
    int IndButtonCount() const { return indCount_; }
    TPageItemBtn& PageItemButton(int slot) { return pageItemBtns_[(size_t)slot]; }
    TIndItemBtn& IndButton(int slot) { return indBtns_[(size_t)slot]; }
    int PageItemButtonCount() const { return (int)pageItemBtns_.size(); }
    const std::vector<TPageButton*>& PageButtons() const { return pageButtons_; }

    // ---- Faces -----------------------------------------------------------------------
    const platform::TPixmap& BlankFace() const { return blankFace_; }
    const platform::TFontSpec& ItemFont() const { return itemFont_; }
    const platform::TFontSpec& PageFont() const { return pageFont_; }
    void DrawItemFace(const TItem& item, platform::ICanvas& canvas, bool pressed);
    void DrawIndFace(const TItem& item, platform::ICanvas& canvas, bool pressed);

    // ---- Launching (the double-click guard and the report of a failed start) ------------
    void SetAfterExeButton(TItemBtnBase* button);
    bool ReportLaunchResult(int result);
    // Closes the window once the present message has been handled (a start with the
    // after-launch action "exit" closes the window from inside its button's handler).
    void CloseSoon();

    // ---- Window behaviours -----------------------------------------------------------
    void SetTrayIcon(bool on);
    bool TrayShown() const { return trayShown_; }
    void MinimizeOrHide();
    void PlaceWindow();
    void StorePosition() override;
    void StoreLastPosition();
    bool Closing() const { return closing_; }
    UINT ActivationMessage() const { return activationMessage_; }
    // The window has a button on the taskbar.
    bool HasTaskbarButton() const;

    // ---- The document and the view settings --------------------------------------------
    TDocument& Doc() { return *document_; }
    TViewData& View() { return *viewData_; }

    // ---- Pools -----------------------------------------------------------------------
    TItemImage* TakeImage();
    void GiveImage(TItemImage* image);
    TDropPanel* TakeDropPanel();
    void GiveDropPanel(TDropPanel* panel);
    TPageButton* TakePagePanel();
    void GivePagePanel(TPageButton* panel);

    // ---- Event handlers --------------------------------------------------------------
    void AppActivate();
    void tmrMTimer();
    void tmrAfterExeTimer();
    void TrayCallback(LPARAM mouseMessage);
    void pnlPageBtnMouseDown(TPageButton& sender, ui::TMouseButton button, int x, int y);
    void pnlPageBtnMouseUp(TPageButton& sender, ui::TMouseButton button, int x, int y);

    // ---- IMainHost -------------------------------------------------------------------
    platform::TWindowHandle WindowHandle() override { return (platform::TWindowHandle)Handle(); }
    TViewData& ViewData() override { return *viewData_; }
    void PaintItemFace(const TItem& item, platform::TPixmap& image) override;
    platform::TPoint PresentPosition() override;

protected:
    // ---- The window's own events (ui::TForm) ------------------------------------------
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DoCreate() override;
    void DoShow() override;
    void DoPaint(platform::ICanvas& canvas) override;
    void DoClose(bool& allow) override;
    void DoDestroy() override;
    void DoKeyDown(WORD& key, ui::TShiftState shift) override;
    void DoKeyUp(WORD& key, ui::TShiftState shift) override;
    void DoSysCommand(WPARAM command, bool& handled) override;

private:
    void ConnectEvents();
    // The messages of the launcher itself: the tray icon, a second start, the end of the session.
    bool HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    TLayoutInput LayoutInput();
    void MakeBlankFace();
    TFaceStyle FaceStyle();
    void ShowTaskbarButton(bool show);
    // True when some monitor's work area and the rectangle (screen coordinates) meet.
    static bool MeetsAnyWorkArea(const RECT& r);
    // Shows the window in its normal state (it may be minimised or hidden).
    void RestoreWindow();

    // The pools: spare controls given back by earlier layouts, kept for the next.
    ui::TPool<TItemImage> imagePool_;
    ui::TPool<TDropPanel> dropPanelPool_;
    ui::TPool<TPageButton> pagePanelPool_;

    std::vector<TPageButton*> pageButtons_;
    // In blocks rather than one allocation per button: a grid of 10,000 is built and
    // released on every rebuild.
    std::deque<TPageItemBtn> pageItemBtns_;
    std::deque<TIndItemBtn> indBtns_;
    std::unique_ptr<TViewData> viewData_;
    std::unique_ptr<TDocument> document_;
    int currentPage_ = -1;
    uint64_t pageSelection_ = 1; // buttons start at 0: a new button catches up when painted
    TItemBtnBase* pressedBtn_ = nullptr;
    TItemBtnBase* captureBtn_ = nullptr;
    TItemBtnBase* afterExeBtn_ = nullptr;
    uint8_t cursorKind_ = ckNone;
    int cursorPos_ = 0;
    bool trayShown_ = false;
    bool closing_ = false;
    bool destroyed_ = false;
    bool tornDown_ = false; // the object is being destroyed: its own messages are no longer handled
    bool sessionSaved_ = false;
    bool preloadArmed_ = false;
    platform::TPixmap blankFace_;
    // The DC, font and scratch bitmap that every item face's title is drawn with.
    ui::TTextScratch faceText_;
    platform::TFontSpec itemFont_;
    platform::TFontSpec pageFont_;
    int indCount_ = 0;
    int storedClientWidth_ = 0;
    int storedClientHeight_ = 0;
    TLayout layout_;
    ui::TTrayIcon trayIcon_;
    UINT activationMessage_ = 0;
    std::string statusText_;
};

// The main window while one exists, else null.
TfrmMain* frmMain();
