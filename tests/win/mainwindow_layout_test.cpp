// The main window as it is built: its geometry from the view settings and the
// document, the page buttons, the faces it paints, a grid of 100 x 100, what many
// rebuilds and page switches cost, and the icon preloading under pages that change.
#include "mainwindow_support.h"

#include <chrono>
#include <cstdio>

#include "dpi_support.h"
#include "icon_file.h"
#include "ui/canvas.h"
#include "ui/gdi.h"

using namespace mwtest;

namespace {

struct TBounds {
    int Left, Top, Width, Height;
};

// A window or a windowless control: anything with a place in its parent.
template <class TControl>
TBounds BoundsOf(TControl& w) {
    return TBounds{w.Left(), w.Top(), w.Width(), w.Height()};
}

void ExpectBounds(const TBounds& b, int left, int top, int width, int height, const char* what) {
    EXPECT_EQ(left, b.Left) << what;
    EXPECT_EQ(top, b.Top) << what;
    EXPECT_EQ(width, b.Width) << what;
    EXPECT_EQ(height, b.Height) << what;
}

} // namespace

class MainWindowLayout : public MainWindowTest {
protected:
    platform::TPixmap shot_;
};

TEST_F(MainWindowLayout, TheDefaultWindowIs650WideWithTenPagesAndARowOfTen) {
    TfrmMain& f = Open();
    EXPECT_EQ(650, f.ClientWidth());
    int bar = f.stbMain.BarHeight();
    EXPECT_GT(bar, 0);
    EXPECT_EQ(325 + bar, f.ClientHeight());
    ExpectBounds(BoundsOf(f.pnlPageMenu), 0, 0, 177, 325, "page column");
    ExpectBounds(BoundsOf(f.pnlPage), 178, 0, 472, 264, "grid");
    ExpectBounds(BoundsOf(f.pnlInd), 178, 265, 472, 60, "independent row");
    EXPECT_TRUE(f.pnlInd.Visible());
    EXPECT_EQ(10, f.Grid.IndButtonCount());
    EXPECT_EQ(15, f.Grid.PageItemButtonCount());
    EXPECT_EQ(1u, f.stbMain.PanelCount());

    // Ten page buttons, 31 high, one pixel apart from the top.
    ASSERT_EQ(10u, f.PageButtons().size());
    const int tops[] = {3, 35, 67, 99};
    for (int i = 0; i < 4; ++i) {
        TPageButton& b = *f.PageButtons()[(size_t)i];
        EXPECT_EQ(3, b.Left());
        EXPECT_EQ(tops[i], b.Top());
        EXPECT_EQ(171, b.Width());
        EXPECT_EQ(31, b.Height());
        EXPECT_EQ("無題", b.Caption());
    }
    // Page 0 is selected, and the cursor is on the first grid slot.
    EXPECT_EQ(0, f.CurrentPage());
    EXPECT_EQ(ui::TBevelCut::Lowered, f.PageButtons()[0]->BevelOuter());
    EXPECT_EQ(f.View().SelColor, f.PageButtons()[0]->Color());
    EXPECT_EQ(ui::TBevelCut::Raised, f.PageButtons()[1]->BevelOuter());
    EXPECT_EQ(f.View().BtnColor, f.PageButtons()[1]->Color());
    EXPECT_EQ(TCursorKind::Page, f.Grid.CursorKind());
    EXPECT_EQ(0, f.Grid.CursorPosition());
    EXPECT_TRUE(f.Grid.PageItemButton(0).Focused());

    // The item buttons: slot 6 stands in row 1, column 1; the row's last ends 10 from the edge.
    EXPECT_EQ(102, f.Grid.PageItemButton(6).Panel().Left());
    EXPECT_EQ(94, f.Grid.PageItemButton(6).Panel().Top());
    EXPECT_EQ(84, f.Grid.PageItemButton(6).Panel().Width());
    EXPECT_EQ(10, f.Grid.IndButton(0).Panel().Left());
    EXPECT_EQ(472 - 10, f.Grid.IndButton(9).Panel().Left() + f.Grid.IndButton(9).Panel().Width());
    EXPECT_EQ("Kiropad", f.Caption());
    EXPECT_EQ("Kiropad", ui::Application().Title());
    EXPECT_TRUE(f.HasTaskbarButton());
}

TEST_F(MainWindowLayout, WhatIsClosedIsSavedAndShowsAgainAtTheNextStart) {
    Open();
    // Five pages, one named with ampersands, a title of the user's own.
    while (Doc().Pages.size() > 5)
        Doc().DeletePage(5);
    Doc().Pages[1]->Name = "Tools & Games";
    Form().View().Title = "ランチャー";
    form_.reset();
    EXPECT_TRUE(shelltest::ExistsW(platform::Widen(DataFile())));
    EXPECT_TRUE(shelltest::ExistsW(FolderW() + L"IconClList.bdt"));
    EXPECT_TRUE(shelltest::ExistsW(FolderW() + L"IconMsList.bdt"));

    TfrmMain& f = Open();
    EXPECT_EQ("ランチャー", f.Caption());
    EXPECT_EQ("ランチャー", ui::Application().Title());
    ASSERT_EQ(5u, f.PageButtons().size());
    const int tops[] = {3, 67, 131, 195, 259};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(tops[i], f.PageButtons()[(size_t)i]->Top());
        EXPECT_EQ(63, f.PageButtons()[(size_t)i]->Height());
    }
    // The name shows literally: no character of it becomes an access key.
    EXPECT_EQ("Tools && Games", f.PageButtons()[1]->Caption());
}

TEST_F(MainWindowLayout, WithoutTheIndependentRowTheColumnEndsLevelWithTheGrid) {
    TfrmMain& f = Open();
    Doc().ShowInd = false;
    f.RebuildLayout();
    EXPECT_FALSE(f.pnlInd.Visible());
    EXPECT_EQ(0, f.Grid.IndButtonCount());
    EXPECT_EQ(264, f.pnlPageMenu.Height());
    EXPECT_EQ(264 + f.stbMain.BarHeight(), f.ClientHeight());
    // Tab finds no row to go to: the cursor goes to the first grid slot each time.
    Press(VK_RIGHT);
    Press(VK_TAB);
    EXPECT_EQ(TCursorKind::Page, f.Grid.CursorKind());
    EXPECT_EQ(0, f.Grid.CursorPosition());
}

TEST_F(MainWindowLayout, FacesShowTheButtonColourThePressedLookAndTheFocusFrame) {
    TfrmMain& f = Open();
    platform::TPixmap shot;
    f.pnlPage.PaintTo(shot);
    uint32_t face = ui::ColorToPixel(f.View().BtnColor);
    const uint32_t blue = 0x000000FF;
    EXPECT_EQ(0u, shot.Pixel(5, 5)) << "the grid's black background";
    // Slot 0: panel at (10, 10), image at (2, 2) on it, the frame one pixel inside the image.
    EXPECT_EQ(blue, shot.Pixel(13, 13)) << "focus frame of the cursor button";
    EXPECT_EQ(blue, shot.Pixel(12 + 78, 12 + 70)) << "its bottom right corner";
    EXPECT_EQ(face, shot.Pixel(12 + 79, 12 + 71));
    EXPECT_EQ(face, shot.Pixel(20, 20));
    EXPECT_EQ(face, shot.Pixel(102 + 3, 10 + 3)) << "no frame on another button";

    // Pressed: the selected colour, and the frame one pixel further right and down.
    f.Grid.SetPressedButton(&f.Grid.PageItemButton(0));
    f.pnlPage.PaintTo(shot);
    EXPECT_EQ(ui::ColorToPixel(f.View().SelColor), shot.Pixel(20, 20));
    EXPECT_EQ(blue, shot.Pixel(14, 14));
    EXPECT_NE(blue, shot.Pixel(13, 13));
    f.Grid.SetPressedButton(nullptr);

    // Without the focus-frame setting no frame is drawn.
    f.View().ShowFocus = false;
    f.Grid.PageItemButton(0).Refresh();
    f.pnlPage.PaintTo(shot);
    EXPECT_EQ(face, shot.Pixel(13, 13));
}

namespace {

// Pixels of a painted grid that differ from a face at (left, top), a margin of the
// face (where the focus frame lies) left out.
int Differences(const platform::TPixmap& shot, int left, int top, const platform::TPixmap& face, int margin) {
    int n = 0;
    for (int y = margin; y < face.Height() - margin; ++y)
        for (int x = margin; x < face.Width() - margin; ++x)
            n += shot.Pixel(left + x, top + y) != face.Pixel(x, y);
    return n;
}

} // namespace

TEST_F(MainWindowLayout, APageSwitchPaintsTheNewPageWithTheCursorStatusAndPressedLook) {
    TfrmMain& f = Open();
    Fill(PageItem(1, 0), Probe(), "probe");
    PageItem(1, 0).Comment = "次のページ";
    platform::TPixmap face;
    PageItem(1, 0).Image->UnpackTo(face);
    ASSERT_GT(Differences(face, 0, 0, f.Grid.BlankFace(), 3), 0) << "the face is not the blank one";
    Press(VK_NEXT);
    EXPECT_EQ("次のページ", f.stbMain.PanelText(0)) << "the status shows the item under the cursor";
    f.pnlPage.FlushInvalidation();
    RECT r;
    ASSERT_TRUE(GetUpdateRect(f.pnlPage.Handle(), &r, FALSE));
    EXPECT_EQ(f.pnlPage.ClientWidth(), r.right) << "the whole grid is to be painted";
    // Slot 0 (its image at (12, 12)) shows page 1's face under the focus frame.
    platform::TPixmap shot;
    f.pnlPage.PaintTo(shot);
    EXPECT_EQ(0, Differences(shot, 12, 12, face, 3));
    EXPECT_EQ(0x000000FFu, shot.Pixel(13, 13)) << "the focus frame";

    // Pressed on page 0's empty slot and held through the switch: the pressed look shows page 1's item.
    Press(VK_PRIOR);
    f.pnlPage.PaintTo(shot);
    Mouse(f.pnlPage, WM_LBUTTONDOWN, SlotPoint(0), MK_LBUTTON);
    Press(VK_NEXT);
    ASSERT_EQ(&f.Grid.PageItemButton(0), f.Grid.PressedButton());
    platform::TPixmap pressed(face.Width(), face.Height());
    {
        ui::TPixmapCanvas canvas(pressed);
        f.Grid.DrawItemFace(PageItem(1, 0), canvas, true);
    }
    f.pnlPage.PaintTo(shot);
    EXPECT_EQ(0, Differences(shot, 12, 12, pressed, 4));
    Mouse(f.pnlPage, WM_LBUTTONUP, POINT{1, 1});
}

TEST_F(MainWindowLayout, AGridOf100x100BuildsDrawsAndRespondsWithoutMoreWindows) {
    TfrmMain& f = Open();
    long windows = ui::LiveWindows();
    ShowWindow(f.Handle(), SW_HIDE); // measured without the display's cost of showing a window
    auto start = std::chrono::steady_clock::now();
    f.ResizePages(100, 100);
    double built =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    ShowWindow(f.Handle(), SW_SHOW);
    start = std::chrono::steady_clock::now();
    f.pnlPage.Invalidate();
    f.pnlPage.Update();
    double painted =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf(
        "[ measure  ] a grid of 100 x 100 (10 pages of 10,000 items): built in %.0f ms, painted in %.0f ms\n",
        built, painted);
    ASSERT_EQ(10000, f.Grid.PageItemButtonCount());
    EXPECT_EQ(windows, ui::LiveWindows()) << "10,000 buttons and not one window more";
    EXPECT_EQ(100, Doc().PageWidth);
    EXPECT_EQ(10000, Doc().Pages[0]->SlotCount());

    // The last button answers a click: an empty slot opens the edit dialog for its item.
    TItem* edited = nullptr;
    dialogs_.OnEdit = [&](TItem& item) {
        edited = &item;
        return false;
    };
    ClickSlot(9999);
    EXPECT_EQ(&PageItem(0, 9999), edited);
    EXPECT_EQ(TCursorKind::Page, f.Grid.CursorKind());
    EXPECT_EQ(9999, f.Grid.CursorPosition());
}

TEST_F(MainWindowLayout, TenThousandPagesAreButtonsWithoutWindowsOfTheirOwn) {
    TfrmMain& f = Open();
    f.pnlPageMenu.Update();
    long windows = ui::LiveWindows(), gdi = ui::LiveGdiObjects();
    for (int i = 0; i < 9990; ++i)
        Doc().InsertPage(-1);
    auto start = std::chrono::steady_clock::now();
    f.SelectPage(-1);
    f.BuildPageButtons();
    f.SelectPage(0);
    f.pnlPageMenu.Invalidate();
    f.pnlPageMenu.Update();
    std::printf("[ measure  ] 10,000 page buttons built and painted: %.0f ms\n",
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    ASSERT_EQ(10000u, f.PageButtons().size());
    EXPECT_EQ(1, f.PageButtons()[9999]->Height()) << "too many to share the column: one pixel each";
    EXPECT_EQ(9999 * 2 + 3, f.PageButtons()[9999]->Top());
    EXPECT_EQ(windows, ui::LiveWindows());
    EXPECT_EQ(gdi, ui::LiveGdiObjects());
    Press(VK_PRIOR);
    EXPECT_EQ(9999, f.CurrentPage()) << "every page is reached by the keys";
}

TEST_F(MainWindowLayout, RebuildsAndPageSwitchesLeaveNoWindowOrGdiObjectBehind) {
    TfrmMain& f = Open();
    f.pnlPage.Update();
    long gdi = ui::LiveGdiObjects();
    long windows = ui::LiveWindows();
    f.RebuildLayout();
    EXPECT_TRUE(IsWindowVisible(f.Handle())) << "a shown window is shown again after its rebuild";
    // The rest hidden: showing a window under a display without a window manager
    // costs a second.
    ShowWindow(f.Handle(), SW_HIDE);
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 99; ++i) {
        f.RebuildLayout();
        f.pnlPage.PaintTo(shot_);
    }
    uitest::PumpPending();
    std::printf("[ measure  ] 100 rebuilds of the default layout: %.0f ms\n",
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    EXPECT_FALSE(IsWindowVisible(f.Handle())) << "a hidden window stays hidden";
    EXPECT_EQ(gdi, ui::LiveGdiObjects());
    EXPECT_EQ(windows, ui::LiveWindows());
    for (int i = 0; i < 1000; ++i) {
        Press(VK_NEXT);
        f.pnlPageMenu.PaintTo(shot_);
    }
    EXPECT_EQ(0, f.CurrentPage()) << "1,000 steps through 10 pages end where they began";
    f.pnlPage.Update();
    f.pnlPageMenu.Update();
    EXPECT_EQ(gdi, ui::LiveGdiObjects());
    EXPECT_EQ(windows, ui::LiveWindows());
}

TEST_F(MainWindowLayout, IconPreloadingOnlyTouchesPagesThatStillExist) {
    Open();
    std::string probe = Probe();
    for (int p = 0; p < 10; ++p)
        Fill(PageItem(p, 0), probe, "probe");
    form_.reset();
    Open(false);
    TfrmMain& f = Form();
    f.tmrM.SetEnabled(false);
    EXPECT_FALSE(PageItem(9, 0).Prepared) << "only the selected page is prepared at start";
    // While the preloading hands control to the message loop, the last page is deleted.
    f.SelectPage(9);
    Answer({IDYES});
    PostMessageW(f.Handle(), WM_COMMAND, MAKEWPARAM(f.Menus.mniMainDelete.Command(), 0), 0);
    f.tmrMTimer();
    ASSERT_EQ(9u, Doc().Pages.size());
    for (int p = 0; p < 9; ++p)
        EXPECT_TRUE(PageItem(p, 0).Prepared) << "page " << p;
    EXPECT_EQ(0, f.CurrentPage()) << "deleting the last page selects the first";
}

TEST_F(MainWindowLayout, ClosingWhileIconsLoadStopsAfterTheCurrentItem) {
    Open();
    std::string probe = Probe();
    for (int p = 0; p < 10; ++p)
        for (int s = 0; s < 15; ++s)
            Fill(PageItem(p, s), probe, "probe");
    form_.reset();
    ForgetIconCaches();
    Open(false);
    TfrmMain& f = Form();
    f.tmrM.SetEnabled(false);
    int before = system_->IconRequests;
    // The user closes the window while the first icon of page 1 is being taken.
    system_->OnIconRequest = [&] { PostMessageW(f.Handle(), WM_CLOSE, 0, 0); };
    f.tmrMTimer();
    system_->OnIconRequest = nullptr;
    EXPECT_TRUE(f.Closing());
    EXPECT_FALSE(IsWindow(f.Handle()));
    EXPECT_EQ(1, system_->IconRequests - before) << "one item of page 1, then the loading stopped";
}

TEST_F(MainWindowLayout, ANewGridAndANewLookInOneGoRepaintTheFacesOfPlacedItems) {
    TfrmMain& f = Open();
    Fill(PageItem(0, 1), Probe(), "probe");
    platform::TPixmap face;
    PageItem(0, 1).Image->UnpackTo(face);
    ASSERT_EQ(ui::ColorToPixel(f.View().BtnColor), face.Pixel(8, 8));
    // What the options dialog does when its OK changes the grid and the button colour.
    f.View().BtnColor = 0x0000C000;
    f.ResizePages(6, 3);
    ASSERT_TRUE(PageItem(0, 1).Image != nullptr);
    PageItem(0, 1).Image->UnpackTo(face);
    EXPECT_EQ(ui::ColorToPixel(0x0000C000), face.Pixel(8, 8)) << "the placed item shows the new colour";
    EXPECT_EQ(ui::ColorToPixel(0x0000C000), f.Grid.BlankFace().Pixel(8, 8));
}

TEST_F(MainWindowLayout, IconPreloadingStartsWhenTheWindowShowsNotWhileItIsBuilt) {
    Open();
    std::string probe = Probe();
    for (int p = 0; p < 10; ++p)
        Fill(PageItem(p, 0), probe, "probe");
    form_.reset();
    form_ = std::make_unique<TfrmMain>();
    EXPECT_FALSE(form_->tmrM.Enabled());
    // A box while the window is built (the load box of a damaged file) runs a message loop.
    uitest::PumpFor(50);
    form_->ShowForm();
    EXPECT_TRUE(uitest::PumpUntil([&] { return PageItem(9, 0).Prepared; }))
        << "every page's icons are prepared after the start";
}

namespace {

// The default window at the DPI it was laid out for: every panel and button where
// the layout puts them, the size the 96-DPI window's times the scale within a pixel,
// faces and fonts at the scale, the stored sizes still the 96-DPI ones.
void ExpectTheDefaultWindowScaled(TfrmMain& f, int dpi) {
    SCOPED_TRACE(testing::Message() << dpi << " DPI");
    ASSERT_EQ(dpi, f.Dpi());
    double scale = dpi / 96.0;
    int bar = f.stbMain.BarHeight();
    EXPECT_NEAR(f.ClientWidth(), 650 * scale, 1.0);
    EXPECT_NEAR(f.ClientHeight() - bar, 325 * scale, 1.0);
    TLayoutInput in;
    in.StatusBarHeight = bar;
    in.Dpi = dpi;
    TLayout want = ComputeLayout(in);
    const platform::TRect& column = want.PageMenu;
    ExpectBounds(BoundsOf(f.pnlPageMenu), column.Left, column.Top, column.Width(), column.Height(), "page column");
    ExpectBounds(BoundsOf(f.pnlPage), want.Page.Left, 0, want.Page.Width(), want.Page.Height(), "grid");
    ExpectBounds(BoundsOf(f.pnlInd), want.Ind.Left, want.Ind.Top, want.Ind.Width(), want.Ind.Height(), "row");
    for (int i : {0, 9}) {
        platform::TRect r = want.PageButton(i);
        ExpectBounds(BoundsOf(*f.PageButtons()[(size_t)i]), r.Left, r.Top, r.Width(), r.Height(), "page button");
    }
    for (int slot : {0, 6, 14}) {
        platform::TRect r = want.PageItemButton(slot);
        ExpectBounds(BoundsOf(f.Grid.PageItemButton(slot).Panel()), r.Left, r.Top, r.Width(), r.Height(), "item");
    }
    platform::TRect last = want.IndButton(9);
    ExpectBounds(BoundsOf(f.Grid.IndButton(9).Panel()), last.Left, last.Top, last.Width(), last.Height(), "ind");
    TDpiScale s(dpi);
    EXPECT_EQ(s(84) - 2 * s(2), f.Grid.BlankFace().Width());
    EXPECT_EQ(s(76) - 2 * s(2), f.Grid.BlankFace().Height());
    EXPECT_EQ(s(40) - 2 * s(2), f.Grid.IndButton(0).Image().Width());
    EXPECT_EQ(s(2), f.pnlPage.BevelWidth());
    EXPECT_EQ(-MulDiv(9, dpi, 72), ui::MakeLogFont(f.ItemFont()).lfHeight) << "the titles' font at the DPI";
    EXPECT_EQ(84, f.View().ItemWidth) << "the stored size stays the 96-DPI one";
    EXPECT_EQ(171, f.View().PageBtnWidth);
}

} // namespace

// At 96 DPI the window is the one of the test above; at 120, 144 and 192 (each in a
// process of its own, the system reading the DPI at the start) it is that window scaled.
TEST_F(MainWindowLayout, AtEveryDisplayScaleTheWindowIsTheDefaultOneScaled) {
    TfrmMain& f = Open();
    int dpi = dpitest::StartedForDpi();
    ExpectTheDefaultWindowScaled(f, dpi ? dpi : 96);
    if (dpi != 0) return;
    for (int other : {120, 144, 192})
        EXPECT_TRUE(dpitest::PassesAtDpi("MainWindowLayout.AtEveryDisplayScaleTheWindowIsTheDefaultOneScaled", other))
            << "at " << other << " DPI";
}

// At every scale an item's icon fills the scaled place of a 32 x 32 icon: 32, 40, 48
// and 64 pixels, taken from the file's own image of that size where it has one.
TEST_F(MainWindowLayout, AtEveryDisplayScaleIconsAreDrawnAtTheirSize) {
    int dpi = dpitest::StartedForDpi();
    TfrmMain& f = Open();
    ASSERT_TRUE(icontest::WriteSquaresIcon(FolderW() + L"squares.ico"));
    TItem& item = PageItem(0, 0);
    item.Icon = FolderA() + "squares.ico";
    Fill(item, FolderA() + "squares.ico", "squares");
    TDpiScale s(dpi ? dpi : 96);
    int place = s(32), border = s(2);
    int w = f.Grid.BlankFace().Width() - 2 * border, h = f.Grid.BlankFace().Height() - 2 * border;
    int left = border + (w - place) / 2, top = border + ((h / 2) - place) / 2;
    ASSERT_TRUE(item.Image);
    const platform::TPackedPixmap& face = *item.Image;
    SCOPED_TRACE(testing::Message() << s.Dpi() << " DPI, " << place << " pixels");
    EXPECT_EQ(face.Pixel(left, top), 0u) << "the frame's corners are the place's";
    EXPECT_EQ(face.Pixel(left + place - 1, top + place - 1), 0u);
    EXPECT_NE(face.Pixel(left - 1, top + place / 2), 0u) << "nothing of it outside the place";
    EXPECT_NE(face.Pixel(left + place, top + place / 2), 0u);
    EXPECT_NE(face.Pixel(left + place / 2, top + place), 0u);
    if (place != 40) {
        EXPECT_EQ(face.Pixel(left + 1, top + 1), icontest::SquareColor(place)) << "not stretched";
    }
    if (dpi != 0) return;
    for (int other : {120, 144, 192})
        EXPECT_TRUE(dpitest::PassesAtDpi("MainWindowLayout.AtEveryDisplayScaleIconsAreDrawnAtTheirSize", other))
            << "at " << other << " DPI";
}

// Moved to a display of 144 DPI, the window takes the suggested rectangle, is laid out
// at 144 with fonts to match, and keeps its page, its keyboard cursor and a button held
// down; back at 96 it is the window it was.
TEST_F(MainWindowLayout, MovedToAnotherScaleTheWindowIsLaidOutAgainAndKeepsItsState) {
    if (dpitest::StartedForDpi() != 0) return;
    TfrmMain& f = Open();
    Fill(PageItem(2, 4), "C:\\windows\\notepad.exe", "メモ帳");
    f.SelectPage(2);
    // Held down with the mouse: pressed, with the capture, and the keyboard cursor on it.
    f.Grid.SetPressedButton(&f.Grid.PageItemButton(7));
    f.Grid.SetCaptureButton(&f.Grid.PageItemButton(7));
    int width = f.Width(), height = f.Height();

    RECT suggested = {40, 30, 40 + width * 3 / 2, 30 + height * 3 / 2};
    f.DpiChanged(144, suggested);
    EXPECT_EQ(&f.Grid.PageItemButton(7), f.Grid.PressedButton());
    EXPECT_EQ(&f.Grid.PageItemButton(7), f.Grid.CaptureButton());
    // From here the pressed look follows the pointer again, wherever it is now.
    uitest::PumpPending();
    EXPECT_EQ(144, f.Dpi());
    EXPECT_EQ(40, f.Left());
    EXPECT_EQ(30, f.Top());
    EXPECT_NEAR(f.ClientWidth(), 650 * 1.5, 1.0);
    EXPECT_EQ(126, f.Grid.PageItemButton(0).Panel().Width());
    EXPECT_EQ(-MulDiv(9, 144, 72), ui::MakeLogFont(f.ItemFont()).lfHeight);
    EXPECT_EQ(2, f.CurrentPage());
    EXPECT_EQ(TCursorKind::Page, f.Grid.CursorKind());
    EXPECT_EQ(7, f.Grid.CursorPosition());
    EXPECT_EQ(&f.Grid.PageItemButton(7), f.Grid.CaptureButton());
    EXPECT_EQ(120, PageItem(2, 4).Image->Width()) << "the placed item's face is drawn at the scale";
    EXPECT_EQ(84, f.View().ItemWidth);

    f.Grid.SetCaptureButton(nullptr);
    f.Grid.SetPressedButton(nullptr);
    f.Grid.SetKeyCursor(TCursorKind::Ind, 3);
    f.DpiChanged(96, RECT{40, 30, 40 + width, 30 + height});
    uitest::PumpPending();
    EXPECT_EQ(650, f.ClientWidth());
    EXPECT_EQ(84, f.Grid.PageItemButton(0).Panel().Width());
    EXPECT_EQ(80, PageItem(2, 4).Image->Width());
    EXPECT_EQ(-12, ui::MakeLogFont(f.ItemFont()).lfHeight);
    EXPECT_EQ(TCursorKind::Ind, f.Grid.CursorKind());
    EXPECT_EQ(3, f.Grid.CursorPosition());
    EXPECT_EQ(width, f.Width());
}
