#pragma once
// The main window's geometry, computed from the view settings and the document:
// the page column, the page grid, the independent row, the client size, every
// page button and every item button. Pure arithmetic, so it is tested natively.
//
// Every value is given at 96 pixels per inch and scaled to the window's DPI with
// the one rounding of TDpiScale: the panels' edges are the scaled edges of the
// 96-DPI window, the buttons keep one scaled pitch, and at 96 nothing moves.
//
// Values from the data file are used as read, but clamped at use to what a
// window can hold (see TLayoutLimits), so that no size can overflow or ask for
// an unbounded allocation.
#include <cstdint>

#include "mainwindow/dpiscale.h"
#include "model/buttonsizes.h"
#include "platform/types.h"

struct TLayoutLimits {
    static constexpr int MinButtonSize = kButtonSizeMin;
    static constexpr int MaxPanelExtent = 32000; // a window extent the system still handles
    static constexpr int MaxItemSize = kItemButtonSizeMax;
    static constexpr int MaxPageButtonWidth = kPageButtonWidthMax;
    static constexpr int MaxGrid = 100;
};

struct TLayoutInput {
    int PageButtonWidth = 171; // B
    int ItemWidth = 84;        // W
    int ItemHeight = 76;       // H
    int Columns = 5;           // K, the document's PageWidth
    int Rows = 3;              // R, the document's PageHeight
    bool ShowInd = true;       // S
    int PageCount = 10;        // N
    int StatusBarHeight = 0;   // in the window's pixels
    int Dpi = 96;              // the window's pixels per inch
};

struct TLayout {
    // The values actually used, after clamping (B, W and H at 96 DPI).
    int B = 0, W = 0, H = 0, K = 0, R = 0, N = 0;
    bool ShowInd = false;
    TDpiScale Scale;

    // The sizes in the window's pixels: an item button, the independent button and
    // its face, the bevel of every panel and button.
    int ItemWidth() const { return Scale(W); }
    int ItemHeight() const { return Scale(H); }
    int IndButtonSize() const { return Scale(kIndButton); }
    int IndFaceSize() const { return IndButtonSize() - 2 * Bevel(); }
    int Bevel() const { return Scale(kBevel); }
    static constexpr int kIndButton = 40;
    static constexpr int kBevel = 2;

    platform::TRect PageMenu; // pnlPageMenu
    platform::TRect Page;     // pnlPage
    platform::TRect Ind;      // pnlInd (empty when hidden)
    int IndCount = 0;         // buttons in the independent row
    int ClientWidth = 0, ClientHeight = 0;
    int PageButtonHeight = 0;

    int SlotCount() const { return K * R; }
    // Page button i within pnlPageMenu.
    platform::TRect PageButton(int i) const;
    // Page item button (its drop panel) of slot i within pnlPage.
    platform::TRect PageItemButton(int slot) const;
    // Independent button i within pnlInd.
    platform::TRect IndButton(int i) const;
    // The face area inside an item button panel at 96 DPI: (2, 2) to (w - 2, h - 2).
    static platform::TRect ImageRect(const platform::TRect& panel);
};

TLayout ComputeLayout(const TLayoutInput& in);

// Item size as used for faces and buttons: (W, H) clamped as ComputeLayout does.
int ClampItemSize(int value, int columnsOrRows);

// Where the keyboard cursor is: nowhere, in the grid of the page, in the independent row.
enum class TCursorKind : uint8_t { None, Page, Ind };

// The keyboard cursor wraps within its kind: the grid of `slots`, the row of
// `indCount`; no kind keeps the position. A row of no buttons keeps it too.
int WrapCursor(TCursorKind kind, int position, int slots, int indCount);

// The cursor kind after Tab is released; the position becomes 0.
TCursorKind TabCursor(TCursorKind kind, bool showInd);

// PageUp / PageDown: the page before or after, wrapping round.
int PreviousPage(int current, int count);
int NextPage(int current, int count);
