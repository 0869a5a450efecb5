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
    L.Scale = TDpiScale(in.Dpi);
    const TDpiScale& s = L.Scale;

    // The edges at 96 DPI; the window's are these scaled.
    int menuWidth = L.B + 6;
    int pageLeft = menuWidth + 1;
    int pageWidth = (L.W + 8) * L.K + 12;
    int pageBottom = (L.H + 8) * L.R + 12;
    L.Page = platform::TRect(s(pageLeft), 0, s(pageLeft + pageWidth), s(pageBottom));

    int menuHeight = L.Page.Bottom;
    if (L.ShowInd) {
        L.Ind = platform::TRect(L.Page.Left, s(pageBottom + 1), L.Page.Right, s(pageBottom + 1 + 60));
        // As many buttons at every DPI: the row holds the same items wherever it is shown.
        L.IndCount = std::max(0, (pageWidth - 18) / 42);
        menuHeight = L.Ind.Bottom;
    }
    L.PageMenu = platform::TRect(0, 0, s(menuWidth), menuHeight);
    L.ClientWidth = L.Page.Right;
    L.ClientHeight = menuHeight + std::max(in.StatusBarHeight, 0);
    // So many pages that no button gets a pixel: keep them 1 high, reachable by keys.
    L.PageButtonHeight = std::max((int)DivTrunc(menuHeight - s(5), L.N) - s(1), 1);
    return L;
}

platform::TRect TLayout::PageButton(int i) const {
    int h = PageButtonHeight;
    long long top = (long long)i * (h + Scale(1)) + Scale(3);
    int t = Clamp(top, -2147483647LL, 2147483647LL - (h > 0 ? h : 0));
    return platform::TRect(Scale(3), t, Scale(3) + Scale(B), t + h);
}

platform::TRect TLayout::PageItemButton(int slot) const {
    // One pitch for every button; the grid is centred in the panel, 10 from its edges at 96.
    int w = ItemWidth(), h = ItemHeight();
    int pitchX = Scale(W + 8), pitchY = Scale(H + 8);
    int marginX = (Page.Width() - (K * pitchX - (pitchX - w))) / 2;
    int marginY = (Page.Height() - (R * pitchY - (pitchY - h))) / 2;
    int left = (slot % K) * pitchX + marginX;
    int top = (slot / K) * pitchY + marginY;
    return platform::TRect(left, top, left + w, top + h);
}

platform::TRect TLayout::IndButton(int i) const {
    int n = IndCount;
    int P = Ind.Width();
    int size = IndButtonSize(), margin = Scale(10);
    int left;
    if (n <= 1)
        left = margin; // a lone button stands at the left margin
    else
        left = (int)DivTrunc((long long)i * (P - 2LL * margin - (long long)size * n), n - 1) + size * i + margin;
    return platform::TRect(left, margin, left + size, margin + size);
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
