#include "mainwindow/win32/frmmain.h"

#include <oleacc.h>

#include <algorithm>
#include <unordered_set>

#include "mainwindow/commandstate.h"
#include "model/iconfetch.h"
#include "model/iconlist.h"
#include "model/item.h"
#include "model/page.h"
#include "platform/system.h"
#include "platform/text.h"
#include "platform/win32/win32system.h"
#include "shell/common.h"
#include "shell/instance_names.h"
#include "shell/win32/helpers.h"
#include "ui/accessible.h"
#include "ui/application.h"
#include "ui/canvas.h"
#include "ui/dpi.h"

namespace {

TfrmMain* g_main = nullptr;

const char* const kHelpFileName = "Kiropad.HLP";
const char* const kTrayIconResource = "SMALLICON";
const int kStatusPanelWidth = 50;

platform::TFontSpec FormFont() {
    platform::TFontSpec font;
    font.Name = "ＭＳ Ｐゴシック";
    font.Size = 9; // 12 pixels on a screen of 96 pixels per inch
    font.Charset = 128;
    return font;
}

} // namespace

TfrmMain* frmMain() {
    return g_main;
}

TfrmMain::TfrmMain()
    : ui::TForm("Kiropad", nullptr, L"MAINICON"), pnlPageMenu(this, pageButtons_), pnlPage(this),
      pnlInd(this), stbMain(*this), Commands(*this), tmrM(*this, 1, false),
      Grid(*this, pnlPage, pnlInd, stbMain, layout_, *this),
      pagePanelPool_(
          [this] {
              auto button = std::make_unique<TPageButton>();
              button->OnPageMouseDown = [this](TPageButton& sender, ui::TMouseButton b, int x, int y) {
                  pnlPageBtnMouseDown(sender, b, x, y);
              };
              button->OnPageMouseUp = [this](TPageButton& sender, ui::TMouseButton b, int x, int y) {
                  pnlPageBtnMouseUp(sender, b, x, y);
              };
              return button;
          },
          nullptr,
          [](TPageButton& button) {
              button.Index = -1;
              button.SetVisible(false);
              button.Detach();
          }),
      trayIcon_(*this, kTrayMessage, 1), pageButtonsAccess_(*this), pageItemsAccess_(Grid, TCursorKind::Page),
      indItemsAccess_(Grid, TCursorKind::Ind) {
    g_main = this;
    dpi_ = ui::WindowDpi(Handle());
    layout_.Scale = TDpiScale(dpi_);
    SetFont(FormFont());
    SetKeyPreview(true);
    // Owned by the application's hidden window, the main window has a taskbar button
    // only through WS_EX_APPWINDOW: that is what the notification-area mode switches.
    if (ui::HasApplication() && ui::Application().Handle())
        SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, (LONG_PTR)ui::Application().Handle());
    SetWindowLongW(Handle(), GWL_EXSTYLE, GetWindowLongW(Handle(), GWL_EXSTYLE) | WS_EX_APPWINDOW);

    pnlPageMenu.SetBounds(0, 0, 177, 325);
    pnlPageMenu.SetBevelOuter(ui::TBevelCut::Lowered);
    pnlPageMenu.SetBevelWidth(2);
    pnlPage.SetBevelOuter(ui::TBevelCut::Lowered);
    pnlPage.SetBevelWidth(2);
    pnlInd.SetBevelOuter(ui::TBevelCut::Lowered);
    pnlInd.SetBevelWidth(2);
    stbMain.AddPanel(kStatusPanelWidth);
    SetMenu(&Menus.mnuMain);
    Menus.pmnPageBtn.SetOwnerWindow(Handle());
    Menus.pmnItem.SetOwnerWindow(Handle());
    Menus.pmnTask.SetOwnerWindow(Handle());

    viewData_ = std::make_unique<TViewData>();
    SetMainHost(this);
    activationMessage_ = RegisterWindowMessageW(BuildActivationMessageName(platform::ProgramPath()).c_str());
    ConnectShortcutAnalyser(&ctlSCMake);
    ConnectEvents();
    pnlPageMenu.SetAccessibleSource(&pageButtonsAccess_);
    pnlPage.SetAccessibleSource(&pageItemsAccess_);
    pnlInd.SetAccessibleSource(&indItemsAccess_);
}

TfrmMain::~TfrmMain() {
    // The sources go before the panels that serve them.
    pnlPageMenu.SetAccessibleSource(nullptr);
    pnlPage.SetAccessibleSource(nullptr);
    pnlInd.SetAccessibleSource(nullptr);
    // A window taken down without closing still saves and releases as a closed one does.
    if (!destroyed_) DoDestroy();
    if (ui::HasApplication()) ui::Application().OnActivate = nullptr;
    ConnectShortcutAnalyser(nullptr);
    tornDown_ = true;
    if (g_main == this) g_main = nullptr;
}

void TfrmMain::ConnectEvents() {
    // A capture taken away in mid-press (a box, a menu, another window) ends the press.
    pnlPage.OnCaptureLost = pnlInd.OnCaptureLost = [this] { Grid.CaptureLost(); };
    tmrM.OnTimer = [this] { tmrMTimer(); };

    Commands.Bind(Menus);
}

LRESULT TfrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!tornDown_ && HandleOwnMessage(message, wParam, lParam, result)) return result;
    return ui::TForm::HandleMessage(message, wParam, lParam);
}

bool TfrmMain::HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (activationMessage_ && message == activationMessage_) {
        // A second start of the program: come forward, then handle the message as any other.
        ShowWindow(Handle(), SW_SHOW);
        if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
        SetForegroundWindow(Handle());
        return false;
    }
    if (message == ui::TTrayIcon::TaskbarCreatedMessage()) {
        // The shell restarted and forgot the icon: without it a window hidden in the
        // notification area could not be reached.
        if (trayShown_) trayIcon_.AddAgain();
        return false;
    }
    switch (message) {
    case kTrayMessage:
        TrayCallback(lParam);
        result = 0;
        return true;
    case kIconsMessage:
        IconsArrived();
        result = 0;
        return true;
    case WM_QUERYENDSESSION:
        // The session may end without a chance to close the window: save as on exit now.
        if (document_) document_->SaveIfNeeded(TSaveReason::Exit);
        sessionSaved_ = true;
        result = TRUE;
        return true;
    case WM_SYSCOLORCHANGE:
        SystemLookChanged();
        return false;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETHIGHCONTRAST) SystemLookChanged();
        return false;
    case ui::kDpiChangedMessage:
        DpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        result = 0;
        return true;
    case WM_ENDSESSION:
        if (wParam && !sessionSaved_ && document_) document_->SaveIfNeeded(TSaveReason::Exit);
        sessionSaved_ = false;
        result = 0;
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------
// Creation and shutdown

void TfrmMain::DoCreate() {
    platform::TWaitCursor wait;
    if (ui::HasApplication()) {
        ui::TApplication& app = ui::Application();
        app.OnException = FatalExceptionHandler;
        app.OnActivate = [this] { AppActivate(); };
        app.SetHelpFile(platform::System().ProgramFolder() + kHelpFileName);
    }
    document_ = std::make_unique<TDocument>();
    SetDocument(document_.get());
    document_->Init();
    ui::AnswerSentMessages(); // between the steps of the start, each of some milliseconds
    if (iconThreads_ > 0) {
        HWND window = Handle();
        iconWorkers_ = std::make_unique<TIconWorkers>(
            iconThreads_, [window] { PostMessageW(window, kIconsMessage, 0, 0); });
        document_->IconFetcher->SetRunner(iconWorkers_.get());
        // Without caches the workers start on every page's icons now, while the window
        // is being made; the preloading after the show then finds them there.
        std::vector<TItem*> ahead;
        for (auto& page : document_->Pages)
            for (auto& item : page->Items())
                if (ahead.size() < kPrefetchedIcons) ahead.push_back(item.get());
        document_->IconFetcher->Prefetch(ahead);
    }
    document_->PrepareIndIcons();
    UpdateTitle();
    ui::AnswerSentMessages();
    BuildLayout(false);
    ui::AnswerSentMessages();
    PlaceWindow();
    SelectPage(0);
    Grid.SetKeyCursor(TCursorKind::Page, 0);
    // The quick starter starts the program at high priority; built, it runs at normal priority.
    SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
}

void TfrmMain::DoShow() {
    // Showing the window never brings the taskbar button back while the tray icon is in use.
    ShowTaskbarButton(!trayShown_);
    // The icon preloading starts once the window is there: armed earlier, it would fire
    // inside a box of the start (a damaged data file) and find no document yet.
    if (!preloadArmed_ && document_) {
        preloadArmed_ = true;
        tmrM.SetEnabled(true);
    }
}

void TfrmMain::DoPaint(platform::ICanvas&) {
    // The window keeps the size of its layout whatever happened to it in between.
    if (storedClientWidth_ == 0 || IsIconic(Handle())) return;
    if (ClientWidth() != storedClientWidth_ || ClientHeight() != storedClientHeight_)
        SetClientSize(storedClientWidth_, storedClientHeight_);
}

void TfrmMain::DoClose(bool&) {
    closing_ = true; // stops the icon preloading
}

void TfrmMain::DoDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    closing_ = true;
    {
        platform::TWaitCursor wait;
        tmrM.SetEnabled(false);
        StopIconWorkers();
        SetTrayIcon(false);
        Grid.DestroyItemButtons();
        for (TPageButton* b : pageButtons_)
            GivePagePanel(b);
        pageButtons_.clear();
        // The document saves as it goes, the view settings with it: it goes first.
        document_.reset();
        SetDocument(nullptr);
    }
    if (MainHost() == this) SetMainHost(nullptr);
    viewData_.reset();
    Grid.ReleaseFaces();
}

// ---------------------------------------------------------------------------------
// Layout

void TfrmMain::PaintItemFace(const TItem& item, platform::TPixmap& image) {
    Grid.PaintItemFace(item, image);
}

TLayoutInput TfrmMain::LayoutInput() {
    TLayoutInput in;
    in.PageButtonWidth = viewData_->PageBtnWidth;
    in.ItemWidth = viewData_->ItemWidth;
    in.ItemHeight = viewData_->ItemHeight;
    in.Columns = document_->PageWidth;
    in.Rows = document_->PageHeight;
    in.ShowInd = document_->ShowInd;
    in.PageCount = (int)document_->Pages.size();
    in.StatusBarHeight = stbMain.BarHeight();
    in.Dpi = dpi_;
    return in;
}

void TfrmMain::BuildLayout(bool reRender) {
    TViewData& v = *viewData_;
    TDocument& doc = *document_;
    if (!Grid.Empty()) Grid.DestroyItemButtons();

    layout_ = ComputeLayout(LayoutInput());
    look_ = LookOf(v, ui::HighContrastOn());

    Grid.MakeBlankFace();
    v.Font->AssignTo(&itemFont_);
    itemFont_.PixelsPerInch = ui::FontPixelsPerInch(dpi_);
    pageFont_ = itemFont_;
    pageFont_.Size = pageFont_.Size * 10 / 9;
    pageFont_.Style |= platform::fsBold;
    pageFont_.Color = look_.Text;
    if (reRender)
        for (auto& page : doc.Pages)
            for (auto& item : page->Items())
                item->RedrawImage();

    int bevel = layout_.Bevel();
    pnlPageMenu.SetBevelWidth(bevel);
    pnlPage.SetBevelWidth(bevel);
    pnlInd.SetBevelWidth(bevel);
    stbMain.SetPanelWidth(0, layout_.Scale(kStatusPanelWidth));
    pnlPageMenu.SetColor(look_.Back);
    pnlPage.SetColor(look_.Back);
    pnlInd.SetColor(look_.Back);
    const TLayout& L = layout_;
    pnlPage.SetBounds(L.Page.Left, L.Page.Top, L.Page.Width(), L.Page.Height());
    if (L.ShowInd) {
        pnlInd.SetBounds(L.Ind.Left, L.Ind.Top, L.Ind.Width(), L.Ind.Height());
        Grid.SetIndButtonCount(L.IndCount);
        doc.SetIndItemCount(L.IndCount);
    } else {
        Grid.SetIndButtonCount(0);
    }
    pnlInd.SetVisible(L.ShowInd);
    pnlPageMenu.SetBounds(L.PageMenu.Left, L.PageMenu.Top, L.PageMenu.Width(), L.PageMenu.Height());
    storedClientWidth_ = L.ClientWidth;
    storedClientHeight_ = L.ClientHeight;
    SetClientSize(storedClientWidth_, storedClientHeight_);

    // The controls are all placed anew: each panel is invalidated once at the end.
    ui::TInvalidationLock holdPage(pnlPage), holdInd(pnlInd);
    BuildPageButtons();
    Grid.Build();
    SetTrayIcon(v.Tray);
}

void TfrmMain::BuildPageButtons() {
    TDocument& doc = *document_;
    // The page count may have changed since the layout: the button height follows it.
    TLayout now = ComputeLayout(LayoutInput());
    layout_.N = now.N;
    layout_.PageButtonHeight = now.PageButtonHeight;

    // Every page button is placed anew: the column is invalidated once at the end.
    ui::TInvalidationLock hold(pnlPageMenu);
    for (TPageButton* b : pageButtons_)
        GivePagePanel(b);
    pageButtons_.clear();
    int n = (int)doc.Pages.size();
    pageButtons_.reserve((size_t)n);
    for (int i = 0; i < n; ++i) {
        TPageButton* b = TakePagePanel();
        pageButtons_.push_back(b);
        b->Index = i;
        b->SetParent(pnlPageMenu);
        b->SetBevelWidth(layout_.Bevel());
        b->SetBevelOuter(ui::TBevelCut::Raised);
        b->SetColor(look_.Btn);
        SetPageCaption(i);
        platform::TRect r = layout_.PageButton(i);
        b->SetBounds(r.Left, r.Top, r.Width(), r.Height());
        b->SetFont(pageFont_);
        b->SetVisible(true);
    }
}

void TfrmMain::SetPageCaption(int index) {
    if (index < 0 || index >= (int)pageButtons_.size() || index >= (int)document_->Pages.size()) return;
    pageButtons_[(size_t)index]->SetCaption(DoubleAmpersands(document_->Pages[(size_t)index]->Name));
}

void TfrmMain::SelectPage(int index) {
    TDocument& doc = *document_;
    if (index < -1 || index >= (int)doc.Pages.size()) return;
    int current = Grid.Page();
    if (index != current) {
        // A page out of view keeps the faces it has, not their large icons.
        if (current >= 0 && current < (int)doc.Pages.size() && doc.IconFetcher->LargeSize() > 0)
            for (auto& item : doc.Pages[(size_t)current]->Items())
                doc.IconFetcher->DropLarge(*item);
        if (current >= 0 && current < (int)pageButtons_.size()) {
            TPageButton* old = pageButtons_[(size_t)current];
            old->SetBevelOuter(ui::TBevelCut::Raised);
            old->SetColor(look_.Btn);
            old->SetFont(pageFont_);
        }
        if (index >= 0 && index < (int)pageButtons_.size()) {
            TPageButton* b = pageButtons_[(size_t)index];
            b->SetBevelOuter(ui::TBevelCut::Lowered);
            b->SetColor(look_.Sel);
            platform::TFontSpec font = pageFont_;
            font.Color = look_.SelText;
            b->SetFont(font);
        }
    }
    Grid.ShowPage(index);
    if (index >= 0 && index != current && IsWindowVisible(pnlPageMenu.Handle()))
        pnlPageMenu.RaiseAccessibleEvent(EVENT_OBJECT_SELECTION, index);
    PreferVisibleIcons();
}

void TfrmMain::PreferVisibleIcons() {
    if (!document_) return;
    TDocument& doc = *document_;
    doc.IconFetcher->SetLargeSize(layout_.Scale(TIconList::kCellSize));
    // Icons in line at 96 DPI: painting the buttons asks for what is missing.
    if (!iconWorkers_ && doc.IconFetcher->LargeSize() == 0) return;
    std::vector<TItem*> visible;
    int page = Grid.Page();
    if (page >= 0 && page < (int)doc.Pages.size())
        for (auto& item : doc.Pages[(size_t)page]->Items())
            visible.push_back(item.get());
    for (auto& item : doc.IndItems)
        visible.push_back(item.get());
    for (TItem* item : visible)
        item->PrepareIcon();
    if (iconWorkers_) doc.IconFetcher->Prefer(visible);
    doc.IconFetcher->AskLarge(visible);
}

// ---------------------------------------------------------------------------------
// Icons

void TfrmMain::IconsArrived() {
    if (!document_ || !iconWorkers_) return;
    TDocument& doc = *document_;
    std::vector<TItem*> changed = doc.IconFetcher->Deliver();
    if (changed.empty()) return;
    std::unordered_set<const TItem*> arrived(changed.begin(), changed.end());
    int page = Grid.Page();
    if (page >= 0 && page < (int)doc.Pages.size()) {
        TLPage& shown = *doc.Pages[(size_t)page];
        int slots = std::min(shown.SlotCount(), Grid.PageItemButtonCount());
        for (int s = 0; s < slots; ++s)
            if (arrived.count(&shown.Item(s))) Grid.RefreshButtonAt(TItemPos{page, s});
    }
    for (size_t i = 0; i < doc.IndItems.size(); ++i)
        if (arrived.count(doc.IndItems[i].get())) Grid.RefreshButtonAt(TItemPos{kIndPage, (int)i});
}

void TfrmMain::StopIconWorkers() {
    if (!iconWorkers_) return;
    if (document_) document_->IconFetcher->SetRunner(nullptr);
    iconWorkers_->Stop(std::chrono::milliseconds(100));
    iconWorkers_.reset();
}

void TfrmMain::UpdateTitle() {
    SetCaption(viewData_->Title);
    if (ui::HasApplication()) ui::Application().SetTitle(viewData_->Title);
    // The tip of a shown icon follows the title.
    if (trayShown_) trayIcon_.Add(kTrayIconResource, viewData_->Title);
}

void TfrmMain::RebuildLayout() {
    // Hidden while it is rebuilt, so that no half-built layout shows; a window that
    // was hidden (in the notification area) stays hidden.
    bool visible = IsWindowVisible(Handle()) != FALSE;
    if (visible) ShowWindow(Handle(), SW_HIDE);
    int page = CurrentPage();
    Grid.SetPressedButton(nullptr);
    Grid.SetCaptureButton(nullptr);
    SelectPage(-1);
    Grid.DestroyItemButtons();
    BuildLayout(true);
    SelectPage(page);
    if (visible) ShowWindow(Handle(), SW_SHOW);
}

void TfrmMain::ResizePages(int columns, int rows) {
    bool visible = IsWindowVisible(Handle()) != FALSE;
    if (visible) ShowWindow(Handle(), SW_HIDE);
    int page = CurrentPage();
    Grid.SetPressedButton(nullptr);
    Grid.SetCaptureButton(nullptr);
    SelectPage(-1);
    Grid.DestroyItemButtons();
    document_->SetPageSize(columns, rows);
    // The faces of placed items are drawn again: the same OK may have changed the
    // look, and a new grid can clamp the button size.
    BuildLayout(true);
    SelectPage(page);
    if (visible) ShowWindow(Handle(), SW_SHOW);
}

void TfrmMain::DpiChanged(int dpi, const RECT& suggested) {
    if (dpi == dpi_ || !document_ || Grid.Empty()) {
        dpi_ = dpi;
        return;
    }
    dpi_ = dpi;
    // The keyboard cursor and a button held down are kept by their place.
    TCursorKind cursorKind = Grid.CursorKind();
    int cursorPos = Grid.CursorPosition();
    TItemBtnBase* pressed = Grid.PressedButton();
    bool wasPressed = pressed != nullptr, wasCaptured = wasPressed && Grid.CaptureButton() == pressed;
    TItemPos pressedAt = wasPressed ? pressed->GetPosition() : TItemPos{};
    SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RebuildLayout();
    if (cursorKind != TCursorKind::None) Grid.SetKeyCursor(cursorKind, cursorPos);
    if (wasPressed) {
        bool ind = pressedAt.Page == kIndPage;
        int count = ind ? Grid.IndButtonsMade() : Grid.PageItemButtonCount();
        if (pressedAt.Index >= 0 && pressedAt.Index < count && (ind || pressedAt.Page == CurrentPage())) {
            TItemBtnBase* button = ind ? static_cast<TItemBtnBase*>(&Grid.IndButton(pressedAt.Index))
                                       : &Grid.PageItemButton(pressedAt.Index);
            Grid.SetPressedButton(button);
            if (wasCaptured) Grid.SetCaptureButton(button);
        }
    }
}

void TfrmMain::SystemLookChanged() {
    if (!document_ || Grid.Empty()) return;
    // At normal contrast the stored colours do not depend on the system's.
    if (!look_.HighContrast && !ui::HighContrastOn()) return;
    RebuildLayout();
}

// ---------------------------------------------------------------------------------
// Timers

void TfrmMain::tmrMTimer() {
    tmrM.SetEnabled(false);
    // Messages are handled between items, so pages and slots may come and go under the
    // loop: both are checked again before every item.
    for (size_t p = 0;; ++p) {
        for (int s = 0;; ++s) {
            if (closing_ || !document_) return;
            if (p >= document_->Pages.size()) {
                document_->IconFetcher->ClearPrefetched();
                return;
            }
            TLPage& page = *document_->Pages[p];
            if (s >= page.SlotCount()) break;
            page.Item(s).PrepareIcon();
            if (ui::HasApplication()) ui::Application().ProcessMessages();
        }
    }
}

// ---------------------------------------------------------------------------------
// Launching

bool TfrmMain::ReportLaunchResult(int result) {
    if (result > 32) return true;
    RestoreWindow();
    MsgBox(LaunchErrorText(result), kBoxCaption, MB_ICONHAND | MB_SETFOREGROUND);
    return false;
}

void TfrmMain::CloseSoon() {
    PostMessageW(Handle(), WM_CLOSE, 0, 0);
}

void TfrmMain::RestoreWindow() {
    if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
    ShowWindow(Handle(), SW_SHOW);
}

// ---------------------------------------------------------------------------------
// Window behaviours

void TfrmMain::ShowTaskbarButton(bool show) {
    LONG style = GetWindowLongW(Handle(), GWL_EXSTYLE);
    LONG wanted = show ? (style | WS_EX_APPWINDOW) : (style & ~WS_EX_APPWINDOW);
    if (wanted == style) return;
    // The taskbar notices the change when the window is shown again.
    bool visible = IsWindowVisible(Handle()) != FALSE;
    if (visible) ShowWindow(Handle(), SW_HIDE);
    SetWindowLongW(Handle(), GWL_EXSTYLE, wanted);
    if (visible) ShowWindow(Handle(), SW_SHOWNA);
}

bool TfrmMain::HasTaskbarButton() const {
    return (GetWindowLongW(Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0;
}

void TfrmMain::SetTrayIcon(bool on) {
    if (!trayShown_ && on) {
        ShowTaskbarButton(false);
        // The shell's answer is not examined: the taskbar button is hidden in any case.
        trayIcon_.Add(kTrayIconResource, viewData_ ? viewData_->Title : AppTitle());
    }
    if (trayShown_ && !on) {
        ShowTaskbarButton(true);
        trayIcon_.Remove();
    }
    trayShown_ = on;
}

void TfrmMain::MinimizeOrHide() {
    if (trayShown_)
        ShowWindow(Handle(), SW_HIDE);
    else
        ShowWindow(Handle(), SW_MINIMIZE);
}

void TfrmMain::DoSysCommand(WPARAM command, bool& handled) {
    // The command value is compared whole: its low four bits are not masked.
    if (command == SC_MINIMIZE || (command == SC_CLOSE && document_ && document_->NotClose)) {
        MinimizeOrHide();
        handled = true;
    }
}

void TfrmMain::TrayCallback(LPARAM mouseMessage) {
    if (mouseMessage == WM_LBUTTONDOWN) {
        RestoreWindow();
        SetForegroundWindow(Handle());
    } else if (mouseMessage == WM_RBUTTONDOWN) {
        POINT p = {0, 0};
        GetCursorPos(&p);
        RestoreWindow();
        SetForegroundWindow(Handle());
        if (ui::HasApplication()) ui::Application().ProcessMessages();
        if (destroyed_ || !Handle()) return;
        Menus.pmnTask.Popup(p.x, p.y);
    }
}

void TfrmMain::AppActivate() {
    if (Grid.CursorKind() != TCursorKind::None) Grid.SetKeyCursor(TCursorKind::Page, 0);
}

void TfrmMain::PlaceWindow() {
    int left, top;
    if (viewData_->StartPos == spCenter) {
        left = (GetSystemMetrics(SM_CXSCREEN) - Width()) / 2;
        top = (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2;
    } else {
        left = viewData_->Left;
        top = viewData_->Top;
        // A stored place that no monitor shows any more (one was removed, the
        // resolution fell) is moved into the nearest work area; any place that some
        // work area still meets is kept exactly.
        RECT r = {left, top, left + Width(), top + Height()};
        MONITORINFO mi = {};
        mi.cbSize = sizeof mi;
        if (!MeetsAnyWorkArea(r) && GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &mi)) {
            const RECT& w = mi.rcWork;
            left = std::max<LONG>(w.left, std::min<LONG>(left, w.right - Width()));
            top = std::max<LONG>(w.top, std::min<LONG>(top, w.bottom - Height()));
        }
    }
    SetBounds(left, top, Width(), Height());
}

namespace {

struct TWorkAreaSearch {
    RECT Window;
    bool Met = false;
};

BOOL CALLBACK MeetWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto* s = reinterpret_cast<TWorkAreaSearch*>(data);
    MONITORINFO mi = {};
    mi.cbSize = sizeof mi;
    RECT common;
    if (GetMonitorInfoW(monitor, &mi) && IntersectRect(&common, &mi.rcWork, &s->Window)) s->Met = true;
    return !s->Met;
}

} // namespace

bool TfrmMain::MeetsAnyWorkArea(const RECT& r) {
    TWorkAreaSearch search{r};
    EnumDisplayMonitors(nullptr, nullptr, MeetWorkArea, reinterpret_cast<LPARAM>(&search));
    return search.Met;
}

platform::TPoint TfrmMain::PresentPosition() {
    platform::TPoint p;
    if (!Handle()) return p;
    if (IsIconic(Handle())) {
        // A minimised window stands far outside the screen; its place is where it comes
        // back. That place is given in work-area coordinates: a taskbar at the top or the
        // left shifts them from the screen's, which the stored position is in.
        WINDOWPLACEMENT wp = {};
        wp.length = sizeof wp;
        GetWindowPlacement(Handle(), &wp);
        p.X = wp.rcNormalPosition.left;
        p.Y = wp.rcNormalPosition.top;
        MONITORINFO mi = {};
        mi.cbSize = sizeof mi;
        if (!(GetWindowLongW(Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW) &&
            GetMonitorInfoW(MonitorFromRect(&wp.rcNormalPosition, MONITOR_DEFAULTTONEAREST), &mi)) {
            p.X += mi.rcWork.left - mi.rcMonitor.left;
            p.Y += mi.rcWork.top - mi.rcMonitor.top;
        }
        return p;
    }
    p.X = Left();
    p.Y = Top();
    return p;
}

void TfrmMain::StorePosition() {
    platform::TPoint p = PresentPosition();
    viewData_->Left = p.X;
    viewData_->Top = p.Y;
}

void TfrmMain::StoreLastPosition() {
    if (viewData_->StartPos == spLastExit) StorePosition();
}

// ---------------------------------------------------------------------------------
// Keys

void TfrmMain::DoKeyDown(WORD& key, ui::TShiftState shift) {
    if (!document_) return;
    // A cursor moved by the keys starts a new search text.
    if (key >= VK_PRIOR && key <= VK_DOWN) typedText_.Clear();
    int pages = (int)document_->Pages.size();
    int columns = layout_.K;
    switch (key) {
    case VK_PRIOR:
        if (pages > 0) SelectPage(PreviousPage(CurrentPage(), pages));
        key = 0;
        return;
    case VK_NEXT:
        if (pages > 0) SelectPage(NextPage(CurrentPage(), pages));
        key = 0;
        return;
    case VK_LEFT:
        Grid.SetKeyCursor(Grid.CursorKind(), Grid.CursorPosition() - 1);
        key = 0;
        return;
    case VK_RIGHT:
        Grid.SetKeyCursor(Grid.CursorKind(), Grid.CursorPosition() + 1);
        key = 0;
        return;
    case VK_UP:
        if (Grid.CursorKind() == TCursorKind::Page) Grid.SetKeyCursor(TCursorKind::Page, Grid.CursorPosition() - columns);
        key = 0;
        return;
    case VK_DOWN:
        if (Grid.CursorKind() == TCursorKind::Page) Grid.SetKeyCursor(TCursorKind::Page, Grid.CursorPosition() + columns);
        key = 0;
        return;
    }
    if (TItemBtnBase* b = Grid.CursorButton()) b->KeyDown(key, shift);
}

void TfrmMain::DoKeyUp(WORD& key, ui::TShiftState shift) {
    if (!document_) return;
    if (key == VK_TAB) {
        // Released with Alt held, Tab switched back into the window: the cursor stays.
        if (!(shift & ui::ssAlt)) {
            Grid.SetKeyCursor(TabCursor(Grid.CursorKind(), document_->ShowInd), 0);
        }
        key = 0;
        return;
    }
    if (TItemBtnBase* b = Grid.CursorButton()) b->KeyUp(key, shift);
}

void TfrmMain::DoKeyPress(wchar_t ch, bool& handled) {
    // Control characters and Space keep their meaning (Enter and Space start the item).
    if (!document_ || ch <= L' ' || ch == 0x7F) return;
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0 || GetKeyState(VK_LWIN) < 0 ||
        GetKeyState(VK_RWIN) < 0)
        return;
    std::string typed;
    if (!platform::Narrow(std::wstring(1, ch), typed)) return; // no title can hold it
    handled = true;
    const std::string& text = typedText_.Add(typed, GetTickCount());
    std::vector<std::unique_ptr<TLPage>>& pages = document_->Pages;
    TTitleSource titles;
    titles.Pages = (int)pages.size();
    titles.SlotCount = [&](int p) {
        return std::min(pages[(size_t)p]->SlotCount(), Grid.PageItemButtonCount());
    };
    titles.TitleAt = [&](int p, int s) -> const std::string* {
        const TItem& item = pages[(size_t)p]->Item(s);
        return item.Path.empty() ? nullptr : &item.Name;
    };
    int slot = Grid.CursorKind() == TCursorKind::Page ? Grid.CursorPosition() : -1;
    TFoundSlot found = FindTyped(titles, CurrentPage(), slot, text, typedText_.Continued() && slot >= 0);
    if (found.Page < 0) return;
    if (found.Page != CurrentPage()) SelectPage(found.Page);
    Grid.SetKeyCursor(TCursorKind::Page, found.Slot);
}

// ---------------------------------------------------------------------------------
// Page buttons

void TfrmMain::pnlPageBtnMouseDown(TPageButton& sender, ui::TMouseButton, int, int) {
    if (sender.Index >= 0) SelectPage(sender.Index);
}

void TfrmMain::pnlPageBtnMouseUp(TPageButton& sender, ui::TMouseButton button, int x, int y) {
    if (button != ui::TMouseButton::Right || sender.Index != CurrentPage() || CurrentPage() < 0) return;
    POINT p = sender.ClientToScreen(POINT{x, y});
    Menus.pmnPageBtn.Popup(p.x, p.y);
}
