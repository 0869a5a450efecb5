// The packed pixel buffer that item faces are kept in: it must give back exactly the
// pixels it was packed from, whatever they are, and take little memory for a face.
#include <gtest/gtest.h>

#include "platform/pixmap.h"

using platform::TPackedPixmap;
using platform::TPixmap;

namespace {

TPixmap Unpacked(const TPackedPixmap& packed) {
    TPixmap out;
    packed.UnpackTo(out);
    return out;
}

// Every window of every row, copied out, matches the source.
void ExpectSameRows(const TPixmap& source, const TPackedPixmap& packed) {
    for (int y = 0; y < source.Height(); ++y)
        for (int x = 0; x < source.Width(); ++x)
            for (int n = 1; x + n <= source.Width(); ++n) {
                std::vector<uint32_t> row((size_t)n + 2, 0xDEADBEEF);
                packed.CopyRow(y, x, n, row.data() + 1);
                ASSERT_EQ(0xDEADBEEFu, row.front()) << "wrote before the window at " << x << "," << y;
                ASSERT_EQ(0xDEADBEEFu, row.back()) << "wrote past the window at " << x << "," << y << " n " << n;
                for (int i = 0; i < n; ++i)
                    ASSERT_EQ(source.Pixel(x + i, y), row[(size_t)i + 1]) << x + i << "," << y;
            }
}

} // namespace

TEST(PackedPixmap, GivesBackEveryPixelOfAnyPicture) {
    TPixmap plain(7, 5, 0x00C0C0C0);
    ExpectSameRows(plain, TPackedPixmap(plain));

    // Pixels on the edges, a whole row, a row with a background pixel inside its run.
    TPixmap marked = plain;
    marked.SetPixel(0, 1, 1);
    marked.SetPixel(6, 2, 2);
    marked.FillRect(platform::TRect(0, 3, 7, 4), 3);
    marked.SetPixel(1, 4, 4);
    marked.SetPixel(5, 4, 5);
    TPackedPixmap packed(marked);
    EXPECT_TRUE(Unpacked(packed) == marked);
    ExpectSameRows(marked, packed);
    EXPECT_EQ(0x00C0C0C0u, packed.Pixel(3, 4));
    EXPECT_EQ(5u, packed.Pixel(5, 4));

    // A top left pixel unlike the rest: it is the background, the rest is stored.
    TPixmap noise(9, 4);
    uint32_t v = 12345;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x)
            noise.SetPixel(x, y, (v = v * 1103515245u + 12345u) >> 8);
    ExpectSameRows(noise, TPackedPixmap(noise));

    TPackedPixmap empty((TPixmap()));
    EXPECT_TRUE(empty.Empty());
    EXPECT_TRUE(Unpacked(empty).Empty());
}

TEST(PackedPixmap, PackingAgainReplacesThePictureAndAFaceTakesLittleMemory) {
    TPixmap face(80, 72, 0x00F0F0F0);
    face.FillRect(platform::TRect(24, 4, 56, 36), 0x00336699); // the icon
    face.FillRect(platform::TRect(20, 48, 60, 60), 0);         // the title
    TPackedPixmap packed(TPixmap(3, 3, 7));
    packed.Pack(face);
    EXPECT_EQ(80, packed.Width());
    EXPECT_EQ(72, packed.Height());
    EXPECT_TRUE(Unpacked(packed) == face);
    EXPECT_LT(packed.PackedBytes(), (size_t)80 * 72 * 4 / 3);
}

TEST(PackedPixmap, APictureReferenceCopiesWhatItShows) {
    TPixmap plain(4, 3, 9);
    plain.SetPixel(2, 1, 1);
    TPackedPixmap packed(plain);
    TPixmap out;
    platform::TPictureRef(&packed).CopyTo(out);
    EXPECT_TRUE(out == plain);
    platform::TPictureRef(&plain).CopyTo(out);
    EXPECT_TRUE(out == plain);
    EXPECT_EQ(4, platform::TPictureRef(&packed).Width());
    platform::TPictureRef().CopyTo(out);
    EXPECT_TRUE(out.Empty());
    EXPECT_TRUE(platform::TPictureRef().Empty());
}
