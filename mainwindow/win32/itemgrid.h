#pragma once
// The grid of item buttons: the page item buttons (they show whichever page is
// selected) and the independent buttons of the row below them, the pools their
// controls are borrowed from, the keyboard cursor, the pressed, capture and
// after-launch buttons, and the faces the buttons are drawn with.
//
// The grid and its buttons reach the window that holds them only through
// IItemGridOwner; the window places the two host panels and hands the grid its layout.
#include <windows.h>

#include <cstdint>
#include <deque>
#include <string>

#include "mainwindow/itemface.h"
#include "mainwindow/layout.h"
#include "mainwindow/look.h"
#include "mainwindow/win32/droppanel.h"
#include "mainwindow/win32/itembutton.h"
#include "platform/pixmap.h"
#include "ui/canvas.h"
#include "ui/pool.h"
#include "ui/timer.h"

class TDocument;
class TViewData;
struct TMainCommands;
namespace ui {
class TLightHost;
class TPopupMenu;
class TStatusBar;
class TWindow;
} // namespace ui

// What the grid and its buttons ask of the window that holds them.
class IItemGridOwner {
public:
    virtual ~IItemGridOwner() = default;
    // The document, or null before it is made and once it is gone.
    virtual TDocument* Document() = 0;
    virtual TViewData& View() = 0;
    // The colours of faces and buttons: the stored ones, or the system's in high contrast.
    virtual const TLook& Look() = 0;
    // The item commands, whose enabled states a button sets, and the menu it opens with them.
    virtual TMainCommands& ItemCommands() = 0;
    virtual ui::TPopupMenu& ItemMenu() = 0;
    // Shows the message of a failed start (a result of 32 or less) with the window
    // brought back; true when the start succeeded.
    virtual bool ReportLaunchResult(int result) = 0;
    virtual void MinimizeOrHide() = 0;
    // Closes the window once the present message has been handled.
    virtual void CloseSoon() = 0;
    // The window itself (a start with the after-launch action "exit" hides it).
    virtual HWND Window() = 0;
};

class TItemGrid {
public:
    // pagePanel and indPanel host the buttons, status shows the item under the pointer,
    // layout is the window's (the buttons are placed by it), timerWindow runs the
    // after-launch timer.
    TItemGrid(IItemGridOwner& owner, ui::TLightHost& pagePanel, ui::TLightHost& indPanel,
              ui::TStatusBar& status, const TLayout& layout, ui::TWindow& timerWindow);
    TItemGrid(const TItemGrid&) = delete;
    TItemGrid& operator=(const TItemGrid&) = delete;

    IItemGridOwner& Owner() { return owner_; }
    TDocument& Doc() { return *owner_.Document(); }
    const TLayout& Layout() const { return layout_; }
    ui::TLightHost& PagePanel() { return pagePanel_; }
    ui::TLightHost& IndPanel() { return indPanel_; }

    // ---- Building --------------------------------------------------------------------
    // The number of independent buttons the next Build makes.
    void SetIndButtonCount(int count) { indCount_ = count; }
    // Makes the buttons of the layout; the cursor kept through the rebuild shows on them.
    void Build();
    bool Empty() const { return pageItemBtns_.empty() && indBtns_.empty(); }
    // Takes every button down; nothing keeps pointing at one.
    void DestroyItemButtons();
    // The page the page item buttons stand for (-1: none).
    void ShowPage(int index);
    int Page() const { return page_; }
    // Counts the selections of a page. A page item button that has caught up with an
    // earlier count still shows what it showed before; it catches up when painted.
    uint64_t PageSelection() const { return pageSelection_; }

    // ---- Buttons, cursor, capture ----------------------------------------------------
    void SetKeyCursor(TCursorKind kind, int position);
    void SetKeyCursorTo(TItemBtnBase* button);
    TItemBtnBase* CursorButton();
    // The item of the cursor's button while a page is shown, else null.
    TItem* CursorItem();
    void SetPressedButton(TItemBtnBase* button);
    void SetCaptureButton(TItemBtnBase* button);
    // A capture taken away in mid-press (a box, a menu, another window) ends the press.
    void CaptureLost();
    void ShowItemStatus(TItemBtnBase* button);
    void RefreshButtonAt(const TItemPos& pos);
    void RefreshIndButtons();
    void RefreshAllButtons();

    TCursorKind CursorKind() const { return cursorKind_; }
    int CursorPosition() const { return cursorPos_; }
    TItemBtnBase* PressedButton() const { return pressedBtn_; }
    TItemBtnBase* CaptureButton() const { return captureBtn_; }
    int IndButtonCount() const { return indCount_; }
    TPageItemBtn& PageItemButton(int slot) { return pageItemBtns_[(size_t)slot]; }
    TIndItemBtn& IndButton(int slot) { return indBtns_[(size_t)slot]; }
    int PageItemButtonCount() const { return (int)pageItemBtns_.size(); }
    int IndButtonsMade() const { return (int)indBtns_.size(); }

    // ---- Launching (the double-click guard) ------------------------------------------
    void SetAfterExeButton(TItemBtnBase* button);
    TItemBtnBase* AfterExeButton() const { return afterExeBtn_; }

    // ---- Faces -----------------------------------------------------------------------
    // Draws the face of an empty button for the present look and size.
    void MakeBlankFace();
    void ReleaseFaces() { blankFace_ = platform::TPixmap(); }
    const platform::TPixmap& BlankFace() const { return blankFace_; }
    void PaintItemFace(const TItem& item, platform::TPixmap& image);
    void DrawItemFace(const TItem& item, platform::ICanvas& canvas, bool pressed);
    void DrawIndFace(const TItem& item, platform::ICanvas& canvas, bool pressed);

    // ---- Pools -----------------------------------------------------------------------
    TItemImage* TakeImage() { return imagePool_.Take(); }
    void GiveImage(TItemImage* image) { imagePool_.Give(image); }
    TDropPanel* TakeDropPanel() { return dropPanelPool_.Take(); }
    void GiveDropPanel(TDropPanel* panel) { dropPanelPool_.Give(panel); }

private:
    TFaceStyle FaceStyle();
    // Tells screen readers that the keyboard cursor names another button or item.
    void AnnounceCursor();

    IItemGridOwner& owner_;
    ui::TLightHost& pagePanel_;
    ui::TLightHost& indPanel_;
    ui::TStatusBar& status_;
    const TLayout& layout_;
    ui::TTimer tmrAfterExe_;

    // The pools: spare controls given back by earlier layouts, kept for the next.
    ui::TPool<TItemImage> imagePool_;
    ui::TPool<TDropPanel> dropPanelPool_;
    // In blocks rather than one allocation per button: a grid of 10,000 is built and
    // released on every rebuild.
    std::deque<TPageItemBtn> pageItemBtns_;
    std::deque<TIndItemBtn> indBtns_;
    int indCount_ = 0;
    int page_ = -1;
    uint64_t pageSelection_ = 1; // buttons start at 0: a new button catches up when painted
    TItemBtnBase* pressedBtn_ = nullptr;
    TItemBtnBase* captureBtn_ = nullptr;
    TItemBtnBase* afterExeBtn_ = nullptr;
    TCursorKind cursorKind_ = TCursorKind::None;
    int cursorPos_ = 0;
    platform::TPixmap blankFace_;
    // The DC, font and scratch bitmap that every item face's title is drawn with.
    ui::TTextScratch faceText_;
    std::string statusText_;
};
