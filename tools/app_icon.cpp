// Writes the application icon (a Windows .ico) at build time: the emblem
// painted by the program's own painter at 16, 24, 32, 48, 64, 128 and 256
// pixels, 32-bit RGBA, the 256 image stored as PNG (as Windows expects for
// that size) and the others as bottom-up BGRA bitmaps with their AND mask.
// No image is checked in; the icon always matches the emblem the UI draws.
//
// Usage: app_icon <output.ico>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "render/emblem.h"

namespace {

constexpr int ICON_SIZES[] = {16, 24, 32, 48, 64, 128, 256};
constexpr int PNG_FROM_SIZE = 256;

using Bytes = std::vector<uint8_t>;

void put16(Bytes& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(Bytes& out, uint32_t v) {
    put16(out, v & 0xFFFFu);
    put16(out, v >> 16);
}
void put32_be(Bytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

// [SECTION] deflate: greedy LZ77 with fixed Huffman codes, one block. Small
// and plenty for an emblem with large flat areas.

struct BitWriter {
    Bytes& out;
    uint32_t bits = 0;
    int count = 0;
    void put(uint32_t value, int n) {  // LSB first, as deflate packs data
        for (int i = 0; i < n; ++i) {
            bits |= ((value >> i) & 1u) << count;
            if (++count == 8) {
                out.push_back(static_cast<uint8_t>(bits));
                bits = 0;
                count = 0;
            }
        }
    }
    void put_code(uint32_t code, int n) {  // Huffman codes go MSB first
        for (int i = n - 1; i >= 0; --i) put((code >> i) & 1u, 1);
    }
    void flush() {
        if (count > 0) out.push_back(static_cast<uint8_t>(bits));
        bits = 0;
        count = 0;
    }
};

void put_symbol(BitWriter& w, int sym) {
    if (sym < 144) w.put_code(0x30 + sym, 8);
    else if (sym < 256) w.put_code(0x190 + sym - 144, 9);
    else if (sym < 280) w.put_code(sym - 256, 7);
    else w.put_code(0xC0 + sym - 280, 8);
}

constexpr int LEN_BASE[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                            31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr int LEN_EXTRA[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr int DIST_BASE[] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                             193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr int DIST_EXTRA[] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                              6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void put_match(BitWriter& w, int length, int distance) {
    int l = 28;
    while (LEN_BASE[l] > length) --l;
    put_symbol(w, 257 + l);
    w.put(static_cast<uint32_t>(length - LEN_BASE[l]), LEN_EXTRA[l]);
    int d = 29;
    while (DIST_BASE[d] > distance) --d;
    w.put_code(static_cast<uint32_t>(d), 5);
    w.put(static_cast<uint32_t>(distance - DIST_BASE[d]), DIST_EXTRA[d]);
}

void deflate_fixed(const Bytes& in, Bytes& out) {
    constexpr int WINDOW = 32768, HASH = 1 << 15, CHAIN = 64, MAX_LEN = 258;
    std::vector<int> head(HASH, -1), prev(in.size(), -1);
    auto hash = [&](size_t i) { return ((in[i] << 10) ^ (in[i + 1] << 5) ^ in[i + 2]) & (HASH - 1); };
    BitWriter w{out};
    w.put(1, 1);  // final block
    w.put(1, 2);  // fixed Huffman codes
    size_t i = 0;
    while (i < in.size()) {
        int best_len = 0, best_dist = 0;
        if (i + 3 <= in.size()) {
            const int h = hash(i);
            int candidate = head[h];
            for (int steps = 0; candidate >= 0 && steps < CHAIN; ++steps) {
                const size_t c = static_cast<size_t>(candidate);
                if (i - c > WINDOW) break;
                int len = 0;
                while (len < MAX_LEN && i + len < in.size() && in[c + len] == in[i + len]) ++len;
                if (len > best_len) best_len = len, best_dist = static_cast<int>(i - c);
                candidate = prev[c];
            }
        }
        const size_t advance = best_len >= 3 ? static_cast<size_t>(best_len) : 1;
        if (best_len >= 3) put_match(w, best_len, best_dist);
        else put_symbol(w, in[i]);
        for (size_t k = 0; k < advance; ++k, ++i) {
            if (i + 3 > in.size()) continue;
            const int h = hash(i);
            prev[i] = head[h];
            head[h] = static_cast<int>(i);
        }
    }
    put_symbol(w, 256);
    w.flush();
}

// [SECTION] PNG

uint32_t crc32(const uint8_t* data, size_t n, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

uint32_t adler32(const Bytes& data) {
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521u;
        b = (b + a) % 65521u;
    }
    return (b << 16) | a;
}

void put_chunk(Bytes& png, const char* type, const Bytes& data) {
    put32_be(png, static_cast<uint32_t>(data.size()));
    const size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    put32_be(png, crc32(png.data() + start, png.size() - start));
}

// Each row takes the "up" filter (the emblem's rows resemble their
// neighbours), the first row none.
Bytes encode_png(int n, const Bytes& rgba) {
    const size_t stride = static_cast<size_t>(n) * 4;
    Bytes raw;
    for (int y = 0; y < n; ++y) {
        raw.push_back(y == 0 ? 0 : 2);
        for (size_t x = 0; x < stride; ++x) {
            const uint8_t above = y == 0 ? 0 : rgba[(y - 1) * stride + x];
            raw.push_back(static_cast<uint8_t>(rgba[y * stride + x] - above));
        }
    }
    Bytes z = {0x78, 0x01};
    deflate_fixed(raw, z);
    put32_be(z, adler32(raw));

    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    put32_be(header, static_cast<uint32_t>(n));
    put32_be(header, static_cast<uint32_t>(n));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, no interlace
    put_chunk(png, "IHDR", header);
    put_chunk(png, "IDAT", z);
    put_chunk(png, "IEND", {});
    return png;
}

// [SECTION] icon images

// A 32-bit DIB as icons store it: a header of twice the height (colour rows
// then mask rows), BGRA rows bottom-up, then a 1-bit AND mask (all zero:
// the alpha channel decides).
Bytes encode_dib(int n, const Bytes& rgba) {
    Bytes dib;
    put32(dib, 40);
    put32(dib, static_cast<uint32_t>(n));
    put32(dib, static_cast<uint32_t>(2 * n));
    put16(dib, 1);
    put16(dib, 32);
    for (int i = 0; i < 6; ++i) put32(dib, 0);  // BI_RGB, size and resolution unused
    for (int y = n - 1; y >= 0; --y) {
        for (int x = 0; x < n; ++x) {
            const uint8_t* p = &rgba[(static_cast<size_t>(y) * n + x) * 4];
            dib.insert(dib.end(), {p[2], p[1], p[0], p[3]});
        }
    }
    const size_t mask_row = static_cast<size_t>((n + 31) / 32) * 4;
    dib.insert(dib.end(), mask_row * n, 0);
    return dib;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: app_icon <output.ico>\n");
        return 2;
    }
    std::vector<Bytes> images;
    for (int n : ICON_SIZES) {
        Bytes rgba;
        paint_emblem(n, rgba);
        images.push_back(n >= PNG_FROM_SIZE ? encode_png(n, rgba) : encode_dib(n, rgba));
    }

    Bytes ico;
    const size_t count = images.size();
    put16(ico, 0);
    put16(ico, 1);  // icon, not cursor
    put16(ico, static_cast<uint32_t>(count));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * count);
    for (size_t i = 0; i < count; ++i) {
        const int n = ICON_SIZES[i];
        ico.push_back(static_cast<uint8_t>(n >= 256 ? 0 : n));  // 0 means 256
        ico.push_back(static_cast<uint8_t>(n >= 256 ? 0 : n));
        ico.push_back(0);  // no palette
        ico.push_back(0);
        put16(ico, 1);   // planes
        put16(ico, 32);  // bits per pixel
        put32(ico, static_cast<uint32_t>(images[i].size()));
        put32(ico, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const Bytes& image : images) ico.insert(ico.end(), image.begin(), image.end());

    // Written whole or not at all, so a failed run leaves no half icon behind.
    const std::string path = argv[1];
    const std::string temp = path + ".part";
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "app_icon: cannot write %s\n", temp.c_str());
        return 1;
    }
    const bool ok = std::fwrite(ico.data(), 1, ico.size(), f) == ico.size();
    if (std::fclose(f) != 0 || !ok) {
        std::remove(temp.c_str());
        std::fprintf(stderr, "app_icon: cannot write %s\n", temp.c_str());
        return 1;
    }
    std::remove(path.c_str());  // rename does not replace a file on Windows
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::fprintf(stderr, "app_icon: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}
