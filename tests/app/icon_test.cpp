// The application icon as the build writes it: seven 32-bit images of the emblem, the 256 one as PNG, the others
// as bitmaps holding exactly what the emblem painter paints.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#include "render/emblem.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The sizes the icon carries, smallest first; the largest is stored as PNG.
constexpr uint32_t SIZES[] = {16, 24, 32, 48, 64, 128, 256};
constexpr size_t IMAGE_COUNT = std::size(SIZES);
// An ICO file: a 6-byte header, a 16-byte directory entry per image, then the images.
constexpr size_t HEADER_SIZE = 6;
constexpr size_t ENTRY_SIZE = 16;
constexpr size_t BITMAP_HEADER_SIZE = 40;

uint32_t u16(const Bytes& b, size_t at) { return b.at(at) | b.at(at + 1) << 8; }
uint32_t u32(const Bytes& b, size_t at) { return u16(b, at) | u16(b, at + 2) << 16; }

Bytes read_icon() {
    std::ifstream in(TORVANEL_ICON_FILE, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// One image's directory entry.
struct Entry {
    uint32_t width;  // 0 stands for 256
    uint32_t height;
    uint32_t bits_per_pixel;
    uint32_t size;
    uint32_t offset;
};

Entry entry(const Bytes& ico, size_t i) {
    const size_t at = HEADER_SIZE + ENTRY_SIZE * i;
    return {ico.at(at), ico.at(at + 1), u16(ico, at + 6), u32(ico, at + 8), u32(ico, at + 12)};
}

class AppIcon : public testing::Test {
protected:
    void SetUp() override { ASSERT_GE(ico.size(), HEADER_SIZE + ENTRY_SIZE * IMAGE_COUNT); }

    // The bytes of image i; empty when its entry points outside the file.
    Bytes image(size_t i) const {
        const Entry e = entry(ico, i);
        if (static_cast<size_t>(e.offset) + e.size > ico.size()) return {};
        return Bytes(ico.begin() + e.offset, ico.begin() + e.offset + e.size);
    }

    const Bytes ico = read_icon();
};

TEST_F(AppIcon, IsAnIconOfSevenImages) {
    EXPECT_EQ(u16(ico, 0), 0u);
    EXPECT_EQ(u16(ico, 2), 1u) << "an icon, not a cursor";
    EXPECT_EQ(u16(ico, 4), IMAGE_COUNT);
}

TEST_F(AppIcon, EachImageIsItsSizeIn32Bits) {
    for (size_t i = 0; i < IMAGE_COUNT; ++i) {
        SCOPED_TRACE(testing::Message() << "size " << SIZES[i]);
        const Entry e = entry(ico, i);
        EXPECT_EQ(e.width, SIZES[i] % 256) << "0 stands for 256";
        EXPECT_EQ(e.height, SIZES[i] % 256);
        EXPECT_EQ(e.bits_per_pixel, 32u);
    }
}

TEST_F(AppIcon, LargestImageIsAPng) {
    const Bytes png = image(IMAGE_COUNT - 1);
    const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    ASSERT_GE(png.size(), signature.size());
    EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
    // The icon_png_decodes test decodes it as 256 x 256 with alpha.
}

TEST_F(AppIcon, EachSmallerImageIsA32BitBitmapTwiceAsHighForColourAndMask) {
    for (size_t i = 0; i + 1 < IMAGE_COUNT; ++i) {
        const uint32_t n = SIZES[i];
        SCOPED_TRACE(testing::Message() << "size " << n);
        const Bytes bitmap = image(i);
        ASSERT_GE(bitmap.size(), BITMAP_HEADER_SIZE);
        EXPECT_EQ(u32(bitmap, 0), BITMAP_HEADER_SIZE);
        EXPECT_EQ(u32(bitmap, 4), n);
        EXPECT_EQ(u32(bitmap, 8), 2 * n);
        EXPECT_EQ(u16(bitmap, 14), 32u);
        const size_t mask_row = (n + 31) / 32 * 4;  // one bit a pixel, rows padded to 4 bytes
        EXPECT_EQ(bitmap.size(), BITMAP_HEADER_SIZE + n * n * 4 + mask_row * n);
    }
}

TEST_F(AppIcon, EachBitmapHoldsTheEmblemRowForRowBottomUpInBgra) {
    for (size_t i = 0; i + 1 < IMAGE_COUNT; ++i) {
        const uint32_t n = SIZES[i];
        SCOPED_TRACE(testing::Message() << "size " << n);
        const Bytes bitmap = image(i);
        const size_t row_bytes = 4 * n;
        ASSERT_GE(bitmap.size(), BITMAP_HEADER_SIZE + n * row_bytes);
        Bytes bgra;
        paint_emblem(static_cast<int>(n), bgra);
        for (size_t p = 0; p < bgra.size(); p += 4) std::swap(bgra[p], bgra[p + 2]);
        for (uint32_t y = 0; y < n; ++y) {
            const uint8_t* painted = &bgra[y * row_bytes];
            const uint8_t* stored = &bitmap[BITMAP_HEADER_SIZE + (n - 1 - y) * row_bytes];
            EXPECT_TRUE(std::equal(painted, painted + row_bytes, stored)) << "row " << y;
        }
    }
}

}  // namespace
