// Font file streams: every read gives the file's own bytes, each block comes from disk once, positions stay inside.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/support/portable.h"
#include "text/font_file.h"

TEST(FontFile, ReadsGiveTheFilesBytesAndEachBlockIsReadFromDiskOnce) {
    const std::string dir = make_temp_dir("torvanel-font-file");
    const size_t B = FONT_FILE_BLOCK, size = 3 * B + 123;
    std::string bytes(size, 0);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
    std::ofstream(dir + "/font.ttf", std::ios::binary) << bytes;
    std::ofstream(dir + "/empty.ttf");
    SDL_RWops* f = open_font_file(dir + "/font.ttf");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(SDL_RWsize(f), static_cast<Sint64>(size));
    const struct { size_t at, object, count, objects_read; long blocks; } rows[] = {
        {10, 1, 100, 100, 1}, {B - 5, 1, 10, 10, 2}, {0, 1, B, B, 2},  // in the first block, into the second, memory
        {size - 50, 4, 20, 12, 3}, {size, 1, 10, 0, 3},  // short at the end (whole objects only), nothing past it
        {B / 2, 1, size, size - B / 2, 4}};  // the rest: only the third block is new
    for (const auto& row : rows) {
        std::string got(row.object * row.count, '\xEE');
        ASSERT_EQ(SDL_RWseek(f, static_cast<Sint64>(row.at), RW_SEEK_SET), static_cast<Sint64>(row.at));
        EXPECT_EQ(SDL_RWread(f, got.data(), row.object, row.count), row.objects_read) << row.at;
        const size_t n = row.object * row.objects_read;
        EXPECT_TRUE(got.substr(0, n) == bytes.substr(row.at, n)) << row.at;
        EXPECT_EQ(SDL_RWtell(f), static_cast<Sint64>(row.at + std::min(row.object * row.count, size - row.at)));
        EXPECT_EQ(font_file_blocks_read(f), row.blocks) << row.at;
    }
    const Sint64 end = static_cast<Sint64>(size);  // positions stay inside the file
    EXPECT_EQ((std::vector<Sint64>{SDL_RWseek(f, -10, RW_SEEK_END), SDL_RWseek(f, 100, RW_SEEK_CUR),
                                   SDL_RWseek(f, -1, RW_SEEK_SET)}), (std::vector<Sint64>{end - 10, end, 0}));
    EXPECT_EQ(SDL_RWwrite(f, "x", 1, 1), 0u);
    SDL_RWclose(f);
    EXPECT_EQ(open_font_file(dir + "/missing.ttf"), nullptr);
    EXPECT_EQ(open_font_file(dir + "/empty.ttf"), nullptr);
}
