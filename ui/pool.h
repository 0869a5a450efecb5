#pragma once
// A pool of reusable controls. Take gives the control given back most recently, or
// makes a new one when there is none; Give hides a control and keeps it for the next
// Take. The pool owns every control it made; none is destroyed before the pool.
// A layout rebuilt from the pool therefore reuses the controls of the one before.
#include <functional>
#include <memory>
#include <vector>

namespace ui {

template <class T> class TPool {
public:
    // make: a new control; reuse: cleans a control that comes back from the pool;
    // give: puts a control out of use (hides it).
    TPool(std::function<std::unique_ptr<T>()> make, std::function<void(T&)> reuse,
          std::function<void(T&)> give)
        : make_(std::move(make)), reuse_(std::move(reuse)), give_(std::move(give)) {}
    TPool(const TPool&) = delete;
    TPool& operator=(const TPool&) = delete;
    ~TPool() {
        // Controls go in the reverse order of their making.
        while (!all_.empty())
            all_.pop_back();
    }

    T* Take() {
        if (!spare_.empty()) {
            T* item = spare_.back();
            spare_.pop_back();
            if (reuse_) reuse_(*item);
            return item;
        }
        all_.push_back(make_());
        return all_.back().get();
    }

    void Give(T* item) {
        if (!item) return;
        if (give_) give_(*item);
        spare_.push_back(item);
    }

    // Controls made so far, and those waiting in the pool.
    size_t Created() const { return all_.size(); }
    size_t Spare() const { return spare_.size(); }

private:
    std::function<std::unique_ptr<T>()> make_;
    std::function<void(T&)> reuse_;
    std::function<void(T&)> give_;
    std::vector<std::unique_ptr<T>> all_;
    std::vector<T*> spare_;
};

} // namespace ui
