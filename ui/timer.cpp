#include "ui/timer.h"

#include "ui/window.h"

namespace ui {

TTimer::TTimer(TWindow& owner, unsigned interval, bool enabled)
    : owner_(&owner), id_(owner.nextTimerId_++), interval_(interval), enabled_(enabled) {
    owner.timers_[id_] = this;
    Restart();
}

TTimer::~TTimer() {
    if (!owner_) return;
    if (owner_->Handle()) KillTimer(owner_->Handle(), id_);
    owner_->timers_.erase(id_);
}

void TTimer::SetInterval(unsigned interval) {
    interval_ = interval;
    Restart();
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Restart();
}

void TTimer::Restart() {
    if (!owner_ || !owner_->Handle()) return;
    KillTimer(owner_->Handle(), id_);
    if (enabled_ && interval_ > 0) SetTimer(owner_->Handle(), id_, interval_, nullptr);
}

void TTimer::Fire() {
    // A timer disabled while its message waited in the queue does not fire.
    if (enabled_ && OnTimer) OnTimer();
}

} // namespace ui
