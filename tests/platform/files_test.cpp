// The platform layer's files: identity by open handle, new files that never go through a link, names removed and
// replaced without touching what a link points to, and folders made with the system's own error text.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/platform.h"
#include "tests/support/portable.h"

#if TORVANEL_POSIX
#include <sys/stat.h>
#endif

namespace {

namespace fs = std::filesystem;
fs::path u8(const std::string& path) { return fs::u8path(path); }

void write_text(const std::string& path, const std::string& text) { std::ofstream(u8(path), std::ios::binary) << text; }

std::string read_text(const std::string& path) {
    std::ifstream in(u8(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct PlatformFiles : testing::Test {
    const std::string folder = make_temp_dir("torvanel-platform-Łódź");
    const std::string target = folder + "/target.txt";
    void SetUp() override { write_text(target, "the target"); }
    void TearDown() override { fs::remove_all(u8(folder)); }
};

}  // namespace

TEST_F(PlatformFiles, AHardLinkIsTheSameFileAndACopyIsNot) {
    fs::create_hard_link(u8(target), u8(folder + "/hard.txt"));
    fs::copy_file(u8(target), u8(folder + "/copy.txt"));
    FileId original, hard, copy;

    ASSERT_TRUE(query_file_id(target, original));
    ASSERT_TRUE(query_file_id(folder + "/hard.txt", hard));
    ASSERT_TRUE(query_file_id(folder + "/copy.txt", copy));

    EXPECT_TRUE(same_file_id(original, hard));
    EXPECT_FALSE(same_file_id(original, copy));
}

TEST_F(PlatformFiles, ASourceOpensWithTheIdAndSizeOfItsFile) {
    FileStream file;
    FileId opened, queried;
    uint64_t size = 0;

    ASSERT_TRUE(open_source_file(file, target, opened, size));
    ASSERT_TRUE(query_file_id(target, queried));

    EXPECT_TRUE(same_file_id(opened, queried));
    EXPECT_EQ(size, std::string("the target").size());
}

TEST_F(PlatformFiles, AFolderIsNoSource) {
    FileStream file;
    FileId id;
    uint64_t size = 0;

    EXPECT_FALSE(open_source_file(file, folder, id, size));
    EXPECT_FALSE(file.is_open());
}

TEST_F(PlatformFiles, ANewFileIsNeverCreatedOverAnExistingName) {
    FileStream file;
    std::string error;

    EXPECT_FALSE(create_new_file(file, target, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(read_text(target), "the target");
}

TEST_F(PlatformFiles, AFileInTheWayOfAFolderFailsWithTheSystemsText) {
    std::string error;

    EXPECT_FALSE(create_folders(target + "/below", error));
    EXPECT_FALSE(error.empty());
}

#if TORVANEL_POSIX  // links to files need privileges there, and there are no FIFOs
TEST_F(PlatformFiles, ALinkIsFollowedToTheFileItReaches) {
    fs::create_symlink(u8(target), u8(folder + "/link.txt"));
    FileId through_link, direct;

    ASSERT_TRUE(query_file_id(folder + "/link.txt", through_link));
    ASSERT_TRUE(query_file_id(target, direct));

    EXPECT_TRUE(same_file_id(through_link, direct));
}

TEST_F(PlatformFiles, ANewFileIsNeverCreatedThroughADanglingLink) {
    const std::string gone = folder + "/gone.txt", link = folder + "/link.txt";
    fs::create_symlink(u8(gone), u8(link));
    FileStream file;
    std::string error;

    EXPECT_FALSE(create_new_file(file, link, error));
    EXPECT_FALSE(fs::exists(u8(gone)));
}

TEST_F(PlatformFiles, RemovingALinkLeavesWhatItPointsTo) {
    const std::string link = folder + "/link.txt";
    fs::create_symlink(u8(target), u8(link));

    EXPECT_TRUE(remove_file_name(link));

    EXPECT_FALSE(fs::exists(fs::symlink_status(u8(link))));
    EXPECT_EQ(read_text(target), "the target");
}

TEST_F(PlatformFiles, AReplacementReplacesALinkNotWhatItPointsTo) {
    const std::string link = folder + "/link.txt", fresh = folder + "/fresh.txt";
    fs::create_symlink(u8(target), u8(link));
    write_text(fresh, "the new file");
    std::string error;

    ASSERT_TRUE(replace_file(fresh, link, error)) << error;

    EXPECT_FALSE(fs::is_symlink(u8(link)));
    EXPECT_EQ(read_text(link), "the new file");
    EXPECT_EQ(read_text(target), "the target");
}

TEST_F(PlatformFiles, AWholeFileIsRefusedAtOnceWhereAFifoStands) {
    const std::string fifo = folder + "/shot.bmp";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

    EXPECT_FALSE(write_regular_file(fifo, "BM", 2));
}
#endif
