#include "mainwindow/layout.h"

#include <algorithm>

namespace {

int Clamp(long long v, long long lo, long long hi) { return (int)std::min(std::max(v, lo), hi); }

// Integer division truncating towards zero, as the layout rules are stated.
long long DivTrunc(long long a, long long b) { return a / b; }

} // namespace

int ClampItemSize(int value, int columnsOrRows) {
    long long n = Clamp(columnsOrRows, 1, TLayoutLimits::MaxGrid);
    // (size + 8) * n + 12 must stay within one window extent.
    long long fit = (TLayoutLimits::MaxPanelExtent - 12) / n - 8;
    long long hi = std::min<long long>(TLayoutLimits::MaxItemSize, fit);
    return Clamp(value, TLayoutLimits::MinButtonSize, std::max<long long>(hi, TLayoutLimits::MinButtonSize));
}

TLayout ComputeLayout(const TLayoutInput& in) {
    TLayout L;
    L.K = Clamp(in.Columns, 1, TLayoutLimits::MaxGrid);
    L.R = Clamp(in.Rows, 1, TLayoutLimits::MaxGrid);
    L.W = ClampItemSize(in.ItemWidth, L.K);
    L.H = ClampItemSize(in.ItemHeight, L.R);
    L.B = Clamp(in.PageButtonWidth, TLayoutLimits::MinButtonSize, TLayoutLimits::MaxPageButtonWidth);
    L.N = std::max(in.PageCount, 1);
    L.ShowInd = in.ShowInd;

    int menuWidth = L.B + 6;
    L.Page.Left = menuWidth + 1;
    L.Page.Top = 0;
    L.Page.Right = L.Page.Left + (L.W + 8) * L.K + 12;
    L.Page.Bottom = (L.H + 8) * L.R + 12;

    int menuHeight = L.Page.Bottom;
    if (L.ShowInd) {
        L.Ind = platform::TRect(L.Page.Left, L.Page.Bottom + 1, L.Page.Right, L.Page.Bottom + 1 + 60);
        L.IndCount = std::max(0, (L.Ind.Width() - 18) / 42);
        menuHeight = L.Ind.Bottom;
    }
    L.PageMenu = platform::TRect(0, 0, menuWidth, menuHeight);
    L.ClientWidth = L.Page.Right;
    L.ClientHeight = menuHeight + std::max(in.StatusBarHeight, 0);
    // So many pages that no button gets a pixel: keep them 1 high, reachable by keys.
    L.PageButtonHeight = std::max((int)DivTrunc(menuHeight - 5, L.N) - 1, 1);
    return L;
}

platform::TRect TLayout::PageButton(int i) const {
    int h = PageButtonHeight;
    long long top = (long long)i * (h + 1) + 3;
    int t = Clamp(top, -2147483647LL, 2147483647LL - (h > 0 ? h : 0));
    return platform::TRect(3, t, 3 + B, t + h);
}

platform::TRect TLayout::PageItemButton(int slot) const {
    int left = (slot % K) * (W + 8) + 10;
    int top = (slot / K) * (H + 8) + 10;
    return platform::TRect(left, top, left + W, top + H);
}

platform::TRect TLayout::IndButton(int i) const {
    int n = IndCount;
    int P = Ind.Width();
    int left;
    if (n <= 1)
        left = 10; // a lone button stands at the left margin
    else
        left = (int)DivTrunc((long long)i * (P - 20 - 40LL * n), n - 1) + 40 * i + 10;
    return platform::TRect(left, 10, left + 40, 50);
}

platform::TRect TLayout::ImageRect(const platform::TRect& panel) {
    return platform::TRect(2, 2, panel.Width() - 2, panel.Height() - 2);
}

int WrapCursor(TCursorKind kind, int position, int slots, int indCount) {
    int n = kind == TCursorKind::Page ? slots : kind == TCursorKind::Ind ? indCount : 0;
    if (n <= 0) return position;
    int p = position % n;
    if (p < 0) p += n;
    return p;
}

TCursorKind TabCursor(TCursorKind kind, bool showInd) {
    return kind == TCursorKind::Page && showInd ? TCursorKind::Ind : TCursorKind::Page;
}

int PreviousPage(int current, int count) { return current <= 0 ? count - 1 : current - 1; }

int NextPage(int current, int count) { return current >= count - 1 ? 0 : current + 1; }
