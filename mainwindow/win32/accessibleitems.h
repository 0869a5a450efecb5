#pragma once
// What screen readers are told about the windowless buttons of the main window:
// the page buttons of the column, the item buttons of the grid and those of the
// independent row, each pane one accessible object with a child per button.
#include <string>

#include "mainwindow/layout.h"
#include "ui/accessible.h"

class TItemGrid;
class TItemBtnBase;
class TfrmMain;

// The item buttons of the grid (kind Page) or of the independent row (kind Ind).
class TItemButtonsAccess : public ui::IAccessibleSource {
public:
    TItemButtonsAccess(TItemGrid& grid, TCursorKind kind) : grid_(grid), kind_(kind) {}

    std::string AccessibleName() override;
    long AccessibleRole() override;
    int AccessibleChildCount() override;
    bool DescribeChild(int index, ui::TAccessibleChild& child) override;
    int ChildAt(int x, int y) override;
    int FocusedChild() override;
    void DoDefaultAction(int index) override;
    bool SelectChild(int index) override;

private:
    TItemBtnBase* Button(int index);

    TItemGrid& grid_;
    TCursorKind kind_;
};

// The page buttons: page tabs, the selected page's marked.
class TPageButtonsAccess : public ui::IAccessibleSource {
public:
    explicit TPageButtonsAccess(TfrmMain& form) : form_(form) {}

    std::string AccessibleName() override;
    long AccessibleRole() override;
    int AccessibleChildCount() override;
    bool DescribeChild(int index, ui::TAccessibleChild& child) override;
    int ChildAt(int x, int y) override;
    int FocusedChild() override { return -1; }
    int SelectedChild() override;
    void DoDefaultAction(int index) override;
    bool SelectChild(int index) override;

private:
    TfrmMain& form_;
};
