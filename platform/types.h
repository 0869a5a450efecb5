#pragma once
// Small value types shared by the portable code and the Win32 layers.
#include <cstdint>

namespace platform {

// A framework colour: 0x00BBGGRR, or a system-colour code with the top bit set
// (0x80000000 | COLOR_xxx index, for example 0x8000000F, the button face).
typedef uint32_t TColor;

const TColor clBtnFace = 0x8000000F;
const TColor clWindowText = 0x80000008;
const TColor clBlack = 0x00000000;
const TColor clWhite = 0x00FFFFFF;

inline bool IsSystemColor(TColor c) { return (c & 0x80000000u) != 0; }

// What a path names on disk (GetPathKind).
enum class TPathKind { Missing = 0, File = 1, Folder = 2 };

// A window of the system, as an opaque number (an HWND on Windows).
typedef uintptr_t TWindowHandle;

struct TPoint {
    int X = 0, Y = 0;
};

// Half-open: Left <= x < Right, Top <= y < Bottom.
struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    TRect() = default;
    TRect(int l, int t, int r, int b) : Left(l), Top(t), Right(r), Bottom(b) {}
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
};

// Raster operations understood by ICanvas::StretchCopy.
const uint32_t kSrcCopy = 0x00CC0020;  // destination := source
const uint32_t kMergeCopy = 0x00C000CA; // destination := source AND brush
const uint32_t kSrcPaint = 0x00EE0086;  // destination := destination OR source

} // namespace platform
