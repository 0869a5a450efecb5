#pragma once
// Windowless controls and the panel that hosts them.
//
// A grid of 100 x 100 item buttons cannot be 20,000 windows: the process has 10,000
// window objects at most. A TLightControl is a plain object with a rectangle that its
// host panel paints and hit-tests: the host is the only window. The host takes the
// mouse capture for the control being pressed, routes mouse and key events to the
// controls, shows their hints as a tooltip, and routes files dropped from the shell
// (WM_DROPFILES) by the drop point to the control under it.
//
// Painting: the host paints the changed area only, strip by strip into one DIB;
// each visible control there costs one copy of its pixel buffer and no GDI object.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/pixmap.h"
#include "ui/gdi.h"
#include "ui/panel.h"

namespace ui {

class TLightHost;

// One file of a drop.
struct TDroppedFile {
    // The full path as program text (exact whatever its characters).
    std::string Path;
    // The name as a message shows it.
    std::string DisplayName;
};

struct TDropFiles {
    std::vector<TDroppedFile> Files; // in the order of the drop
    POINT Point = {0, 0};            // in the receiving control's coordinates
};

class TLightControl {
public:
    TLightControl() = default;
    virtual ~TLightControl();
    TLightControl(const TLightControl&) = delete;
    TLightControl& operator=(const TLightControl&) = delete;

    // Places the control on a host (coordinates in the host's client area), or on
    // another control (coordinates in that control's area; it moves, hides and paints
    // with it, and covers it). Detach takes it off.
    void SetParent(TLightHost& host);
    void SetParent(TLightControl& parent);
    void Detach();
    TLightHost* Host() const { return host_; }
    TLightControl* ParentControl() const { return parent_; }

    void SetBounds(int left, int top, int width, int height);
    int Left() const { return bounds_.Left; }
    int Top() const { return bounds_.Top; }
    int Width() const { return bounds_.Width(); }
    int Height() const { return bounds_.Height(); }
    // The rectangle in the host's client coordinates.
    platform::TRect HostRect() const;
    POINT ClientToScreen(POINT p) const;

    void SetVisible(bool visible);
    bool Visible() const { return visible_; }
    // Visible, and so are the controls it sits on.
    bool Showing() const;

    // Background colour (clNone: none) and outer bevel, painted first.
    void SetColor(platform::TColor color);
    platform::TColor Color() const { return color_; }
    void SetBevelOuter(TBevelCut bevel);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelWidth(int width);
    int BevelWidth() const { return bevelWidth_; }

    // The picture, copied to the control's top left unscaled. Picture() is the
    // control's own buffer (draw on it, then call Invalidate); SetPictureRef shows a
    // buffer of someone else's instead, without copying it (it must outlive its use;
    // null returns to the own buffer).
    platform::TPixmap& Picture() { return picture_; }
    void SetPictureRef(const platform::TPixmap* picture);
    // A picture looked up each time the control is painted, for a picture that its
    // owner may replace or free between paints (the face of whatever item a button
    // shows now). While set it comes before the own picture and SetPictureRef; none
    // from the source paints no picture.
    void SetPictureSource(std::function<platform::TPictureRef()> source);
    const platform::TPixmap& ShownPicture() const { return pictureRef_ ? *pictureRef_ : picture_; }

    // Painted last, on a canvas of the control's size.
    std::function<void(platform::ICanvas& canvas)> OnPaint;

    // The hint shown as a tooltip while the mouse rests on the control.
    void SetHint(const std::string& hint) { hint_ = hint; }
    const std::string& Hint() const { return hint_; }
    void SetShowHint(bool show) { showHint_ = show; }
    bool ShowHint() const { return showHint_; }

    // Files dropped from the shell reach the control only while this is on.
    void SetAcceptFiles(bool accept);
    bool AcceptFiles() const { return acceptFiles_; }

    // The host's mouse capture for this control: mouse events go to it wherever the
    // pointer is, until the capture is released.
    void SetCapture();
    void ReleaseCapture();
    bool HasCapture() const;

    // Repaints the control's rectangle (only that) when the host next paints.
    void Invalidate();

    // Points are in the control's coordinates.
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    // A left press and release on the control.
    TNotifyEvent OnClick;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    std::function<void(const TDropFiles& drop)> OnDropFiles;
    // Raised on the control under a drop point before the drop looks for a control
    // that accepts files: a control whose owner brings its state up to date lazily
    // (when it is painted) gets the chance to do so first.
    TNotifyEvent OnDropArriving;

private:
    friend class TLightHost;
    void SetHost(TLightHost* host);
    void Paint(TPaintBand& band, int originX, int originY, const platform::TRect& clip);
    TLightControl* HitTest(int x, int y); // x, y in the parent's coordinates
    // The picture the control shows now (from its source when it has one).
    platform::TPictureRef PictureNow();
    // A visible child paints every pixel inside the bevel (its colour, or a picture of
    // its full size): the control's own fill would be painted over and is left out.
    bool ChildCoversInside();

    TLightHost* host_ = nullptr;
    TLightControl* parent_ = nullptr;
    size_t slot_ = 0; // index in the host's list, for a control placed on the host
    std::vector<TLightControl*> children_;
    platform::TRect bounds_;
    bool visible_ = true;
    platform::TColor color_ = clNone;
    TBevelCut bevelOuter_ = TBevelCut::None;
    int bevelWidth_ = 1;
    platform::TPixmap picture_;
    const platform::TPixmap* pictureRef_ = nullptr;
    std::function<platform::TPictureRef()> pictureSource_;
    std::string hint_;
    bool showHint_ = false;
    bool acceptFiles_ = false;
};

class TLightHost : public TPanel {
public:
    explicit TLightHost(TWindow* parent);
    ~TLightHost() override;

    // The visible control under a point of the client area (the topmost), or null.
    TLightControl* ControlAt(int x, int y);
    // Controls placed directly on the host.
    size_t ControlCount() const { return controls_.size() - holes_; }

    void SetCaptureControl(TLightControl* control);
    void ReleaseCaptureControl() { SetCaptureControl(nullptr); }
    TLightControl* CaptureControl() const { return capture_; }
    // The system took the mouse capture away while a control held it (another window
    // took it, a menu or a box opened): the holder's pressed state is the owner's to undo.
    TNotifyEvent OnCaptureLost;

    // The control that receives the keys that reach the host.
    void SetFocusedControl(TLightControl* control) { focused_ = control; }
    TLightControl* FocusedControl() const { return focused_; }
    // Passes a key to the focused control (the form calls these for keys it routes).
    void KeyDown(WORD& key, TShiftState shift);
    void KeyUp(WORD& key, TShiftState shift);

    // The hint for a point: the one of the control under it when it shows hints.
    std::string HintAt(int x, int y);

    // Controls that change collect the rectangles to repaint; they reach the system in
    // one go when the host next handles a message (a rebuild of 10,000 controls makes
    // a few calls, not 10,000), through one posted message for all the hosts that
    // wait. Flush hands them over now.
    void FlushInvalidation();
    void Update() override;
    // The whole client is to be repainted: one rectangle that takes the place of the
    // ones collected so far, handed to the system as the others are.
    void InvalidateClient();
    // While held (see TInvalidationLock), changes of controls collect no rectangles;
    // when the last hold goes and anything changed, the client is invalidated once.
    void HoldInvalidation();
    void ReleaseInvalidation();
    bool InvalidationHeld() const { return held_ > 0; }

protected:
    void PaintBand(TPaintBand& band) override;
    // Fills only what the controls placed on the host that have a colour leave
    // uncovered: a grid of buttons writes each pixel once, not twice.
    void FillBackground(TPaintBand& band, const platform::TRect& area, uint32_t pixel) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT KeyMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    friend class TLightControl;
    void Add(TLightControl* control);
    void Remove(TLightControl* control);
    // Brings the control's entry in shown_ up to date with its bounds and visibility.
    void Place(const TLightControl* control);
    void Forget(TLightControl* control); // clears every reference to a control leaving the host
    void ChangeAccepting(int delta);
    void Compact();
    void MouseButton(UINT message, WPARAM wParam, int x, int y);
    void MouseMoved(WPARAM wParam, int x, int y);
    void DropFiles(HDROP drop);
    void UpdateTooltip(TLightControl* hovered);
    void InvalidateRect(const platform::TRect& r);
    // The queue of hosts waiting for the flush message (see FlushInvalidation).
    void AwaitFlush();
    void LeaveFlushQueue();
    static void FlushQueued();

    std::vector<TLightControl*> controls_; // bottom to top; null where one was removed
    // For each slot of controls_, the control's rectangle while it is visible, else an
    // empty one. A paint finds the few controls of its area in this compact list
    // instead of reading 10,000 controls scattered in memory.
    std::vector<platform::TRect> shown_;
    // Calls f(slot) for each control shown (visible, not empty) in area.
    template <class F> void ForEachShownIn(const platform::TRect& area, F f);
    size_t holes_ = 0;
    TLightControl* capture_ = nullptr;
    TLightControl* hovered_ = nullptr;
    TLightControl* focused_ = nullptr;
    TLightControl* pressed_ = nullptr; // where the left button went down
    int accepting_ = 0;                // controls on the host that accept files
    bool dragAccepted_ = false;
    std::vector<platform::TRect> invalid_; // to repaint, not yet handed to the system
    int held_ = 0;                         // holds of the invalidation
    bool changedWhileHeld_ = false;
    std::unique_ptr<TWindow> tooltip_;
    std::wstring hint_; // the text the tooltip shows, kept while it shows
};

// Holds a host's invalidation for the length of a scope: a rebuild of 10,000 controls
// costs one invalidation of the client instead of one rectangle per change.
class TInvalidationLock {
public:
    explicit TInvalidationLock(TLightHost& host) : host_(host) { host_.HoldInvalidation(); }
    ~TInvalidationLock() { host_.ReleaseInvalidation(); }
    TInvalidationLock(const TInvalidationLock&) = delete;
    TInvalidationLock& operator=(const TInvalidationLock&) = delete;

private:
    TLightHost& host_;
};

} // namespace ui
