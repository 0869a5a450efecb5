#include "mainwindow/win32/itembutton.h"

#include <oleacc.h>

#include <algorithm>

#include "mainwindow/commandstate.h"
#include "mainwindow/win32/droppanel.h"
#include "mainwindow/win32/commands.h"
#include "mainwindow/win32/itemgrid.h"
#include "mainwindow/win32/maindialogs.h"
#include "model/item.h"
#include "model/viewdata.h"
#include "ui/canvas.h"
#include "ui/menu.h"
#include "platform/exception.h"
#include "platform/system.h"
#include "ui/lighthost.h"

namespace {

const int kResultGuarded = 33; // a start the double-click guard skipped counts as a success
const WORD kEnter = 13, kSpace = 32;

void FrameLine(platform::TPixmap& face, uint32_t pixel, int x0, int y0, int x1, int y1) {
    for (int y = std::max(y0, 0); y <= std::min(y1, face.Height() - 1); ++y)
        for (int x = std::max(x0, 0); x <= std::min(x1, face.Width() - 1); ++x)
            face.SetPixel(x, y, pixel);
}

} // namespace

// ---------------------------------------------------------------------------------
// TItemBtnBase

TItemBtnBase::TItemBtnBase(TItemGrid& grid, int index, ui::TLightHost& parent)
    : grid_(grid), owner_(grid.Owner()), index_(index), panel_(grid.TakeDropPanel()),
      image_(grid.TakeImage()) {
    panel_->Button = this;
    panel_->SetParent(parent);
    panel_->SetBevelWidth(grid.Layout().Bevel());
    panel_->SetBevelOuter(ui::TBevelCut::Raised);
    panel_->SetColor(owner_.Look().Btn);
    panel_->SetDragDropAccept(true);
    image_->Button = this;
    image_->SetParent(*panel_);
}

TItemBtnBase::~TItemBtnBase() {
    panel_->Button = nullptr;
    image_->Button = nullptr;
    grid_.GiveDropPanel(panel_);
    grid_.GiveImage(image_);
}

TDocument& TItemBtnBase::Doc() {
    return *owner_.Document();
}

void TItemBtnBase::SetFocused(bool focused) {
    if (focused_ != focused) {
        focused_ = focused;
        Draw();
    }
    // A pressed look never stays on a button that lost the cursor.
    if (!focused_ && down_) grid_.SetPressedButton(nullptr);
}

void TItemBtnBase::KeyDown(WORD& key, ui::TShiftState shift) {
    // With Alt held, Space opens the system menu and Enter is no start either.
    if ((key == kEnter || key == kSpace) && !(shift & ui::ssAlt)) grid_.SetPressedButton(this);
}

void TItemBtnBase::KeyUp(WORD& key, ui::TShiftState) {
    if ((key != kEnter && key != kSpace) || !down_) return;
    bool used = !ItemEmpty();
    int result = 0;
    if (used) result = Execute(std::string());
    grid_.SetPressedButton(nullptr);
    // The keyboard starts items only: an empty one opens no edit dialog.
    if (used) AfterExecute(result);
}

void TItemBtnBase::SetDown(bool down) {
    if (down != down_) {
        panel_->SetBevelOuter(down ? ui::TBevelCut::Lowered : ui::TBevelCut::Raised);
        panel_->SetColor(down ? owner_.Look().Sel : owner_.Look().Btn);
        down_ = down;
        Draw();
        if (ui::TLightHost* host = panel_->Host())
            host->RaiseAccessibleEvent(EVENT_OBJECT_STATECHANGE, index_);
    }
    if (down_) grid_.SetKeyCursorTo(this);
}

bool TItemBtnBase::HitTest(const ui::TLightControl& control, int x, int y) {
    if (&control == image_) {
        x += image_->Left();
        y += image_->Top();
    } else if (&control != panel_) {
        return false;
    }
    return x >= 0 && x < panel_->Width() && y >= 0 && y < panel_->Height();
}

int TItemBtnBase::Execute(const std::string& parameters) {
    if (Doc().PreventDblExe && grid_.AfterExeButton() == this) return kResultGuarded;
    grid_.SetAfterExeButton(this);
    TItem& item = GetItem();
    int result = item.Run(parameters);
    switch (item.GetExeAnd()) {
    case eaMinimize:
        owner_.MinimizeOrHide();
        break;
    case eaExit:
        ShowWindow(owner_.Window(), SW_HIDE);
        break;
    }
    return result;
}

void TItemBtnBase::AfterExecute(int result) {
    Refresh();
    // Closing is the last step: the window destroys this button when it closes.
    if (owner_.ReportLaunchResult(result) && GetItem().GetExeAnd() == eaExit) owner_.CloseSoon();
}

void TItemBtnBase::SetFile(const std::string& path) {
    GetItem().SetFromFile(path);
    Doc().SaveIfNeeded(TSaveReason::Change);
    Refresh();
}

void TItemBtnBase::UpdateDropAccept() {
    panel_->SetDragDropAccept(!ItemEmpty() || !Doc().NoEdit);
}

void TItemBtnBase::Refresh() {
    UpdateDropAccept();
    Draw();
}

void TItemBtnBase::UpdateMenus() {
    TDocument& doc = Doc();
    bool independent = GetPosition().Page == kIndPage;
    owner_.ItemCommands().SetItemStates(ItemMenuState(GetItem(), independent, doc.NoEdit,
                                                      doc.ClipItem->Path.empty(), doc.ClipPos.Page != -1));
}

void TItemBtnBase::Edit() {
    if (MainDialogs().EditItem(GetItem())) {
        Doc().SaveIfNeeded(TSaveReason::Change);
        Refresh();
    }
}

void TItemBtnBase::Delete() {
    GetItem().ClearItem();
    Doc().SaveIfNeeded(TSaveReason::Change);
    Refresh();
}

void TItemBtnBase::MouseDown(ui::TLightControl&, ui::TMouseButton button, ui::TShiftState, int, int) {
    if (button != ui::TMouseButton::Left) return;
    grid_.SetPressedButton(this);
    grid_.SetCaptureButton(this);
}

void TItemBtnBase::MouseMove(ui::TLightControl& sender, ui::TShiftState, int x, int y) {
    // While the button holds the capture, the pressed look follows the pointer in and out.
    if (grid_.CaptureButton() == this) grid_.SetPressedButton(HitTest(sender, x, y) ? this : nullptr);
    grid_.ShowItemStatus(this);
}

void TItemBtnBase::MouseUp(ui::TLightControl& sender, ui::TMouseButton button, ui::TShiftState, int x,
                           int y) {
    if (grid_.CaptureButton() == this) {
        if (button != ui::TMouseButton::Left) return;
        bool inside = HitTest(sender, x, y);
        grid_.SetCaptureButton(nullptr);
        if (inside)
            Click();
        else
            grid_.SetPressedButton(nullptr);
        return;
    }
    if (button != ui::TMouseButton::Right) return;
    grid_.SetCaptureButton(nullptr);
    if (!HitTest(sender, x, y)) return;
    grid_.SetPressedButton(nullptr);
    grid_.SetKeyCursorTo(this);
    UpdateMenus();
    POINT p = sender.ClientToScreen(POINT{x, y});
    // The menu's commands may rebuild the window and so destroy this button: nothing
    // of it is touched after the menu.
    owner_.ItemMenu().Popup(p.x, p.y);
}

void TItemBtnBase::Click() {
    bool used = !ItemEmpty();
    int result = 0;
    grid_.SetPressedButton(this);
    if (used) result = Execute(std::string());
    grid_.SetPressedButton(nullptr);
    if (used)
        AfterExecute(result);
    else if (!Doc().NoEdit)
        Edit();
}

void TItemBtnBase::DropFiles(TDropPanel&, int iFiles, const std::vector<std::string>& dropFileNames) {
    if (iFiles <= 0 || dropFileNames.empty()) return;
    if (ItemEmpty()) {
        SetFile(dropFileNames[0]); // the other names are ignored
        return;
    }
    int result = Execute(JoinDropParameters(dropFileNames));
    AfterExecute(result);
}

void TItemBtnBase::DrawFocusFrame(platform::TPixmap& face) {
    // At 96 DPI: the outline of a rectangle from (1 + s, 1 + s) to (w - 1 + s,
    // h - 1 + s), as a pen of width 1 draws it (the right and bottom edges inside),
    // s being 1 on a pressed face. Inset, shift and line width scale together.
    const TDpiScale& scale = grid_.Layout().Scale;
    int one = scale(1), s = down_ ? one : 0, t = one - 1;
    int w = face.Width(), h = face.Height();
    int left = one + s, top = one + s, right = w - 1 - one + s, bottom = h - 1 - one + s;
    const TLook& look = owner_.Look();
    uint32_t pixel = platform::System().ColorToPixel(down_ ? look.SelFocus : look.Focus);
    FrameLine(face, pixel, left, top, right, top + t);
    FrameLine(face, pixel, left, bottom - t, right, bottom);
    FrameLine(face, pixel, left, top, left + t, bottom);
    FrameLine(face, pixel, right - t, top, right, bottom);
}

// ---------------------------------------------------------------------------------
// TPageItemBtn

TPageItemBtn::TPageItemBtn(TItemGrid& grid, int index) : TItemBtnBase(grid, index, grid.PagePanel()) {
    platform::TRect r = grid.Layout().PageItemButton(index);
    panel_->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    panel_->SetVisible(true);
    int bevel = grid.Layout().Bevel();
    image_->SetBounds(bevel, bevel, r.Width() - 2 * bevel, r.Height() - 2 * bevel);
    image_->SetVisible(true);
}

TItem& TPageItemBtn::GetItem() {
    int page = grid_.Page();
    TDocument& doc = Doc();
    if (page < 0 || page >= (int)doc.Pages.size() || index_ >= doc.Pages[(size_t)page]->SlotCount())
        throw Exception("ページが非選択の状態でページボタンに対応するアイテムを取得しようとしました。");
    return doc.Pages[(size_t)page]->Item(index_);
}

TItemPos TPageItemBtn::GetPosition() {
    return TItemPos{grid_.Page(), index_};
}

platform::TPictureRef TPageItemBtn::ItemFace() {
    platform::TPictureRef blank(&grid_.BlankFace());
    int page = grid_.Page();
    TDocument& doc = Doc();
    if (page < 0 || page >= (int)doc.Pages.size()) return blank;
    TLPage& p = *doc.Pages[(size_t)page];
    if (index_ >= p.SlotCount()) return blank;
    const TItem& item = p.Item(index_);
    return item.Image ? platform::TPictureRef(item.Image.get()) : blank;
}

bool TPageItemBtn::HasItem() {
    int page = grid_.Page();
    TDocument& doc = Doc();
    return page >= 0 && page < (int)doc.Pages.size() && index_ < doc.Pages[(size_t)page]->SlotCount();
}

void TPageItemBtn::CatchUp() {
    if (selection_ == grid_.PageSelection()) return;
    selection_ = grid_.PageSelection();
    if (!HasItem()) return;
    GetItem().PrepareIcon();
    UpdateDropAccept();
    Compose();
}

platform::TPictureRef TPageItemBtn::ShownFace() {
    CatchUp();
    return composed_ ? platform::TPictureRef(&image_->Picture()) : ItemFace();
}

void TPageItemBtn::Compose() {
    bool frame = focused_ && owner_.View().ShowFocus;
    platform::TPixmap& picture = image_->Picture();
    if (down_) {
        if (grid_.Page() >= 0) {
            picture.Resize(image_->Width(), image_->Height());
            ui::TPixmapCanvas canvas(picture);
            grid_.DrawItemFace(GetItem(), canvas, true);
        } else {
            picture = grid_.BlankFace();
        }
        composed_ = true;
    } else if (frame) {
        ItemFace().CopyTo(picture);
        picture.Resize(image_->Width(), image_->Height());
        composed_ = true;
    } else {
        // The face is the item's own, looked up when painted: no copy per button.
        picture = platform::TPixmap();
        composed_ = false;
    }
    if (frame) DrawFocusFrame(picture);
}

void TPageItemBtn::Draw() {
    Compose();
    image_->Invalidate();
}

// ---------------------------------------------------------------------------------
// TIndItemBtn

TIndItemBtn::TIndItemBtn(TItemGrid& grid, int index) : TItemBtnBase(grid, index, grid.IndPanel()) {
    platform::TRect r = grid.Layout().IndButton(index);
    panel_->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    panel_->SetVisible(true);
    int bevel = grid.Layout().Bevel(), size = grid.Layout().IndFaceSize();
    image_->SetBounds(bevel, bevel, size, size);
    image_->Picture().Resize(size, size);
    image_->SetVisible(true);
}

TItem& TIndItemBtn::GetItem() {
    TDocument& doc = Doc();
    // The row is kept at least as long as its buttons; a shorter one is filled up.
    if (index_ >= (int)doc.IndItems.size()) doc.SetIndItemCount(index_ + 1);
    return *doc.IndItems[(size_t)index_];
}

TItemPos TIndItemBtn::GetPosition() {
    return TItemPos{kIndPage, index_};
}

platform::TPictureRef TIndItemBtn::ShownFace() {
    if (faceStale_) {
        faceStale_ = false;
        Compose();
    }
    return platform::TPictureRef(&image_->Picture());
}

void TIndItemBtn::Compose() {
    platform::TPixmap& picture = image_->Picture();
    picture.Resize(image_->Width(), image_->Height());
    {
        ui::TPixmapCanvas canvas(picture);
        grid_.DrawIndFace(GetItem(), canvas, down_);
    }
    if (focused_ && owner_.View().ShowFocus) DrawFocusFrame(picture);
}

void TIndItemBtn::Draw() {
    // The face is drawn when the button is painted: a wide window's row has a hundred
    // buttons, most of them beyond the screen.
    faceStale_ = true;
    image_->Invalidate();
}

void TIndItemBtn::Refresh() {
    // Independent faces carry no title: the name shows as the hint.
    image_->SetHint(GetItem().Name);
    image_->SetShowHint(true);
    TItemBtnBase::Refresh();
}

void TIndItemBtn::Delete() {
    TDocument& doc = Doc();
    bool wasEmpty = ItemEmpty();
    GetItem().ClearItem();
    if (wasEmpty) {
        // An empty slot is removed: the row closes up and gets an empty slot at its end.
        doc.IndItems.erase(doc.IndItems.begin() + index_);
        doc.SetIndItemCount(grid_.IndButtonCount());
    }
    doc.SaveIfNeeded(TSaveReason::Change);
    if (wasEmpty)
        grid_.RefreshIndButtons();
    else
        Refresh();
}

void TIndItemBtn::Insert() {
    TDocument& doc = Doc();
    doc.IndItems.insert(doc.IndItems.begin() + std::min<size_t>((size_t)index_, doc.IndItems.size()),
                        std::make_unique<TItem>(false));
    doc.SetIndItemCount(grid_.IndButtonCount());
    doc.SaveIfNeeded(TSaveReason::Change);
    grid_.RefreshIndButtons();
}
