// Reads arbitrary bytes as the icon cache bitmaps: no crash, no read outside the
// input, and whatever is accepted writes and reads back to the same pixels.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "model/bmpfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> file(data, data + size);
    platform::TPixmap color;
    if (bmpfile::DecodeColor(file, color)) {
        platform::TPixmap again;
        if (!bmpfile::DecodeColor(bmpfile::EncodeColor(color), again) || !(again == color)) std::abort();
    }
    TMonoBitmap mask;
    if (bmpfile::DecodeMono(file, mask)) {
        TMonoBitmap again;
        if (!bmpfile::DecodeMono(bmpfile::EncodeMono(mask), again) || !(again == mask)) std::abort();
    }
    return 0;
}
