#pragma once
// An icon file written by the tests: one square image per size, each a black frame
// of one pixel around a colour of its own, all of it opaque. Which colour shows
// tells which image the system took; the frame tells whether it was stretched.
#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "shell_support.h"

namespace icontest {

// The inside colour (0x00RRGGBB) of the image of each size.
inline uint32_t SquareColor(int size) {
    switch (size) {
    case 32: return 0x00FF0000;
    case 48: return 0x0000FF00;
    case 64: return 0x000000FF;
    default: return 0x00FFFF00;
    }
}

inline void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back((uint8_t)v);
    out.push_back((uint8_t)(v >> 8));
}
inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// Writes the icon file with images of 32, 48 and 64 pixels (by default); true when written.
inline bool WriteSquaresIcon(const std::wstring& path, const std::vector<int>& sizes = {32, 48, 64}) {
    std::vector<std::vector<uint8_t>> images;
    for (int size : sizes) {
        std::vector<uint8_t> image;
        Put32(image, 40); // BITMAPINFOHEADER, the height counting the mask too
        Put32(image, (uint32_t)size);
        Put32(image, (uint32_t)size * 2);
        Put16(image, 1);
        Put16(image, 32);
        for (int i = 0; i < 6; ++i)
            Put32(image, 0);
        for (int y = size - 1; y >= 0; --y) // bottom-up rows, BGRA
            for (int x = 0; x < size; ++x) {
                bool frame = x == 0 || y == 0 || x == size - 1 || y == size - 1;
                Put32(image, 0xFF000000u | (frame ? 0u : SquareColor(size)));
            }
        size_t maskRow = (size_t)((size + 31) / 32 * 4);
        image.insert(image.end(), maskRow * (size_t)size, 0); // opaque everywhere
        images.push_back(std::move(image));
    }
    std::vector<uint8_t> file;
    Put16(file, 0);
    Put16(file, 1); // an icon
    Put16(file, (uint32_t)sizes.size());
    uint32_t offset = 6 + 16 * (uint32_t)sizes.size();
    for (size_t i = 0; i < sizes.size(); ++i) {
        file.push_back((uint8_t)(sizes[i] >= 256 ? 0 : sizes[i]));
        file.push_back((uint8_t)(sizes[i] >= 256 ? 0 : sizes[i]));
        file.push_back(0);
        file.push_back(0);
        Put16(file, 1);
        Put16(file, 32);
        Put32(file, (uint32_t)images[i].size());
        Put32(file, offset);
        offset += (uint32_t)images[i].size();
    }
    for (const auto& image : images)
        file.insert(file.end(), image.begin(), image.end());
    return shelltest::WriteFileW(path, std::string(file.begin(), file.end()));
}

} // namespace icontest
