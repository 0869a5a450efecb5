#pragma once
// The status bar at the bottom of a form: panels of given widths with a text each.
// The last panel reaches to the right edge. The bar draws itself, in the system's
// status-bar font, each panel in a sunken frame, so that a form with a status bar
// needs no library of common controls at its start; the form keeps it at its
// bottom, as wide as its client area.
#include <string>
#include <vector>

#include "platform/types.h"
#include "ui/accessible.h"
#include "ui/bufferedwindow.h"
#include "ui/gdi.h"

namespace ui {

// A screen reader reads it as a status bar whose panels are texts; a new text is
// announced as a change of the panel's name.
class TStatusBar : public TBufferedWindow, private IAccessibleSource {
public:
    explicit TStatusBar(TForm& form);
    ~TStatusBar() override;

    void AddPanel(int width);
    // A new width for a panel (the window's DPI changed).
    void SetPanelWidth(size_t index, int width);
    size_t PanelCount() const { return widths_.size(); }
    // Text in code page 932.
    void SetPanelText(size_t index, const std::string& text);
    const std::string& PanelText(size_t index) const { return texts_[index]; }
    // The bar's height in pixels (what it takes from the form's client area).
    int BarHeight() const;
    // A panel's frame in the bar's client coordinates.
    platform::TRect PanelRect(size_t index) const;
    // Puts the bar at the bottom of the form's client area, as wide as it.
    void AlignToForm();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PaintBand(TPaintBand& band) override;

private:
    std::string AccessibleName() override;
    long AccessibleRole() override;
    int AccessibleChildCount() override { return (int)texts_.size(); }
    bool DescribeChild(int index, TAccessibleChild& child) override;
    int ChildAt(int x, int y) override;
    int FocusedChild() override { return -1; }
    void DoDefaultAction(int) override {}

    // The status-bar font, or the default GUI font where the system named none.
    HGDIOBJ TextFont() const;

    TForm& form_;
    TScopedFont font_;
    int height_ = 0;
    std::vector<int> widths_;
    std::vector<std::string> texts_;
};

} // namespace ui
