#include "mainwindow/win32/itemgrid.h"

#include <oleacc.h>

#include "model/document.h"
#include "model/item.h"
#include "model/viewdata.h"
#include "ui/dpi.h"
#include "ui/lighthost.h"
#include "ui/statusbar.h"

namespace {

// An item button's control going back to its pool: no button, hidden, off its parent.
template <class TControl> void ReleaseItemControl(TControl& control) {
    control.Button = nullptr;
    control.SetVisible(false);
    control.Detach();
}

} // namespace

TItemGrid::TItemGrid(IItemGridOwner& owner, ui::TLightHost& pagePanel, ui::TLightHost& indPanel,
                     ui::TStatusBar& status, const TLayout& layout, ui::TWindow& timerWindow)
    : owner_(owner), pagePanel_(pagePanel), indPanel_(indPanel), status_(status), layout_(layout),
      tmrAfterExe_(timerWindow, 3000, false),
      imagePool_([] { return std::make_unique<TItemImage>(); },
                 [](TItemImage& image) { image.SetShowHint(false); }, ReleaseItemControl<TItemImage>),
      dropPanelPool_(
          [] {
              auto panel = std::make_unique<TDropPanel>();
              TDropPanel* p = panel.get();
              p->OnDropFiles = [p](TDropPanel& sender, int n, const std::vector<std::string>& names) {
                  if (p->Button) p->Button->DropFiles(sender, n, names);
              };
              return panel;
          },
          [](TDropPanel& panel) { panel.SetShowHint(false); }, ReleaseItemControl<TDropPanel>) {
    // The double-click guard holds for a while after a start.
    tmrAfterExe_.OnTimer = [this] {
        tmrAfterExe_.SetEnabled(false);
        afterExeBtn_ = nullptr;
    };
}

// ---------------------------------------------------------------------------------
// Building

void TItemGrid::Build() {
    int slots = layout_.SlotCount();
    for (int i = 0; i < slots; ++i)
        pageItemBtns_.emplace_back(*this, i);
    for (int i = 0; i < indCount_; ++i) {
        indBtns_.emplace_back(*this, i);
        indBtns_.back().Refresh();
    }
    // The new buttons show the cursor that was kept through the rebuild.
    if (TItemBtnBase* b = CursorButton()) b->SetFocused(true);
}

void TItemGrid::DestroyItemButtons() {
    // Nothing may keep pointing at a button that is gone.
    pressedBtn_ = nullptr;
    if (captureBtn_) SetCaptureButton(nullptr);
    SetAfterExeButton(nullptr);
    // The grid goes as a whole: one invalidation each, not one per control.
    ui::TInvalidationLock holdPage(pagePanel_), holdInd(indPanel_);
    pageItemBtns_.clear();
    indBtns_.clear();
}

void TItemGrid::ShowPage(int index) {
    // The double-click guard does not carry over to another page.
    if (index != page_) afterExeBtn_ = nullptr;
    page_ = index;
    if (index != -1) {
        // Every button now stands for an item of this page. None is brought up to date
        // here: each catches up (icon, drop acceptance, face) when it is painted, so a
        // page of 10,000 slots costs what shows of it, and the grid is invalidated once.
        ++pageSelection_;
        pagePanel_.InvalidateClient();
    }
    if (cursorKind_ == TCursorKind::Page) {
        int before = cursorPos_;
        SetKeyCursor(TCursorKind::Page, 0);
        // The cursor stayed on its button, which shows another item now.
        if (before == cursorPos_ && index != -1) AnnounceCursor();
    }
}

// ---------------------------------------------------------------------------------
// Buttons, cursor, capture

void TItemGrid::SetKeyCursor(TCursorKind kind, int position) {
    // A row without buttons has no place for the cursor: it stays where it is.
    if (kind == TCursorKind::Ind && indCount_ <= 0) return;
    position = WrapCursor(kind, position, (int)pageItemBtns_.size(), indCount_);
    if (kind != cursorKind_ || position != cursorPos_) {
        SetCaptureButton(nullptr);
        if (TItemBtnBase* old = CursorButton()) old->SetFocused(false);
        cursorKind_ = kind;
        cursorPos_ = position;
        if (TItemBtnBase* b = CursorButton()) b->SetFocused(true);
        AnnounceCursor();
    }
    if (TItemBtnBase* b = CursorButton()) ShowItemStatus(b);
}

void TItemGrid::SetKeyCursorTo(TItemBtnBase* button) {
    if (TPageItemBtn* p = dynamic_cast<TPageItemBtn*>(button))
        SetKeyCursor(TCursorKind::Page, p->Index());
    else if (TIndItemBtn* i = dynamic_cast<TIndItemBtn*>(button))
        SetKeyCursor(TCursorKind::Ind, i->Index());
    else
        SetKeyCursor(TCursorKind::None, 0);
}

void TItemGrid::AnnounceCursor() {
    if (!CursorButton()) return;
    ui::TLightHost& host = cursorKind_ == TCursorKind::Page ? pagePanel_ : indPanel_;
    if (!IsWindowVisible(host.Handle())) return;
    host.RaiseAccessibleEvent(EVENT_OBJECT_FOCUS, cursorPos_);
    host.RaiseAccessibleEvent(EVENT_OBJECT_SELECTION, cursorPos_);
}

TItemBtnBase* TItemGrid::CursorButton() {
    if (cursorKind_ == TCursorKind::Page && cursorPos_ >= 0 && cursorPos_ < (int)pageItemBtns_.size())
        return &pageItemBtns_[(size_t)cursorPos_];
    if (cursorKind_ == TCursorKind::Ind && cursorPos_ >= 0 && cursorPos_ < (int)indBtns_.size())
        return &indBtns_[(size_t)cursorPos_];
    return nullptr;
}

TItem* TItemGrid::CursorItem() {
    if (page_ == -1) return nullptr;
    TItemBtnBase* b = CursorButton();
    return b ? &b->GetItem() : nullptr;
}

void TItemGrid::SetPressedButton(TItemBtnBase* button) {
    if (button == pressedBtn_) return;
    if (pressedBtn_) pressedBtn_->SetDown(false);
    if (button) button->SetDown(true);
    pressedBtn_ = button;
}

void TItemGrid::SetCaptureButton(TItemBtnBase* button) {
    if (button == captureBtn_) return;
    if (captureBtn_)
        if (ui::TLightHost* host = captureBtn_->Panel().Host()) host->ReleaseCaptureControl();
    if (button) button->Panel().SetCapture();
    captureBtn_ = button;
}

void TItemGrid::CaptureLost() {
    captureBtn_ = nullptr;
    SetPressedButton(nullptr);
}

void TItemGrid::ShowItemStatus(TItemBtnBase* button) {
    std::string text;
    if (button && page_ != -1) text = button->GetItem().Comment;
    if (text == statusText_) return;
    statusText_ = text;
    status_.SetPanelText(0, text);
}

void TItemGrid::RefreshButtonAt(const TItemPos& pos) {
    if (pos.Page == kIndPage) {
        if (pos.Index >= 0 && pos.Index < (int)indBtns_.size()) indBtns_[(size_t)pos.Index].Refresh();
    } else if (pos.Page == page_ && pos.Page >= 0) {
        if (pos.Index >= 0 && pos.Index < (int)pageItemBtns_.size())
            pageItemBtns_[(size_t)pos.Index].Refresh();
    }
}

void TItemGrid::RefreshIndButtons() {
    for (auto& b : indBtns_)
        b.Refresh();
}

void TItemGrid::RefreshAllButtons() {
    if (page_ != -1)
        for (auto& b : pageItemBtns_)
            b.Refresh();
    RefreshIndButtons();
}

// ---------------------------------------------------------------------------------
// Launching

void TItemGrid::SetAfterExeButton(TItemBtnBase* button) {
    tmrAfterExe_.SetEnabled(false);
    afterExeBtn_ = button;
    if (button) tmrAfterExe_.SetEnabled(true);
}

// ---------------------------------------------------------------------------------
// Faces

TFaceStyle TItemGrid::FaceStyle() {
    TDocument* doc = owner_.Document();
    TViewData& view = owner_.View();
    TFaceStyle s = FaceStyleOf(view, doc ? doc->IconList.get() : nullptr);
    const TLook& look = owner_.Look();
    if (look.HighContrast) {
        s.BtnColor = look.Btn;
        s.SelColor = look.Sel;
        s.ItemFont.Color = look.Text;
        s.OwnSelText = true;
        s.SelTextColor = look.SelText;
    }
    int columns = doc ? doc->PageWidth : 5, rows = doc ? doc->PageHeight : 3;
    // The sizes the buttons are laid out with, so that a face never outgrows its button.
    s.ItemWidth = ClampItemSize(view.ItemWidth, columns);
    s.ItemHeight = ClampItemSize(view.ItemHeight, rows);
    s.Scale = layout_.Scale;
    s.ItemFont.PixelsPerInch = ui::FontPixelsPerInch(layout_.Scale.Dpi());
    return s;
}

void TItemGrid::PaintItemFace(const TItem& item, platform::TPixmap& image) {
    TFaceStyle s = FaceStyle();
    image.Resize(s.FaceWidth(), s.FaceHeight());
    ui::TPixmapCanvas canvas(image, faceText_);
    ::DrawItemFace(s, item, canvas, false);
}

void TItemGrid::DrawItemFace(const TItem& item, platform::ICanvas& canvas, bool pressed) {
    ::DrawItemFace(FaceStyle(), item, canvas, pressed);
}

void TItemGrid::DrawIndFace(const TItem& item, platform::ICanvas& canvas, bool pressed) {
    ::DrawIndFace(FaceStyle(), item, canvas, pressed);
}

void TItemGrid::MakeBlankFace() {
    TFaceStyle s = FaceStyle();
    blankFace_.Resize(s.FaceWidth(), s.FaceHeight());
    TItem empty(false);
    ui::TPixmapCanvas canvas(blankFace_, faceText_);
    ::DrawItemFace(s, empty, canvas, false);
}
