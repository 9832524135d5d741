// Font file streams: every read gives the file's own bytes, each block comes from disk once, positions stay
// inside the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "tests/support/portable.h"
#include "text/font_file.h"

namespace {

constexpr size_t BLOCK = FONT_FILE_BLOCK;
constexpr size_t FILE_SIZE = 3 * BLOCK + 123;  // three whole blocks and part of a fourth

// A stream over a file of FILE_SIZE bytes, none of them repeating the block before.
class FontFileStream : public testing::Test {
protected:
    void SetUp() override {
        dir = make_temp_dir("torvanel-font-file");
        bytes.resize(FILE_SIZE);
        for (size_t i = 0; i < FILE_SIZE; ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
        std::ofstream(dir + "/font.ttf", std::ios::binary) << bytes;
        stream = open_font_file(dir + "/font.ttf");
        ASSERT_NE(stream, nullptr);
    }
    void TearDown() override {
        if (stream) SDL_RWclose(stream);
    }

    // Reads `count` objects of `object_size` bytes at `at`; the bytes read.
    std::string read_at(size_t at, size_t object_size, size_t count, size_t* objects_read = nullptr) {
        EXPECT_EQ(SDL_RWseek(stream, static_cast<Sint64>(at), RW_SEEK_SET), static_cast<Sint64>(at));
        std::string got(object_size * count, '\xEE');
        const size_t objects = SDL_RWread(stream, got.data(), object_size, count);
        if (objects_read) *objects_read = objects;
        got.resize(objects * object_size);
        return got;
    }

    std::string dir;
    std::string bytes;
    SDL_RWops* stream = nullptr;
};

TEST_F(FontFileStream, SizeIsTheFilesSize) { EXPECT_EQ(SDL_RWsize(stream), static_cast<Sint64>(FILE_SIZE)); }

TEST_F(FontFileStream, ReadGivesTheFilesBytesInWholeObjects) {
    const struct {
        const char* what;
        size_t at;
        size_t object_size;
        size_t count;
        size_t objects_read;
        size_t position_after;
    } rows[] = {
        {"across two blocks", BLOCK - 5, 1, 10, 10, BLOCK + 5},
        {"short at the end: whole objects only", FILE_SIZE - 50, 4, 20, 12, FILE_SIZE},
        {"nothing past the end", FILE_SIZE, 1, 10, 0, FILE_SIZE},
        {"the rest of the file", BLOCK / 2, 1, FILE_SIZE, FILE_SIZE - BLOCK / 2, FILE_SIZE},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        size_t objects_read = 0;
        const std::string got = read_at(row.at, row.object_size, row.count, &objects_read);
        EXPECT_EQ(objects_read, row.objects_read);
        EXPECT_TRUE(got == bytes.substr(row.at, got.size()));
        EXPECT_EQ(SDL_RWtell(stream), static_cast<Sint64>(row.position_after));
    }
}

TEST_F(FontFileStream, EachBlockIsReadFromDiskOnce) {
    const struct {
        const char* what;
        size_t at;
        size_t size;
        long blocks_read;  // by the stream so far
    } reads[] = {
        {"in the first block", 10, 100, 1},
        {"into the second", BLOCK - 5, 10, 2},
        {"the first block again, from memory", 0, BLOCK, 2},
        {"the end, in the fourth block", FILE_SIZE - 50, 50, 3},
        {"the rest, of which only the third block is new", BLOCK / 2, FILE_SIZE - BLOCK / 2, 4},
    };
    for (const auto& read : reads) {
        read_at(read.at, 1, read.size);
        EXPECT_EQ(font_file_blocks_read(stream), read.blocks_read) << read.what;
    }
}

TEST_F(FontFileStream, SeekStaysInsideTheFile) {
    const Sint64 end = static_cast<Sint64>(FILE_SIZE);
    const struct {
        const char* what;
        Sint64 offset;
        int whence;
        Sint64 position;
    } seeks[] = {
        // one after the other
        {"back from the end", -10, RW_SEEK_END, end - 10},
        {"on past the end", 100, RW_SEEK_CUR, end},
        {"before the start", -1, RW_SEEK_SET, 0},
    };
    for (const auto& seek : seeks) EXPECT_EQ(SDL_RWseek(stream, seek.offset, seek.whence), seek.position) << seek.what;
}

TEST_F(FontFileStream, WriteIsRefused) { EXPECT_EQ(SDL_RWwrite(stream, "x", 1, 1), 0u); }

TEST(FontFile, MissingOrEmptyFileDoesNotOpen) {
    const std::string dir = make_temp_dir("torvanel-font-file");
    std::ofstream(dir + "/empty.ttf");
    EXPECT_EQ(open_font_file(dir + "/missing.ttf"), nullptr);
    EXPECT_EQ(open_font_file(dir + "/empty.ttf"), nullptr);
}

}  // namespace
