#pragma once
// A message-driven timer owned by a window: OnTimer runs from the owner's WM_TIMER,
// on the thread of the message loop, between other messages.
#include <windows.h>

#include "ui/events.h"

namespace ui {

class TWindow;

class TTimer {
public:
    // The timer runs when it is enabled, has an interval above 0 and the owner has a window.
    explicit TTimer(TWindow& owner, unsigned interval = 1000, bool enabled = true);
    ~TTimer();
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;

    // Milliseconds. Changing it (or enabling the timer) starts a fresh interval.
    void SetInterval(unsigned interval);
    unsigned Interval() const { return interval_; }
    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }

    TNotifyEvent OnTimer;

private:
    friend class TWindow;
    void Fire();
    void Restart();

    TWindow* owner_;
    UINT_PTR id_;
    unsigned interval_;
    bool enabled_;
};

} // namespace ui
