// The application icon as the build writes it: seven 32-bit images of the emblem, the 256 one as PNG, the others
// as bitmaps holding exactly what the emblem painter paints.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#include "render/emblem.h"

using Bytes = std::vector<uint8_t>;
static uint32_t u16(const Bytes& b, size_t at) { return b.at(at) | b.at(at + 1) << 8; }
static uint32_t u32(const Bytes& b, size_t at) { return u16(b, at) | u16(b, at + 2) << 16; }

TEST(AppIcon, SevenSizesOf32BitsWithThe256OneAsPng) {
    std::ifstream in(TORVANEL_ICON_FILE, std::ios::binary);
    const Bytes ico(std::istreambuf_iterator<char>(in), {});
    EXPECT_EQ(u32(ico, 0), 0x10000u) << "an icon, not a cursor";
    ASSERT_EQ(u16(ico, 4), 7u);
    const uint32_t sizes[] = {16, 24, 32, 48, 64, 128, 256};
    for (int i = 0; i < 7; ++i) {
        const uint32_t n = sizes[i], entry = 6 + 16 * i, size = u32(ico, entry + 8), at = u32(ico, entry + 12);
        SCOPED_TRACE(n);
        EXPECT_EQ(u16(ico, entry) | u16(ico, entry + 6) << 16, n % 256 * 257 | 32 << 16) << "size (0: 256), 32 bits";
        ASSERT_LE(at + size, ico.size());
        const Bytes image(ico.begin() + at, ico.begin() + at + size);
        if (n == 256) continue;  // a PNG: the icon_png_decodes test decodes it as 256 x 256 with alpha
        // A bitmap twice as high (colour then mask), BGRA rows bottom-up.
        using Fields = std::vector<uint32_t>;
        EXPECT_EQ((Fields{u32(image, 0), u32(image, 4), u32(image, 8), u16(image, 14)}), (Fields{40, n, 2 * n, 32}));
        ASSERT_EQ(image.size(), 40 + n * n * 4 + (n + 31) / 32 * 4 * n);
        Bytes rgba;
        paint_emblem(static_cast<int>(n), rgba);
        for (size_t p = 0; p < rgba.size(); p += 4) std::swap(rgba[p], rgba[p + 2]);
        for (uint32_t y = 0, row = 4 * n; y < n; ++y)  // the icon is the emblem, row for row
            EXPECT_TRUE(std::equal(&rgba[y * row], &rgba[y * row] + row, &image[40 + (n - 1 - y) * row])) << y;
    }
}
