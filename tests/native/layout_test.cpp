// The main window's geometry: the default window, page buttons, item buttons,
// the independent row, the cursor, and sizes from a hostile data file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

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

// ---- The window at other display scales ---------------------------------------------

TEST(DpiScale, RoundsToTheNearestPixelAndLeaves96Alone) {
    TDpiScale at96(96), at120(120), at144(144), at192(192);
    for (int v = -300; v <= 5000; ++v) {
        ASSERT_EQ(at96(v), v);
        ASSERT_EQ(at192(v), 2 * v);
        ASSERT_EQ(at144(-v), -at144(v)) << "a half rounds away from zero, as MulDiv does";
    }
    EXPECT_EQ(at120(84), 105);
    EXPECT_EQ(at120(2), 3);  // 2.5
    EXPECT_EQ(at120(1), 1);  // 1.25
    EXPECT_EQ(at144(1), 2);  // 1.5
    EXPECT_EQ(at144(171), 257); // 256.5
    EXPECT_EQ(TDpiScale(0).Dpi(), 96) << "no resolution counts as 96";
    EXPECT_EQ(TDpiScale(100000).Dpi(), 96);
    EXPECT_EQ(TDpiScale(1000000000)(1000000), 1000000);
}

namespace {

std::vector<TLayoutInput> SampleInputs() {
    std::vector<TLayoutInput> all(4);
    all[1].Columns = 8, all[1].Rows = 4, all[1].ItemWidth = 70, all[1].ItemHeight = 90, all[1].PageButtonWidth = 120,
    all[1].PageCount = 3;
    all[2].ShowInd = false, all[2].PageCount = 1;
    all[3].ItemWidth = 85, all[3].ItemHeight = 77, all[3].PageButtonWidth = 99, all[3].Columns = 3,
    all[3].Rows = 7, all[3].PageCount = 25;
    return all;
}

const int kDpis[] = {120, 144, 192};

} // namespace

TEST(LayoutAtDpi, TheWindowIsThe96DpiWindowTimesTheScaleWithinAPixel) {
    for (TLayoutInput in : SampleInputs())
        for (int dpi : kDpis) {
            TLayout base = ComputeLayout(in);
            in.Dpi = dpi;
            TLayout L = ComputeLayout(in);
            in.Dpi = 96;
            double f = dpi / 96.0;
            SCOPED_TRACE(testing::Message() << dpi << " DPI, " << in.Columns << " x " << in.Rows);
            EXPECT_NEAR(L.ClientWidth, base.ClientWidth * f, 1.0);
            EXPECT_NEAR(L.ClientHeight, base.ClientHeight * f, 1.0);
            EXPECT_NEAR(L.PageMenu.Width(), base.PageMenu.Width() * f, 1.0);
            EXPECT_NEAR(L.Page.Height(), base.Page.Height() * f, 1.0);
            EXPECT_NEAR(L.Ind.Height(), base.Ind.Height() * f, 1.0);
            EXPECT_EQ(L.IndCount, base.IndCount) << "the row holds the same items at every scale";
            EXPECT_GE(L.Page.Left, L.PageMenu.Right + 1) << "the panels do not overlap";
        }
}

TEST(LayoutAtDpi, ButtonsKeepOnePitchAndStayInsideTheirPanels) {
    for (TLayoutInput in : SampleInputs())
        for (int dpi : kDpis) {
            in.Dpi = dpi;
            TLayout L = ComputeLayout(in);
            TDpiScale s(dpi);
            SCOPED_TRACE(testing::Message() << dpi << " DPI, " << in.Columns << " x " << in.Rows);
            // Item buttons: the scaled size, one pitch across and down, margins alike.
            platform::TRect first = L.PageItemButton(0), last = L.PageItemButton(L.SlotCount() - 1);
            EXPECT_EQ(first.Width(), s(L.W));
            EXPECT_EQ(first.Height(), s(L.H));
            for (int slot = 1; slot < L.SlotCount(); ++slot) {
                platform::TRect a = L.PageItemButton(slot - 1), b = L.PageItemButton(slot);
                if (slot % L.K) { EXPECT_EQ(b.Left - a.Left, s(L.W + 8)); }
                if (slot >= L.K) { EXPECT_EQ(b.Top - L.PageItemButton(slot - L.K).Top, s(L.H + 8)); }
            }
            EXPECT_LE(std::abs(first.Left - (L.Page.Width() - last.Right)), 1);
            EXPECT_LE(std::abs(first.Top - (L.Page.Height() - last.Bottom)), 1);
            // The rounding of the pitch is taken from the margins, half a pixel a column at most.
            EXPECT_GE(first.Left, s(10) - (L.K + 1) / 2);
            EXPECT_GE(first.Top, s(10) - (L.R + 1) / 2);
            // Independent buttons: the scaled size, in order, inside the row.
            if (L.ShowInd) {
                for (int i = 0; i < L.IndCount; ++i) {
                    platform::TRect b = L.IndButton(i);
                    EXPECT_EQ(b.Width(), s(40));
                    EXPECT_EQ(b.Top, s(10));
                    EXPECT_LE(b.Bottom, L.Ind.Height() - s(10) + 1);
                    if (i > 0) { EXPECT_GT(b.Left, L.IndButton(i - 1).Right); }
                }
                EXPECT_LE(L.IndButton(L.IndCount - 1).Right, L.Ind.Width() - s(10));
                EXPECT_EQ(L.IndFaceSize(), s(40) - 2 * s(2));
            }
            // Page buttons: the scaled width, all of them inside the column.
            EXPECT_EQ(L.PageButton(0).Left, s(3));
            EXPECT_EQ(L.PageButton(0).Width(), s(L.B));
            EXPECT_LE(L.PageButton(0).Right, L.PageMenu.Width() - s(2));
            EXPECT_LE(L.PageButton(L.N - 1).Bottom, L.PageMenu.Height() - s(2));
            EXPECT_NEAR(L.PageButtonHeight, ComputeLayout([&] {
                            TLayoutInput b = in;
                            b.Dpi = 96;
                            return b;
                        }()).PageButtonHeight * dpi / 96.0,
                        2.0);
        }
}
