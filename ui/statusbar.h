#pragma once
// The status bar at the bottom of a form: panels of given widths with a text each.
// The last panel reaches to the right edge.
#include <string>
#include <vector>

#include "ui/window.h"

namespace ui {

class TStatusBar : public TWindow {
public:
    explicit TStatusBar(TForm& form);
    ~TStatusBar() override;

    void AddPanel(int width);
    size_t PanelCount() const { return widths_.size(); }
    // Text in code page 932.
    void SetPanelText(size_t index, const std::string& text);
    const std::string& PanelText(size_t index) const { return texts_[index]; }
    // The bar's height in pixels (what it takes from the form's client area).
    int BarHeight() const;

private:
    void ApplyParts();

    TForm& form_;
    std::vector<int> widths_;
    std::vector<std::string> texts_;
};

} // namespace ui
