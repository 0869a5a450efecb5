// The main window's geometry: the default window, page buttons, item buttons,
// the independent row, the cursor, and sizes from a hostile data file.
#include <gtest/gtest.h>

#include "mainwindow/layout.h"

TEST(Layout, DefaultWindowIs650WideWithTenIndependentButtons) {
    TLayoutInput in;
    in.StatusBarHeight = 19;
    TLayout L = ComputeLayout(in);
    EXPECT_EQ(L.PageMenu.Width(), 177);
    EXPECT_EQ(L.Page.Left, 178);
    EXPECT_EQ(L.Page.Width(), 472);
    EXPECT_EQ(L.Page.Height(), 264);
    EXPECT_EQ(L.Ind.Top, 265);
    EXPECT_EQ(L.Ind.Width(), 472);
    EXPECT_EQ(L.Ind.Height(), 60);
    EXPECT_EQ(L.IndCount, 10);
    EXPECT_EQ(L.PageMenu.Height(), 325);
    EXPECT_EQ(L.ClientWidth, 650);
    EXPECT_EQ(L.ClientHeight, 325 + 19);
}

TEST(Layout, PageButtonsFillTheColumn) {
    TLayout L = ComputeLayout(TLayoutInput());
    EXPECT_EQ(L.PageButtonHeight, 31);
    EXPECT_EQ(L.PageButton(0).Top, 3);
    EXPECT_EQ(L.PageButton(1).Top, 35);
    EXPECT_EQ(L.PageButton(2).Top, 67);
    EXPECT_EQ(L.PageButton(0).Left, 3);
    EXPECT_EQ(L.PageButton(0).Width(), 171);
    TLayoutInput five;
    five.PageCount = 5;
    TLayout F = ComputeLayout(five);
    EXPECT_EQ(F.PageButtonHeight, 63);
    int tops[] = {3, 67, 131, 195, 259};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(F.PageButton(i).Top, tops[i]);
}

TEST(Layout, WithoutTheIndependentRowTheColumnEndsLevelWithTheGrid) {
    TLayoutInput in;
    in.ShowInd = false;
    TLayout L = ComputeLayout(in);
    EXPECT_EQ(L.IndCount, 0);
    EXPECT_EQ(L.PageMenu.Height(), L.Page.Height());
}

TEST(Layout, ItemButtonsStandInTheirCells) {
    TLayout L = ComputeLayout(TLayoutInput());
    platform::TRect r = L.PageItemButton(7); // column 2, row 1
    EXPECT_EQ(r.Left, 2 * 92 + 10);
    EXPECT_EQ(r.Top, 84 + 10);
    EXPECT_EQ(r.Width(), 84);
    EXPECT_EQ(r.Height(), 76);
    platform::TRect img = TLayout::ImageRect(r);
    EXPECT_EQ(img.Width(), 80);
    EXPECT_EQ(img.Height(), 72);
    // The independent row spreads evenly: first at 10, last ends 10 before the edge.
    EXPECT_EQ(L.IndButton(0).Left, 10);
    EXPECT_EQ(L.IndButton(L.IndCount - 1).Right, L.Ind.Width() - 10);
}

TEST(Layout, ALoneIndependentButtonStandsAtTheLeftMargin) {
    TLayoutInput in;
    in.Columns = 1;
    in.ItemWidth = 40; // row 60 wide: one button
    TLayout L = ComputeLayout(in);
    ASSERT_EQ(L.IndCount, 1);
    EXPECT_EQ(L.IndButton(0).Left, 10);
    in.ItemWidth = 8; // row too narrow for any button
    EXPECT_EQ(ComputeLayout(in).IndCount, 0);
}

TEST(Layout, CursorWrapsAroundTheGridAndTheRow) {
    EXPECT_EQ(WrapCursor(TCursorKind::Page, -1, 15, 10), 14); // left from slot 0
    EXPECT_EQ(WrapCursor(TCursorKind::Page, 12 + 5, 15, 10), 2); // down from slot 12
    EXPECT_EQ(WrapCursor(TCursorKind::Ind, 10, 15, 10), 0);
    EXPECT_EQ(WrapCursor(TCursorKind::None, 7, 15, 10), 7);
    EXPECT_EQ(WrapCursor(TCursorKind::Ind, 3, 15, 0), 3); // a row of no buttons keeps the position
    EXPECT_EQ(TabCursor(TCursorKind::None, true), TCursorKind::Page);
    EXPECT_EQ(TabCursor(TCursorKind::Page, true), TCursorKind::Ind);
    EXPECT_EQ(TabCursor(TCursorKind::Page, false), TCursorKind::Page);
    EXPECT_EQ(TabCursor(TCursorKind::Ind, true), TCursorKind::Page);
    EXPECT_EQ(PreviousPage(0, 10), 9);
    EXPECT_EQ(NextPage(9, 10), 0);
}

TEST(Layout, HostileSizesAreClampedWithoutOverflow) {
    TLayoutInput in;
    in.ItemWidth = 2147483647;
    in.ItemHeight = 2147483647;
    in.PageButtonWidth = 2147483647;
    in.Columns = 100;
    in.Rows = 100;
    in.PageCount = 10000;
    TLayout L = ComputeLayout(in);
    EXPECT_LE(L.Page.Width(), TLayoutLimits::MaxPanelExtent);
    EXPECT_LE(L.Page.Height(), TLayoutLimits::MaxPanelExtent);
    EXPECT_LE(L.ClientWidth, TLayoutLimits::MaxPanelExtent + TLayoutLimits::MaxPageButtonWidth + 7);
    EXPECT_GE(L.W, TLayoutLimits::MinButtonSize);
    platform::TRect last = L.PageItemButton(L.SlotCount() - 1);
    EXPECT_LE(last.Right, L.Page.Width());
    EXPECT_LE(last.Bottom, L.Page.Height());
    (void)L.PageButton(9999);
    in.ItemWidth = -5;
    in.Columns = 0;
    in.PageCount = 0;
    TLayout Z = ComputeLayout(in);
    EXPECT_EQ(Z.W, TLayoutLimits::MinButtonSize);
    EXPECT_EQ(Z.K, 1);
    EXPECT_EQ(Z.N, 1);
}
