// Writes the eight game files that the setup program installs, as stand-ins
// for the real game: deterministic bytes (the same on every run and machine),
// sized so that the whole set adds up to about the requested number of KiB.
//
// Usage: sample_game_files <folder> <total KiB>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct SampleFile {
    const char* name;
    int per_mille;  // share of the requested total; 0 for the small text files
};

// The same names and order as the game file table the setup program checks.
constexpr SampleFile SAMPLE_FILES[8] = {
    {"Torvanel.exe", 380}, {"SDL2.dll", 25},    {"SDL2_ttf.dll", 5}, {"music1.mp3", 190},
    {"music2.mp3", 200},   {"music3.mp3", 200}, {"README.txt", 0},   {"LICENSE.txt", 0},
};

constexpr const char* README_TEXT =
    "Torvanel\n\nA modern city builder. Start Torvanel.exe to play.\n"
    "This copy was made for trying out the setup program.\n";
constexpr const char* LICENSE_TEXT = "Torvanel sample files. These bytes stand in for the game and carry no content.\n";

bool write_pattern(const std::filesystem::path& path, uint64_t size, uint32_t seed) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::vector<char> block(1 << 20);
    uint32_t x = seed * 2654435761u + 1u;  // xorshift32 never leaves a non-zero state
    for (uint64_t left = size; left > 0;) {
        const size_t n = left < block.size() ? static_cast<size_t>(left) : block.size();
        for (size_t i = 0; i < n; ++i) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            block[i] = static_cast<char>(x >> 24);
        }
        out.write(block.data(), static_cast<std::streamsize>(n));
        left -= n;
    }
    return static_cast<bool>(out);
}

bool write_text(const std::filesystem::path& path, const char* text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <folder> <total KiB>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const uint64_t total = std::strtoull(argv[2], nullptr, 10) * 1024;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "cannot create %s: %s\n", argv[1], error.message().c_str());
        return 1;
    }
    for (uint32_t i = 0; i < 8; ++i) {
        const SampleFile& file = SAMPLE_FILES[i];
        const std::filesystem::path path = folder / file.name;
        bool ok;
        if (file.per_mille == 0) ok = write_text(path, i == 6 ? README_TEXT : LICENSE_TEXT);
        else ok = write_pattern(path, total * static_cast<uint64_t>(file.per_mille) / 1000, i + 1);
        if (!ok) {
            std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
            return 1;
        }
    }
    return 0;
}
