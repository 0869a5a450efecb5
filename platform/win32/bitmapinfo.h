#pragma once
// The description of a 32-bit DIB whose rows run from the top down: one value
// 0xAARRGGBB a pixel, as the pixel buffers hold them.
#include <windows.h>

namespace platform {

inline BITMAPINFO TopDownInfo(int width, int height) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

} // namespace platform
