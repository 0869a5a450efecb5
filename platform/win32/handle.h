#pragma once
// One owner for every kind of system handle: it closes what it holds when it goes,
// moves and never copies. A kind is a small traits struct that names the handle's
// type, its empty value and the call that closes it.
#include <windows.h>

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

// Processes, threads, mutexes, events: empty is null.
struct TKernelHandleTraits {
    using Type = HANDLE;
    static HANDLE Empty() { return nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
// Files opened with CreateFile: empty is INVALID_HANDLE_VALUE.
struct TFileHandleTraits {
    using Type = HANDLE;
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
// Icons made or extracted for us (not shared ones from LoadImage with LR_SHARED).
struct TIconHandleTraits {
    using Type = HICON;
    static HICON Empty() { return nullptr; }
    static void Close(HICON h) { DestroyIcon(h); }
};

using TKernelHandle = THandleOwner<TKernelHandleTraits>;
using TFileHandle = THandleOwner<TFileHandleTraits>;
using TIconHandle = THandleOwner<TIconHandleTraits>;

} // namespace platform
