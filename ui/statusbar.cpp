#include "ui/statusbar.h"

#include <commctrl.h>

#include "platform/text.h"

namespace ui {

TStatusBar::TStatusBar(TForm& form) : form_(form) {
    TCreateParams p;
    p.ClassName = STATUSCLASSNAMEW;
    p.SystemClass = true;
    p.Style = WS_CHILD | WS_VISIBLE | CCS_BOTTOM;
    p.Parent = &form;
    CreateHandle(p);
    form.AttachStatusBar(this);
}

TStatusBar::~TStatusBar() {
    form_.DetachStatusBar(this);
}

void TStatusBar::AddPanel(int width) {
    widths_.push_back(width);
    texts_.emplace_back();
    ApplyParts();
}

void TStatusBar::ApplyParts() {
    if (!Handle()) return;
    std::vector<int> edges;
    int right = 0;
    for (size_t i = 0; i < widths_.size(); ++i) {
        right += widths_[i];
        edges.push_back(i + 1 == widths_.size() ? -1 : right);
    }
    SendMessageW(Handle(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (size_t i = 0; i < texts_.size(); ++i)
        SetPanelText(i, texts_[i]);
}

void TStatusBar::SetPanelText(size_t index, const std::string& text) {
    if (index >= texts_.size()) return;
    texts_[index] = text;
    if (Handle())
        SendMessageW(Handle(), SB_SETTEXTW, index, reinterpret_cast<LPARAM>(platform::Widen(text).c_str()));
}

int TStatusBar::BarHeight() const {
    return Visible() ? Height() : 0;
}

} // namespace ui
