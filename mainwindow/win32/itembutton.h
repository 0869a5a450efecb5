#pragma once
// The item buttons of the main window: the page item buttons of the grid (they show
// whichever page is selected) and the independent buttons of the row below it.
//
// A button is no window of its own: it borrows a drop panel and an image from the
// grid's pools (mainwindow/win32/droppanel.h), places them, draws the face, shows the
// pressed and focused states, starts its item, and carries out the item commands
// forwarded to it. It reaches the window only through the grid's owner
// (mainwindow/win32/itemgrid.h).
#include <windows.h>

#include <cstdint>
#include <string>

#include "model/document.h"
#include "platform/pixmap.h"
#include "ui/events.h"

class TDropPanel;
class TItemImage;
class TItem;
class IItemGridOwner;
class TItemGrid;
namespace ui {
class TLightControl;
class TLightHost;
} // namespace ui

class TLBtn {
public:
    virtual ~TLBtn() = default;
    virtual void SetFocused(bool focused) = 0;
    virtual void KeyDown(WORD& key, ui::TShiftState shift) = 0;
    virtual void KeyUp(WORD& key, ui::TShiftState shift) = 0;

protected:
    bool focused_ = false;
};

class TItemBtnBase : public TLBtn {
public:
    // Takes a drop panel and an image from the grid's pools and puts them on parent.
    TItemBtnBase(TItemGrid& grid, int index, ui::TLightHost& parent);
    // Gives the panel and the image back to the pools.
    ~TItemBtnBase() override;
    TItemBtnBase(const TItemBtnBase&) = delete;
    TItemBtnBase& operator=(const TItemBtnBase&) = delete;

    void SetFocused(bool focused) override;
    void KeyDown(WORD& key, ui::TShiftState shift) override;
    void KeyUp(WORD& key, ui::TShiftState shift) override;
    virtual TItem& GetItem() = 0;
    virtual void SetDown(bool down);
    virtual TItemPos GetPosition() = 0;
    // A point of a mouse event, in the coordinates of the control that got it, lies
    // on the button.
    virtual bool HitTest(const ui::TLightControl& control, int x, int y);
    // Starts the item (unless the double-click guard holds) and applies its after-launch action.
    virtual int Execute(const std::string& parameters);
    virtual void AfterExecute(int result);
    virtual void SetFile(const std::string& path);
    virtual void Draw() = 0;
    virtual void Refresh();
    // Brings a button that still shows an earlier page up to the selected one (its
    // icon, its drop acceptance, its face) without invalidating anything: it runs
    // when the button is painted, or when files arrive on it.
    virtual void CatchUp() {}
    // Sets the enabled states of the item commands for this button.
    virtual void UpdateMenus();
    virtual void Edit();
    virtual void Delete();
    virtual void Insert() {}
    // What a left click on the button does: starts the item, or opens the edit
    // dialog of an empty one (not under the edit lock).
    void Click();

    // The events of the borrowed controls.
    void MouseDown(ui::TLightControl& sender, ui::TMouseButton button, ui::TShiftState shift, int x, int y);
    void MouseMove(ui::TLightControl& sender, ui::TShiftState shift, int x, int y);
    void MouseUp(ui::TLightControl& sender, ui::TMouseButton button, ui::TShiftState shift, int x, int y);
    void DropFiles(TDropPanel& sender, int iFiles, const std::vector<std::string>& dropFileNames);

    // The picture the image shows now.
    virtual platform::TPictureRef ShownFace() = 0;

    int Index() const { return index_; }
    bool Focused() const { return focused_; }
    bool Down() const { return down_; }
    TDropPanel& Panel() { return *panel_; }
    TItemImage& Image() { return *image_; }

protected:
    // The blue frame of the keyboard cursor, drawn on a face of the image's size.
    void DrawFocusFrame(platform::TPixmap& face);
    // An empty button under the edit lock refuses files: the lock cannot be bypassed by a drop.
    void UpdateDropAccept();
    bool ItemEmpty() { return GetItem().Path.empty(); }
    TDocument& Doc();

    TItemGrid& grid_;
    IItemGridOwner& owner_;
    int index_;
    TDropPanel* panel_;
    TItemImage* image_;
    bool down_ = false;
};

class TPageItemBtn : public TItemBtnBase {
public:
    TPageItemBtn(TItemGrid& grid, int index);

    TItem& GetItem() override;
    TItemPos GetPosition() override;
    void Draw() override;
    platform::TPictureRef ShownFace() override;
    void CatchUp() override;

private:
    // The item's cached face, or the blank face when it has none (or no page is selected).
    platform::TPictureRef ItemFace();
    // A page is selected and has a slot for this button.
    bool HasItem();
    // Makes the image's picture for the pressed look and the focus frame (or none:
    // the face is then looked up when painted).
    void Compose();
    bool composed_ = false; // the image shows its own picture (pressed look, focus frame)
    // The grid's page selection this button has caught up with (none yet).
    uint64_t selection_ = 0;
};

class TIndItemBtn : public TItemBtnBase {
public:
    TIndItemBtn(TItemGrid& grid, int index);

    TItem& GetItem() override;
    TItemPos GetPosition() override;
    void Draw() override;
    void Refresh() override;
    void Delete() override;
    void Insert() override;
    platform::TPictureRef ShownFace() override;

private:
    // Draws the face (icon, pressed look, focus frame) on the image's picture.
    void Compose();
    bool faceStale_ = true; // the picture is drawn again when next painted
};
