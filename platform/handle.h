#pragma once
// One owner for every kind of system handle: it closes what it holds when it goes,
// moves and never copies. A kind is a small traits struct that names the handle's
// type, its empty value and the call that closes it. The Windows kinds live in
// platform/win32/handle.h; the host's file descriptors beside the code that opens them.

namespace platform {

template <class Traits> class THandleOwner {
public:
    using THandle = typename Traits::Type;

    THandleOwner() = default;
    explicit THandleOwner(THandle handle) : handle_(handle) {}
    ~THandleOwner() { Reset(); }
    THandleOwner(THandleOwner&& other) noexcept : handle_(other.Release()) {}
    THandleOwner& operator=(THandleOwner&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    THandleOwner(const THandleOwner&) = delete;
    THandleOwner& operator=(const THandleOwner&) = delete;

    THandle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Empty(); }
    // Gives the handle up without closing it.
    THandle Release() {
        THandle handle = handle_;
        handle_ = Traits::Empty();
        return handle;
    }
    // Closes the handle held, then holds this one.
    void Reset(THandle handle = Traits::Empty()) {
        if (handle_ != Traits::Empty()) Traits::Close(handle_);
        handle_ = handle;
    }

private:
    THandle handle_ = Traits::Empty();
};

} // namespace platform
