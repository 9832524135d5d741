// The application icon as the build writes it: seven 32-bit images of the
// emblem, the 256 one as PNG, the others as bitmaps holding exactly what the
// emblem painter paints.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#include "render/emblem.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t u16(const Bytes& b, size_t at) { return b.at(at) | b.at(at + 1) << 8; }
uint32_t u32(const Bytes& b, size_t at) { return u16(b, at) | u16(b, at + 2) << 16; }

Bytes read_all(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST(AppIcon, SevenSizesOf32BitsWithThe256OneAsPng) {
    const Bytes ico = read_all(TORVANEL_ICON_FILE);
    ASSERT_GE(ico.size(), 6u) << TORVANEL_ICON_FILE;
    EXPECT_EQ(u16(ico, 0), 0u);
    EXPECT_EQ(u16(ico, 2), 1u) << "an icon, not a cursor";
    ASSERT_EQ(u16(ico, 4), 7u);
    const int sizes[] = {16, 24, 32, 48, 64, 128, 256};
    for (int i = 0; i < 7; ++i) {
        const size_t entry = 6 + 16 * i;
        const int n = sizes[i];
        SCOPED_TRACE(n);
        EXPECT_EQ(ico.at(entry), n % 256);  // 0 stands for 256
        EXPECT_EQ(ico.at(entry + 1), n % 256);
        EXPECT_EQ(u16(ico, entry + 6), 32u) << "bits per pixel";
        const size_t size = u32(ico, entry + 8), at = u32(ico, entry + 12);
        ASSERT_LE(at + size, ico.size());
        const Bytes image(ico.begin() + at, ico.begin() + at + size);
        if (n == 256) {
            ASSERT_GE(image.size(), 33u);  // the signature, then the header's 256 x 256, 8 bits a channel, RGBA
            EXPECT_EQ(Bytes(image.begin(), image.begin() + 8), (Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
            EXPECT_EQ(Bytes(image.begin() + 16, image.begin() + 26), (Bytes{0, 0, 1, 0, 0, 0, 1, 0, 8, 6}));
            continue;
        }
        // A bitmap twice as high (colour then mask), BGRA rows bottom-up.
        ASSERT_EQ(u32(image, 0), 40u);
        EXPECT_EQ(u32(image, 4), static_cast<uint32_t>(n));
        EXPECT_EQ(u32(image, 8), static_cast<uint32_t>(2 * n));
        EXPECT_EQ(u16(image, 14), 32u);
        const size_t mask_row = (n + 31) / 32 * 4;
        ASSERT_EQ(image.size(), 40 + static_cast<size_t>(n) * n * 4 + mask_row * n);
        Bytes rgba;
        paint_emblem(n, rgba);
        size_t mismatches = 0;
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                const uint8_t* p = &rgba[(static_cast<size_t>(y) * n + x) * 4];
                const size_t q = 40 + (static_cast<size_t>(n - 1 - y) * n + x) * 4;
                mismatches += Bytes{p[2], p[1], p[0], p[3]} != Bytes(image.begin() + q, image.begin() + q + 4);
            }
        EXPECT_EQ(mismatches, 0u) << "the icon is not the emblem";
    }
}

}  // namespace
