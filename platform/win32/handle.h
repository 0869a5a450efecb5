#pragma once
// The Windows kinds of handle for the one owner template (platform/handle.h). It
// is header only: Kirostart, which links nothing of the program's, uses it too.
#include <windows.h>

#include "platform/handle.h"

namespace platform {

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
