#include "ui/lighthost.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

#include "platform/text.h"
#include "ui/canvas.h"
#include "ui/gdi.h"

namespace ui {

namespace {

// Rectangles kept apart before they are joined into one.
const size_t kMaxInvalid = 16;

UINT FlushMessage() {
    static UINT message = RegisterWindowMessageW(L"KiropadLightHostFlush");
    return message;
}

// The hosts whose rectangles wait for the flush message, and the window it went to.
// One message serves them all: a page switch changes the page column and the grid,
// and under Wine every posted message is a round trip to the server. (The windows of
// the framework live on one thread.)
struct TFlushQueue {
    std::vector<TLightHost*> Hosts;
    HWND Target = nullptr;
};

TFlushQueue& FlushQueue() {
    static TFlushQueue queue;
    return queue;
}

// The host's tooltip: one window for all its controls, asking the host for the text.
class TTooltip : public TWindow {
public:
    explicit TTooltip(HWND host) {
        TCreateParams p;
        p.ClassName = TOOLTIPS_CLASSW;
        p.SystemClass = true;
        p.Style = WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX;
        p.ExStyle = WS_EX_TOPMOST;
        p.Left = p.Top = p.Width = p.Height = CW_USEDEFAULT;
        p.Owner = host;
        CreateHandle(p);
        if (!Handle()) return;
        TOOLINFOW ti = {};
        ti.cbSize = TTTOOLINFOW_V2_SIZE; // understood by every comctl32
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = host;
        ti.uId = reinterpret_cast<UINT_PTR>(host);
        ti.lpszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(Handle(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
};

} // namespace

// ---------------------------------------------------------------------------------
// TLightControl

TLightControl::~TLightControl() {
    std::vector<TLightControl*> children = children_;
    for (TLightControl* c : children)
        c->Detach();
    Detach();
}

void TLightControl::SetParent(TLightHost& host) {
    if (host_ == &host && !parent_) return;
    Detach();
    host.Add(this);
    SetHost(&host);
    Invalidate();
}

void TLightControl::SetParent(TLightControl& parent) {
    if (parent_ == &parent) return;
    for (TLightControl* p = &parent; p; p = p->parent_)
        if (p == this) return; // a control cannot sit on itself
    Detach();
    parent_ = &parent;
    parent.children_.push_back(this);
    SetHost(parent.host_);
    Invalidate();
}

void TLightControl::Detach() {
    if (!host_ && !parent_) return;
    Invalidate();
    if (parent_) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        parent_ = nullptr;
    } else if (host_) {
        host_->Remove(this);
    }
    SetHost(nullptr);
}

void TLightControl::SetHost(TLightHost* host) {
    if (host_ != host) {
        if (host_) {
            host_->Forget(this);
            if (acceptFiles_) host_->ChangeAccepting(-1);
        }
        host_ = host;
        if (host_ && acceptFiles_) host_->ChangeAccepting(+1);
    }
    for (TLightControl* c : children_)
        c->SetHost(host);
}

void TLightControl::SetBounds(int left, int top, int width, int height) {
    platform::TRect r(left, top, left + std::max(width, 0), top + std::max(height, 0));
    if (r.Left == bounds_.Left && r.Top == bounds_.Top && r.Right == bounds_.Right &&
        r.Bottom == bounds_.Bottom)
        return;
    Invalidate();
    bounds_ = r;
    if (host_ && !parent_) host_->Place(this);
    Invalidate();
}

platform::TRect TLightControl::HostRect() const {
    platform::TRect r = bounds_;
    for (const TLightControl* p = parent_; p; p = p->parent_) {
        r.Left += p->bounds_.Left;
        r.Right += p->bounds_.Left;
        r.Top += p->bounds_.Top;
        r.Bottom += p->bounds_.Top;
    }
    return r;
}

POINT TLightControl::ClientToScreen(POINT p) const {
    platform::TRect r = HostRect();
    POINT q = {p.x + r.Left, p.y + r.Top};
    if (host_) q = host_->ClientToScreen(q);
    return q;
}

void TLightControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    if (host_ && !parent_) host_->Place(this);
    Invalidate();
}

bool TLightControl::Showing() const {
    if (!host_) return false;
    for (const TLightControl* c = this; c; c = c->parent_)
        if (!c->visible_) return false;
    return true;
}

void TLightControl::SetColor(platform::TColor color) {
    if (color == color_) return;
    color_ = color;
    Invalidate();
}

void TLightControl::SetBevelOuter(TBevelCut bevel) {
    if (bevel == bevelOuter_) return;
    bevelOuter_ = bevel;
    Invalidate();
}

void TLightControl::SetBevelWidth(int width) {
    if (width == bevelWidth_) return;
    bevelWidth_ = width;
    Invalidate();
}

void TLightControl::SetPictureRef(const platform::TPixmap* picture) {
    pictureRef_ = picture;
    Invalidate();
}

void TLightControl::SetPictureSource(std::function<platform::TPictureRef()> source) {
    pictureSource_ = std::move(source);
    Invalidate();
}

void TLightControl::SetAcceptFiles(bool accept) {
    if (accept == acceptFiles_) return;
    acceptFiles_ = accept;
    if (host_) host_->ChangeAccepting(accept ? +1 : -1);
}

void TLightControl::SetCapture() {
    if (host_) host_->SetCaptureControl(this);
}

void TLightControl::ReleaseCapture() {
    if (host_ && host_->capture_ == this) host_->ReleaseCaptureControl();
}

bool TLightControl::HasCapture() const {
    return host_ && host_->capture_ == this;
}

void TLightControl::Invalidate() {
    if (!host_) return;
    if (host_->held_ > 0)
        host_->changedWhileHeld_ = true;
    else
        host_->InvalidateRect(HostRect());
}

void TLightControl::Paint(TPaintBand& band, int originX, int originY, const platform::TRect& clip) {
    platform::TRect rect(originX + bounds_.Left, originY + bounds_.Top, originX + bounds_.Right,
                         originY + bounds_.Bottom);
    platform::TRect visible = Intersect(Intersect(rect, clip), band.Rect());
    if (IsEmpty(visible)) return;
    if (color_ != clNone && !ChildCoversInside()) band.FillRect(visible, ColorToPixel(color_));
    band.Bevel(rect, bevelOuter_, bevelWidth_, visible);
    platform::TPictureRef picture = PictureNow();
    if (!picture.Empty()) band.Blit(picture, rect.Left, rect.Top, visible);
    if (OnPaint) {
        HDC dc = band.DC();
        int saved = SaveDC(dc);
        IntersectClipRect(dc, visible.Left, visible.Top, visible.Right, visible.Bottom);
        OffsetViewportOrgEx(dc, rect.Left, rect.Top, nullptr);
        {
            TDCCanvas canvas(dc, rect.Width(), rect.Height());
            OnPaint(canvas);
        }
        RestoreDC(dc, saved);
        band.Flush();
    }
    for (TLightControl* c : children_)
        if (c->visible_) c->Paint(band, rect.Left, rect.Top, visible);
}

platform::TPictureRef TLightControl::PictureNow() {
    return pictureSource_ ? pictureSource_() : platform::TPictureRef(&ShownPicture());
}

bool TLightControl::ChildCoversInside() {
    // The bevel's rings are drawn whole over the fill: only the inside needs covering.
    int inset = bevelOuter_ == TBevelCut::None ? 0 : std::max(bevelWidth_, 0);
    int right = bounds_.Width() - inset, bottom = bounds_.Height() - inset;
    for (TLightControl* c : children_) {
        if (!c->visible_ || c->bounds_.Left > inset || c->bounds_.Top > inset || c->bounds_.Right < right ||
            c->bounds_.Bottom < bottom)
            continue;
        if (c->color_ != clNone) return true;
        platform::TPictureRef picture = c->PictureNow();
        if (picture.Width() >= c->Width() && picture.Height() >= c->Height()) return true;
    }
    return false;
}

TLightControl* TLightControl::HitTest(int x, int y) {
    if (!visible_ || !Contains(bounds_, x, y)) return nullptr;
    int lx = x - bounds_.Left, ly = y - bounds_.Top;
    for (auto it = children_.rbegin(); it != children_.rend(); ++it)
        if (TLightControl* hit = (*it)->HitTest(lx, ly)) return hit;
    return this;
}

// ---------------------------------------------------------------------------------
// TLightHost

TLightHost::TLightHost(TWindow* parent) : TPanel(parent) {}

TLightHost::~TLightHost() {
    LeaveFlushQueue();
    for (TLightControl* c : controls_) {
        if (!c) continue;
        c->SetHost(nullptr);
        c->slot_ = 0;
    }
    controls_.clear();
    shown_.clear();
    if (Handle() && dragAccepted_) DragAcceptFiles(Handle(), FALSE);
}

void TLightHost::Add(TLightControl* control) {
    control->slot_ = controls_.size();
    controls_.push_back(control);
    shown_.emplace_back();
    Place(control);
}

void TLightHost::Place(const TLightControl* control) {
    if (control->slot_ >= controls_.size() || controls_[control->slot_] != control) return;
    shown_[control->slot_] = control->visible_ ? control->bounds_ : platform::TRect();
}

void TLightHost::Remove(TLightControl* control) {
    if (control->slot_ < controls_.size() && controls_[control->slot_] == control) {
        controls_[control->slot_] = nullptr;
        shown_[control->slot_] = platform::TRect();
        ++holes_;
    }
    if (holes_ > 64 && holes_ * 2 > controls_.size()) Compact();
}

void TLightHost::Compact() {
    size_t n = 0;
    for (size_t i = 0; i < controls_.size(); ++i) {
        TLightControl* c = controls_[i];
        if (!c) continue;
        c->slot_ = n;
        shown_[n] = shown_[i];
        controls_[n++] = c;
    }
    controls_.resize(n);
    shown_.resize(n);
    holes_ = 0;
}

void TLightHost::Forget(TLightControl* control) {
    if (capture_ == control) ReleaseCaptureControl();
    if (hovered_ == control) hovered_ = nullptr;
    if (focused_ == control) focused_ = nullptr;
    if (pressed_ == control) pressed_ = nullptr;
}

void TLightHost::ChangeAccepting(int delta) {
    accepting_ += delta;
    bool accept = accepting_ > 0;
    if (accept != dragAccepted_ && Handle()) {
        DragAcceptFiles(Handle(), accept);
        dragAccepted_ = accept;
    }
}

void TLightHost::AwaitFlush() {
    TFlushQueue& queue = FlushQueue();
    if (std::find(queue.Hosts.begin(), queue.Hosts.end(), this) == queue.Hosts.end())
        queue.Hosts.push_back(this);
    if (!queue.Target && PostMessageW(Handle(), FlushMessage(), 0, 0)) queue.Target = Handle();
}

void TLightHost::LeaveFlushQueue() {
    TFlushQueue& queue = FlushQueue();
    queue.Hosts.erase(std::remove(queue.Hosts.begin(), queue.Hosts.end(), this), queue.Hosts.end());
    if (!Handle() || queue.Target != Handle()) return;
    // The message dies with this window: the hosts still waiting get one of their own.
    queue.Target = nullptr;
    for (TLightHost* host : queue.Hosts)
        if (host->Handle() && PostMessageW(host->Handle(), FlushMessage(), 0, 0)) {
            queue.Target = host->Handle();
            break;
        }
}

void TLightHost::FlushQueued() {
    TFlushQueue& queue = FlushQueue();
    std::vector<TLightHost*> hosts;
    hosts.swap(queue.Hosts);
    queue.Target = nullptr;
    for (TLightHost* host : hosts)
        host->FlushInvalidation();
}

void TLightHost::InvalidateRect(const platform::TRect& r) {
    if (!Handle() || IsEmpty(r)) return;
    if (invalid_.empty()) AwaitFlush();
    if (invalid_.size() == kMaxInvalid) {
        // Too many pieces: one rectangle around them all.
        platform::TRect all = r;
        for (const platform::TRect& i : invalid_)
            all = platform::TRect(std::min(all.Left, i.Left), std::min(all.Top, i.Top),
                                  std::max(all.Right, i.Right), std::max(all.Bottom, i.Bottom));
        invalid_.assign(1, all);
        return;
    }
    invalid_.push_back(r);
}

void TLightHost::FlushInvalidation() {
    if (!Handle()) return;
    for (const platform::TRect& r : invalid_) {
        RECT rc = ToRECT(r);
        ::InvalidateRect(Handle(), &rc, FALSE);
    }
    invalid_.clear();
}

void TLightHost::InvalidateClient() {
    if (!Handle()) return;
    if (invalid_.empty()) AwaitFlush();
    invalid_.assign(1, platform::TRect(0, 0, ClientWidth(), ClientHeight()));
}

void TLightHost::HoldInvalidation() {
    ++held_;
}

void TLightHost::ReleaseInvalidation() {
    if (held_ == 0 || --held_ > 0) return;
    if (changedWhileHeld_) {
        changedWhileHeld_ = false;
        InvalidateClient();
    }
}

void TLightHost::Update() {
    FlushInvalidation();
    TPanel::Update();
}

TLightControl* TLightHost::ControlAt(int x, int y) {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
        if (*it)
            if (TLightControl* hit = (*it)->HitTest(x, y)) return hit;
    return nullptr;
}

void TLightHost::SetCaptureControl(TLightControl* control) {
    capture_ = control;
    if (!Handle()) return;
    if (control) {
        if (GetCapture() != Handle()) ::SetCapture(Handle());
    } else if (GetCapture() == Handle()) {
        ::ReleaseCapture();
    }
}

void TLightHost::KeyDown(WORD& key, TShiftState shift) {
    if (focused_ && focused_->OnKeyDown) focused_->OnKeyDown(key, shift);
}

void TLightHost::KeyUp(WORD& key, TShiftState shift) {
    if (focused_ && focused_->OnKeyUp) focused_->OnKeyUp(key, shift);
}

std::string TLightHost::HintAt(int x, int y) {
    TLightControl* c = ControlAt(x, y);
    return c && c->showHint_ ? c->hint_ : std::string();
}

template <class F> void TLightHost::ForEachShownIn(const platform::TRect& area, F f) {
    for (size_t i = 0; i < controls_.size(); ++i) {
        const platform::TRect& r = shown_[i];
        if (r.Left < area.Right && area.Left < r.Right && r.Top < area.Bottom && area.Top < r.Bottom &&
            r.Left < r.Right && r.Top < r.Bottom)
            f(i);
    }
}

void TLightHost::FillBackground(TPaintBand& band, const platform::TRect& area, uint32_t pixel) {
    if (IsEmpty(area)) return;
    // The opaque controls that meet the area, clipped to it.
    std::vector<platform::TRect> cover;
    std::vector<int> edges = {area.Top, area.Bottom};
    ForEachShownIn(area, [&](size_t i) {
        if (controls_[i]->color_ == clNone) return;
        platform::TRect r = Intersect(shown_[i], area);
        cover.push_back(r);
        edges.push_back(r.Top);
        edges.push_back(r.Bottom);
    });
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    // Between two neighbouring edges every row meets the same controls: the gaps
    // between one row's covering spans are filled over the whole height. The edges
    // are swept top to bottom with the controls that meet the current one: a grid
    // compares each band with a row of buttons, not with all of them.
    std::sort(cover.begin(), cover.end(),
              [](const platform::TRect& a, const platform::TRect& b) { return a.Top < b.Top; });
    size_t next = 0;
    std::vector<platform::TRect> meeting;
    std::vector<std::pair<int, int>> spans;
    for (size_t e = 0; e + 1 < edges.size(); ++e) {
        int top = edges[e], bottom = edges[e + 1];
        while (next < cover.size() && cover[next].Top <= top)
            meeting.push_back(cover[next++]);
        meeting.erase(std::remove_if(meeting.begin(), meeting.end(),
                                     [top](const platform::TRect& r) { return r.Bottom <= top; }),
                      meeting.end());
        spans.clear();
        for (const platform::TRect& r : meeting)
            spans.emplace_back(r.Left, r.Right);
        std::sort(spans.begin(), spans.end());
        int reached = area.Left;
        for (const auto& s : spans) {
            if (s.first > reached) band.FillRect(platform::TRect(reached, top, s.first, bottom), pixel);
            reached = std::max(reached, s.second);
        }
        if (reached < area.Right) band.FillRect(platform::TRect(reached, top, area.Right, bottom), pixel);
    }
}

void TLightHost::PaintBand(TPaintBand& band) {
    TPanel::PaintBand(band);
    band.Flush();
    platform::TRect client(0, 0, ClientWidth(), ClientHeight());
    ForEachShownIn(Intersect(client, band.Rect()),
                   [&](size_t i) { controls_[i]->Paint(band, 0, 0, client); });
}

void TLightHost::MouseButton(UINT message, WPARAM wParam, int x, int y) {
    TMouseButton button = (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP)   ? TMouseButton::Left
                          : (message == WM_RBUTTONDOWN || message == WM_RBUTTONUP) ? TMouseButton::Right
                                                                                   : TMouseButton::Middle;
    bool down = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
    TShiftState shift = MouseShiftState(wParam);
    TLightControl* target = capture_ ? capture_ : ControlAt(x, y);
    if (!target) {
        if (down)
            MouseDown(button, shift, x, y);
        else
            MouseUp(button, shift, x, y);
        return;
    }
    platform::TRect r = target->HostRect();
    int lx = x - r.Left, ly = y - r.Top;
    if (down) {
        if (button == TMouseButton::Left) {
            pressed_ = target;
            if (!capture_) SetCaptureControl(target);
        }
        if (target->OnMouseDown) target->OnMouseDown(button, shift, lx, ly);
        return;
    }
    bool click = false;
    if (button == TMouseButton::Left) {
        click = pressed_ == target && Contains(r, x, y);
        pressed_ = nullptr;
        ReleaseCaptureControl();
    }
    if (click && target->OnClick) target->OnClick();
    // The click may have taken the control off the host.
    if (target->host_ == this && target->OnMouseUp) target->OnMouseUp(button, shift, lx, ly);
}

void TLightHost::MouseMoved(WPARAM wParam, int x, int y) {
    TLightControl* under = ControlAt(x, y);
    UpdateTooltip(under);
    TLightControl* target = capture_ ? capture_ : under;
    TShiftState shift = MouseShiftState(wParam);
    if (!target) {
        MouseMove(shift, x, y);
        return;
    }
    platform::TRect r = target->HostRect();
    if (target->OnMouseMove) target->OnMouseMove(shift, x - r.Left, y - r.Top);
}

void TLightHost::UpdateTooltip(TLightControl* hovered) {
    if (hovered == hovered_) return;
    hovered_ = hovered;
    bool wanted = hovered && hovered->showHint_ && !hovered->hint_.empty();
    if (!tooltip_ && wanted) tooltip_.reset(new TTooltip(Handle()));
    // The tip of the control left behind goes, and the tooltip starts over as if the
    // pointer had just come in: the next control's tip shows after the usual delay.
    if (tooltip_ && tooltip_->Handle()) {
        SendMessageW(tooltip_->Handle(), TTM_POP, 0, 0);
        SendMessageW(tooltip_->Handle(), TTM_ACTIVATE, FALSE, 0);
        SendMessageW(tooltip_->Handle(), TTM_ACTIVATE, TRUE, 0);
    }
}

void TLightHost::DropFiles(HDROP drop) {
    POINT point = {0, 0};
    DragQueryPoint(drop, &point);
    TDropFiles files;
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring name(length + 1, L'\0');
        DragQueryFileW(drop, i, &name[0], length + 1);
        name.resize(length);
        TDroppedFile file;
        // Any name the file system holds is taken as it is.
        file.Path = platform::FromWide(name);
        file.DisplayName = file.Path;
        files.Files.push_back(file);
    }
    // The names are read: the drop handle goes back to the system before any handler
    // runs (a handler may show a modal box, or throw).
    DragFinish(drop);

    TLightControl* target = ControlAt(point.x, point.y);
    if (target && target->OnDropArriving) target->OnDropArriving();
    while (target && !target->acceptFiles_)
        target = target->parent_;
    if (!target || !target->OnDropFiles) return;
    platform::TRect r = target->HostRect();
    files.Point = POINT{point.x - r.Left, point.y - r.Top};
    target->OnDropFiles(files);
}

LRESULT TLightHost::KeyMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    WORD key = (WORD)wParam;
    TShiftState shift = KeyMessageShiftState(message, lParam);
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
        KeyDown(key, shift);
    else
        KeyUp(key, shift);
    if (key == 0) return 0;
    return TPanel::KeyMessage(message, key, lParam);
}

LRESULT TLightHost::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == FlushMessage()) {
        FlushQueued();
        return 0;
    }
    int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_PAINT:
        FlushInvalidation(); // painted together with what the system has
        break;
    case WM_DESTROY:
        LeaveFlushQueue();
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        MouseButton(message, wParam, x, y);
        // The system turns the right button's release into WM_CONTEXTMENU.
        if (message == WM_RBUTTONUP) return TWindow::HandleMessage(message, wParam, lParam);
        return 0;
    case WM_MOUSEMOVE:
        MouseMoved(wParam, x, y);
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != Handle()) {
            // A release of our own clears capture_ first: only a capture taken away is lost.
            bool lost = capture_ != nullptr;
            capture_ = nullptr;
            pressed_ = nullptr;
            if (lost && OnCaptureLost) OnCaptureLost();
        }
        return 0;
    case WM_DROPFILES:
        DropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_NOTIFY: {
        NMHDR* nm = reinterpret_cast<NMHDR*>(lParam);
        if (tooltip_ && nm->hwndFrom == tooltip_->Handle() && nm->code == TTN_GETDISPINFOW) {
            POINT p;
            GetCursorPos(&p);
            p = ScreenToClient(p);
            hint_ = platform::Widen(HintAt(p.x, p.y));
            reinterpret_cast<NMTTDISPINFOW*>(lParam)->lpszText = const_cast<wchar_t*>(hint_.c_str());
            return 0;
        }
        break;
    }
    }
    return TPanel::HandleMessage(message, wParam, lParam);
}

} // namespace ui
