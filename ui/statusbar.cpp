#include "ui/statusbar.h"

#include <algorithm>

#include <oleacc.h>

#include "platform/text.h"

namespace ui {

namespace {

// Above the panels the bar keeps a border; between two panels a gap; inside a
// panel's frame the text keeps a margin on the left.
const int kTopBorder = 2;
const int kPanelGap = 2;
const int kTextMargin = 3;

// The system's status-bar font, or none when the system does not say.
HFONT MakeStatusFont() {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return CreateFontIndirectW(&metrics.lfStatusFont);
    return nullptr;
}

// The text's height with its leading, the frame and the border above, and never
// less than a caption button is high.
int BarHeightFor(HGDIOBJ font) {
    TWindowDC dc;
    TEXTMETRICW tm = {};
    if (dc.Get()) {
        TSelectObject selected(dc.Get(), font);
        GetTextMetricsW(dc.Get(), &tm);
    }
    int leading = tm.tmInternalLeading ? tm.tmInternalLeading : 2;
    int text = tm.tmHeight + leading + 2 * GetSystemMetrics(SM_CYBORDER);
    return std::max(text, GetSystemMetrics(SM_CYSIZE)) + kTopBorder;
}

} // namespace

TStatusBar::TStatusBar(TForm& form) : form_(form), font_(MakeStatusFont()), height_(BarHeightFor(TextFont())) {
    TCreateParams p;
    p.ClassName = L"KiropadStatusBar";
    p.Style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    p.Height = height_;
    p.Parent = &form;
    CreateHandle(p);
    form.AttachStatusBar(this);
    AlignToForm();
    SetAccessibleSource(this);
}

TStatusBar::~TStatusBar() {
    SetAccessibleSource(nullptr);
    form_.DetachStatusBar(this);
}

void TStatusBar::AddPanel(int width) {
    widths_.push_back(width);
    texts_.emplace_back();
    Invalidate();
}

void TStatusBar::SetPanelWidth(size_t index, int width) {
    if (index >= widths_.size() || widths_[index] == width) return;
    widths_[index] = width;
    Invalidate();
}

void TStatusBar::SetPanelText(size_t index, const std::string& text) {
    if (index >= texts_.size() || texts_[index] == text) return;
    texts_[index] = text;
    if (Handle()) {
        RECT r = ToRECT(PanelRect(index));
        InvalidateRect(Handle(), &r, FALSE);
    }
    RaiseAccessibleEvent(EVENT_OBJECT_NAMECHANGE, (int)index);
}

std::string TStatusBar::AccessibleName() {
    // The bar as a whole reads as its texts.
    std::string name;
    for (const std::string& t : texts_)
        if (!t.empty()) name += (name.empty() ? "" : " ") + t;
    return name;
}

long TStatusBar::AccessibleRole() {
    return ROLE_SYSTEM_STATUSBAR;
}

bool TStatusBar::DescribeChild(int index, TAccessibleChild& child) {
    if (index < 0 || index >= (int)texts_.size()) return false;
    child.Name = texts_[(size_t)index];
    child.Role = ROLE_SYSTEM_STATICTEXT;
    child.State = STATE_SYSTEM_READONLY;
    child.Bounds = PanelRect((size_t)index);
    return true;
}

int TStatusBar::ChildAt(int x, int y) {
    for (size_t i = 0; i < texts_.size(); ++i) {
        platform::TRect r = PanelRect(i);
        if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) return (int)i;
    }
    return -1;
}

int TStatusBar::BarHeight() const {
    return Visible() ? Height() : 0;
}

HGDIOBJ TStatusBar::TextFont() const {
    return font_.Get() ? (HGDIOBJ)font_.Get() : GetStockObject(DEFAULT_GUI_FONT);
}

platform::TRect TStatusBar::PanelRect(size_t index) const {
    int left = 0;
    for (size_t i = 0; i < index && i < widths_.size(); ++i)
        left += widths_[i] + kPanelGap;
    int right = index + 1 < widths_.size() ? left + widths_[index] : std::max(left, ClientWidth());
    return platform::TRect(left, kTopBorder, right, std::max(kTopBorder, ClientHeight()));
}

void TStatusBar::AlignToForm() {
    if (!Handle()) return;
    int width = form_.ClientWidth(), top = form_.ClientHeight() - height_;
    SetWindowPos(Handle(), nullptr, 0, top, width, height_, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TStatusBar::PaintBand(TPaintBand& band) {
    platform::TRect client(0, 0, ClientWidth(), ClientHeight());
    band.FillRect(Intersect(client, band.Rect()), ColorToPixel(platform::clBtnFace));
    if (widths_.empty()) return;
    HDC dc = band.DC();
    TSelectObject selected(dc, TextFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    for (size_t i = 0; i < widths_.size(); ++i) {
        platform::TRect frame = PanelRect(i);
        band.Bevel(frame, TBevelCut::Lowered, 1);
        if (texts_[i].empty()) continue;
        band.Flush();
        RECT inside = {frame.Left + 1 + kTextMargin, frame.Top + 1, frame.Right - 1, frame.Bottom - 1};
        std::wstring text = platform::Widen(texts_[i]);
        DrawTextW(dc, text.c_str(), (int)text.size(), &inside,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
    }
}

LRESULT TStatusBar::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        // A panel that reaches the right edge changes with the width.
        InvalidateRect(Handle(), nullptr, FALSE);
        break;
    }
    return TBufferedWindow::HandleMessage(message, wParam, lParam);
}

} // namespace ui
