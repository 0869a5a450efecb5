#pragma once
// Windows bitmap files (BMP) for the icon cache: the colour strip as 32 bits per
// pixel, the mask strip as 1 bit per pixel with a black/white palette. The
// readers take what a file holds only after checking every size and offset of
// its headers against the file, and refuse anything else.
#include <cstdint>
#include <vector>

#include "model/monobitmap.h"
#include "platform/pixmap.h"

namespace bmpfile {

// A bottom-up 32 bpp BI_RGB bitmap file.
std::vector<uint8_t> EncodeColor(const platform::TPixmap& pixmap);
// A bottom-up 1 bpp bitmap file, palette entry 0 black, entry 1 white.
std::vector<uint8_t> EncodeMono(const TMonoBitmap& bitmap);
// The same into file, whose memory is kept: a caller that saves again and again
// writes on memory it already has (fresh pages cost more than the encoding).
void EncodeColor(const platform::TPixmap& pixmap, std::vector<uint8_t>& file);
void EncodeMono(const TMonoBitmap& bitmap, std::vector<uint8_t>& file);

// Reads an uncompressed 24 or 32 bpp bitmap file (bottom-up or top-down).
// False, leaving out untouched, for anything else or a damaged file.
bool DecodeColor(const std::vector<uint8_t>& file, platform::TPixmap& out);
// Reads an uncompressed 1 bpp bitmap file; a bit is white when its palette entry
// is light. False, leaving out untouched, for anything else or a damaged file.
bool DecodeMono(const std::vector<uint8_t>& file, TMonoBitmap& out);

} // namespace bmpfile
