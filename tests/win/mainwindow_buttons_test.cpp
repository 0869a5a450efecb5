// Item buttons under the mouse and the keyboard: pressing, dragging out and back,
// releasing inside and outside, Enter and Space, the right-click menu, clicks on
// empty buttons, the status bar and the hints of the independent row.
#include "mainwindow_support.h"

using namespace mwtest;

class MainWindowButtons : public MainWindowTest {
protected:
    // A probe program in slot 1 of page 0, started without any after-launch action.
    TfrmMain& OpenWithProbe() {
        TfrmMain& f = Open();
        Fill(PageItem(0, 1), Probe(), "probe");
        return f;
    }
    // No start arrives within a while.
    bool NothingStarted() { return Launches(1, 1500).empty(); }
};

TEST_F(MainWindowButtons, PressDragOutAndBackReleaseInsideStartsOnce) {
    TfrmMain& f = OpenWithProbe();
    TPageItemBtn& b = f.Grid.PageItemButton(1);
    POINT in = SlotPoint(1), out = {460, 250};
    Mouse(f.pnlPage, WM_LBUTTONDOWN, in, MK_LBUTTON);
    EXPECT_EQ(&b, f.Grid.PressedButton());
    EXPECT_EQ(&b, f.Grid.CaptureButton());
    EXPECT_EQ(f.pnlPage.Handle(), GetCapture());
    EXPECT_TRUE(b.Down());
    EXPECT_EQ(ui::TBevelCut::Lowered, b.Panel().BevelOuter());
    EXPECT_EQ(1, f.Grid.CursorPosition()) << "pressing moves the cursor to the button";

    Mouse(f.pnlPage, WM_MOUSEMOVE, out, MK_LBUTTON);
    EXPECT_EQ(nullptr, f.Grid.PressedButton()) << "the pressed look follows the pointer out";
    EXPECT_FALSE(b.Down());
    Mouse(f.pnlPage, WM_MOUSEMOVE, in, MK_LBUTTON);
    EXPECT_TRUE(b.Down());
    Mouse(f.pnlPage, WM_LBUTTONUP, in);
    EXPECT_EQ(nullptr, f.Grid.PressedButton());
    EXPECT_EQ(nullptr, f.Grid.CaptureButton());
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(ui::TBevelCut::Raised, b.Panel().BevelOuter());
    EXPECT_EQ(1u, Launches(1).size());
    EXPECT_FALSE(IsIconic(f.Handle())) << "the item's action is to do nothing";
}

TEST_F(MainWindowButtons, ReleasingOutsideStartsNothingAndLeavesNothingPressed) {
    TfrmMain& f = OpenWithProbe();
    Mouse(f.pnlPage, WM_LBUTTONDOWN, SlotPoint(1), MK_LBUTTON);
    // Released over another button: still nothing, since the capture stayed with the first.
    Mouse(f.pnlPage, WM_MOUSEMOVE, SlotPoint(2), MK_LBUTTON);
    Mouse(f.pnlPage, WM_LBUTTONUP, SlotPoint(2));
    EXPECT_EQ(nullptr, f.Grid.PressedButton());
    EXPECT_FALSE(f.Grid.PageItemButton(1).Down());
    EXPECT_FALSE(f.Grid.PageItemButton(2).Down());
    EXPECT_EQ(0, dialogs_.Edits) << "the empty button under the pointer opens nothing";
    EXPECT_TRUE(NothingStarted());
}

TEST_F(MainWindowButtons, ClickingAnEmptyButtonEditsItUnlessTheEditLockIsOn) {
    TfrmMain& f = Open();
    dialogs_.OnEdit = [&](TItem& item) {
        item.Path = "C:\\Windows\\notepad.exe";
        item.Name = "メモ帳";
        item.RefreshIcon(false); // as the dialog's OK does
        return true;
    };
    ClickSlot(3);
    EXPECT_EQ(1, dialogs_.Edits);
    EXPECT_EQ("メモ帳", PageItem(0, 3).Name);
    EXPECT_TRUE(shelltest::ExistsW(platform::Widen(DataFile()))) << "the change is saved at once";
    EXPECT_TRUE(PageItem(0, 3).Image != nullptr) << "the button shows the new face";

    Doc().NoEdit = true;
    ClickSlot(4);
    EXPECT_EQ(1, dialogs_.Edits);
    // A cancelled dialog changes nothing.
    Doc().NoEdit = false;
    dialogs_.OnEdit = nullptr;
    ClickSlot(4);
    EXPECT_EQ(2, dialogs_.Edits);
    EXPECT_EQ("", PageItem(0, 4).Path);
    (void)f;
}

TEST_F(MainWindowButtons, EnterAndSpaceStartTheButtonUnderTheCursor) {
    TfrmMain& f = OpenWithProbe();
    Press(VK_RIGHT);
    ASSERT_EQ(1, f.Grid.CursorPosition());
    KeyDown(VK_RETURN);
    EXPECT_TRUE(f.Grid.PageItemButton(1).Down());
    KeyUp(VK_RETURN);
    EXPECT_FALSE(f.Grid.PageItemButton(1).Down());
    EXPECT_EQ(1u, Launches(1).size());
    Press(VK_SPACE);
    EXPECT_EQ(2u, Launches(2).size());

    // On an empty button the keys press and release it, and open nothing.
    Press(VK_RIGHT);
    Press(VK_RETURN);
    EXPECT_EQ(0, dialogs_.Edits);
    EXPECT_EQ(nullptr, f.Grid.PressedButton());
    // Home and End are no navigation keys: they reach the button, which ignores them.
    Press(VK_HOME);
    EXPECT_EQ(2, f.Grid.CursorPosition());
}

TEST_F(MainWindowButtons, ARightClickPutsTheCursorOnTheButtonAndOpensTheItemMenu) {
    TfrmMain& f = OpenWithProbe();
    ChooseFromNextPopup(f.Handle(), -1);
    Mouse(f.pnlPage, WM_RBUTTONDOWN, SlotPoint(1), MK_RBUTTON);
    EXPECT_EQ(nullptr, GetCapture()) << "the right button takes no capture";
    Mouse(f.pnlPage, WM_RBUTTONUP, SlotPoint(1));
    EXPECT_EQ(1, f.Grid.CursorPosition());
    TMainMenus& m = f.Menus;
    EXPECT_TRUE(m.mniItemCopy.Enabled());
    EXPECT_TRUE(m.mniItemCut.Enabled());
    EXPECT_FALSE(m.mniItemPaste.Enabled()) << "nothing copied, and the slot is not empty";
    EXPECT_FALSE(m.mniItemExc.Enabled());
    EXPECT_FALSE(m.mniItemInsert.Enabled()) << "page slots are not inserted";
    EXPECT_TRUE(m.mniLFol.Enabled() == !PageItem(0, 1).LFol.empty());
    EXPECT_EQ(m.mniItemCopy.Enabled(), m.mniMainItemCopy.Enabled());
    EXPECT_EQ(m.mniItemPaste.Enabled(), m.mniMainItemPaste.Enabled());
    EXPECT_EQ(m.mniItemInsert.Enabled(), m.mniMainItemInsert.Enabled());

    // The menu's commands act on the clicked button: its first entry edits it.
    TItem* edited = nullptr;
    dialogs_.OnEdit = [&](TItem& item) {
        edited = &item;
        return false;
    };
    ChooseFromNextPopup(f.Handle(), 1);
    Mouse(f.pnlPage, WM_RBUTTONDOWN, SlotPoint(6), MK_RBUTTON);
    Mouse(f.pnlPage, WM_RBUTTONUP, SlotPoint(6));
    EXPECT_EQ(&PageItem(0, 6), edited);
    EXPECT_TRUE(NothingStarted());
}

TEST_F(MainWindowButtons, TheStatusBarShowsTheCommentOfTheItemUnderThePointer) {
    TfrmMain& f = OpenWithProbe();
    PageItem(0, 1).Comment = "計算機です";
    Doc().IndItems[2]->Comment = "独立したアイテム";
    Mouse(f.pnlPage, WM_MOUSEMOVE, SlotPoint(1));
    EXPECT_EQ("計算機です", f.stbMain.PanelText(0));
    Mouse(f.pnlInd, WM_MOUSEMOVE, IndPoint(2));
    EXPECT_EQ("独立したアイテム", f.stbMain.PanelText(0));
    Mouse(f.pnlPage, WM_MOUSEMOVE, SlotPoint(0));
    EXPECT_EQ("", f.stbMain.PanelText(0));
}

TEST_F(MainWindowButtons, IndependentButtonsShowTheirNameAsAHintAndStartLikeTheGrid) {
    TfrmMain& f = Open();
    Fill(*Doc().IndItems[0], Probe(), "独立プローブ");
    TIndItemBtn& b = f.Grid.IndButton(0);
    EXPECT_EQ("独立プローブ", b.Image().Hint());
    EXPECT_TRUE(b.Image().ShowHint());
    EXPECT_FALSE(f.Grid.PageItemButton(0).Image().ShowHint()) << "page faces carry their title";
    EXPECT_EQ("独立プローブ", f.pnlInd.HintAt(IndPoint(0).x, IndPoint(0).y));

    Click(f.pnlInd, IndPoint(0));
    EXPECT_EQ(1u, Launches(1).size());
    EXPECT_EQ(TCursorKind::Ind, f.Grid.CursorKind());
    EXPECT_EQ(0, f.Grid.CursorPosition());
    platform::TPixmap shot;
    f.pnlInd.PaintTo(shot);
    EXPECT_EQ(0x000000FFu, shot.Pixel(10 + 2 + 1, 10 + 2 + 1)) << "the focus frame on the row's button";
}

TEST_F(MainWindowButtons, NoButtonStaysPressedAfterAltSpaceOrACaptureTakenAway) {
    TfrmMain& f = OpenWithProbe();
    f.Grid.SetKeyCursor(TCursorKind::Page, 1);
    // Alt+Space opens the window's system menu: it presses no button.
    SendMessageW(f.Handle(), WM_SYSKEYDOWN, VK_SPACE, 1 << 29);
    EXPECT_EQ(nullptr, f.Grid.PressedButton());
    SendMessageW(f.Handle(), WM_SYSKEYDOWN, VK_RETURN, 1 << 29);
    EXPECT_EQ(nullptr, f.Grid.PressedButton());

    // Pressed with the mouse, then another window takes the capture (a box, a menu).
    Mouse(f.pnlPage, WM_LBUTTONDOWN, SlotPoint(1), MK_LBUTTON);
    ASSERT_EQ(&f.Grid.PageItemButton(1), f.Grid.PressedButton());
    ui::TForm other("other", nullptr);
    SetCapture(other.Handle());
    EXPECT_EQ(nullptr, f.Grid.PressedButton());
    EXPECT_EQ(nullptr, f.Grid.CaptureButton());
    EXPECT_FALSE(f.Grid.PageItemButton(1).Down());
    ReleaseCapture();
    EXPECT_TRUE(NothingStarted());
}
