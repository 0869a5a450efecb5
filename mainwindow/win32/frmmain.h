#pragma once
// The main window: a column of page buttons, the grid of item buttons of the
// selected page with the row of independent items (mainwindow/win32/itemgrid.h), and
// a status bar, with the layout, the pages, the menus and keys, the notification-area
// icon and the window's placement. It owns the view settings and the document, and
// is the model's host (model/host.h) and the grid's owner.
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
#include <memory>
#include <string>
#include <vector>

#include "dialogs/optionshost.h"
#include "mainwindow/win32/commands.h"
#include "mainwindow/layout.h"
#include "mainwindow/look.h"
#include "mainwindow/typefind.h"
#include "mainwindow/win32/accessibleitems.h"
#include "mainwindow/win32/droppanel.h"
#include "mainwindow/win32/itemgrid.h"
#include "mainwindow/win32/mainmenus.h"
#include "mainwindow/win32/pagecolumn.h"
#include "model/document.h"
#include "model/host.h"
#include "model/iconworkers.h"
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

class TfrmMain : public ui::TForm, public IMainHost, public IOptionsHost, public IItemGridOwner {
public:
    // The callback message of the notification-area icon.
    static const UINT kTrayMessage = WM_USER + 1;
    // Posted by the icon workers when answers wait.
    static const UINT kIconsMessage = WM_USER + 2;

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
    TSCMake ctlSCMake;
    TItemGrid Grid;

    // ---- Icons -----------------------------------------------------------------------
    // Before the window is created: icons are fetched by this many worker threads
    // (0, the default: on the window's thread, as the answers are needed).
    void UseIconWorkers(int threads) { iconThreads_ = threads; }
    TIconWorkers* IconWorkers() { return iconWorkers_.get(); }
    // Puts the answers of the workers in and repaints the buttons they change.
    void IconsArrived();
    // The icons of the page in view and of the independent row come first (those not
    // asked for yet are asked for now, as painting their buttons would); above 96 DPI
    // they get their large icons.
    void PreferVisibleIcons();

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
    const TLayout& Layout() const { return layout_; }
    // The pixels per inch the window is laid out for.
    int Dpi() const { return dpi_; }
    // The window moved to a display of another resolution: it takes the suggested
    // rectangle (screen coordinates) and is laid out again at the new DPI, keeping
    // the page, the keyboard cursor and a button held down.
    void DpiChanged(int dpi, const RECT& suggested);

    // ---- Pages -----------------------------------------------------------------------
    int CurrentPage() const { return Grid.Page(); }
    const std::vector<TPageButton*>& PageButtons() const { return pageButtons_; }
    const platform::TFontSpec& ItemFont() const { return itemFont_; }
    const platform::TFontSpec& PageFont() const { return pageFont_; }

    // ---- Window behaviours -----------------------------------------------------------
    void SetTrayIcon(bool on);
    bool TrayShown() const { return trayShown_; }
    void PlaceWindow();
    void StorePosition() override;
    void StoreLastPosition();
    bool Closing() const { return closing_; }
    UINT ActivationMessage() const { return activationMessage_; }
    // The window has a button on the taskbar.
    bool HasTaskbarButton() const;

    // ---- The document and the view settings --------------------------------------------
    TDocument& Doc() { return *document_; }

    // ---- IItemGridOwner --------------------------------------------------------------
    TDocument* Document() override { return document_.get(); }
    TViewData& View() override { return *viewData_; }
    const TLook& Look() override { return look_; }
    TMainCommands& ItemCommands() override { return Commands; }
    ui::TPopupMenu& ItemMenu() override { return Menus.pmnItem; }
    bool ReportLaunchResult(int result) override;
    void MinimizeOrHide() override;
    // Closes the window once the present message has been handled (a start with the
    // after-launch action "exit" closes the window from inside its button's handler).
    void CloseSoon() override;
    HWND Window() override { return Handle(); }

    // ---- The page button pool ----------------------------------------------------------
    TPageButton* TakePagePanel() { return pagePanelPool_.Take(); }
    void GivePagePanel(TPageButton* panel) { pagePanelPool_.Give(panel); }

    // ---- Event handlers --------------------------------------------------------------
    void AppActivate();
    void tmrMTimer();
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
    // Type to find: a typed character moves the cursor to the next item whose title
    // begins with the letters typed so far.
    void DoKeyPress(wchar_t ch, bool& handled) override;
    void DoSysCommand(WPARAM command, bool& handled) override;

private:
    void ConnectEvents();
    // The messages of the launcher itself: the tray icon, a second start, the end of the session.
    bool HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    TLayoutInput LayoutInput();
    void ShowTaskbarButton(bool show);
    // True when some monitor's work area and the rectangle (screen coordinates) meet.
    static bool MeetsAnyWorkArea(const RECT& r);
    // Shows the window in its normal state (it may be minimised or hidden).
    void RestoreWindow();
    // Lets go of the workers; one stuck on a target that does not answer stays behind.
    void StopIconWorkers();
    // The system's colours changed or high contrast went on or off: everything is drawn again.
    void SystemLookChanged();

    // Spare page buttons given back by earlier layouts, kept for the next.
    ui::TPool<TPageButton> pagePanelPool_;

    std::vector<TPageButton*> pageButtons_;
    std::unique_ptr<TViewData> viewData_;
    std::unique_ptr<TDocument> document_;
    int iconThreads_ = 0;
    std::unique_ptr<TIconWorkers> iconWorkers_;
    bool trayShown_ = false;
    bool closing_ = false;
    bool destroyed_ = false;
    bool tornDown_ = false; // the object is being destroyed: its own messages are no longer handled
    bool sessionSaved_ = false;
    bool preloadArmed_ = false;
    platform::TFontSpec itemFont_;
    platform::TFontSpec pageFont_;
    int dpi_ = 96;
    // The most icons fetched ahead at a start without caches (their pixels wait in memory).
    static constexpr size_t kPrefetchedIcons = 2000;
    int storedClientWidth_ = 0;
    int storedClientHeight_ = 0;
    TLayout layout_;
    TLook look_;
    TTypedText typedText_;
    ui::TTrayIcon trayIcon_;
    UINT activationMessage_ = 0;
    // What screen readers are told about the buttons of the three panels.
    TPageButtonsAccess pageButtonsAccess_;
    TItemButtonsAccess pageItemsAccess_;
    TItemButtonsAccess indItemsAccess_;
};

// The main window while one exists, else null.
TfrmMain* frmMain();
