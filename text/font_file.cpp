#include "text/font_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/platform.h"

namespace {

struct BlockFile {
    SDL_RWops* file = nullptr;
    Sint64 size = 0;
    Sint64 position = 0;
    Sint64 file_position = -1;  // of `file`, so a run of blocks is read without seeking
    long blocks_read = 0;
    std::vector<std::unique_ptr<uint8_t[]>> blocks;  // by offset / FONT_FILE_BLOCK; null until read
};

// Tells our streams from others, so a stranger's data pointer is never taken for ours.
constexpr Uint32 BLOCK_FILE_TYPE = 0x544F4246u;

BlockFile* block_file(SDL_RWops* rw) {
    return rw && rw->type == BLOCK_FILE_TYPE ? static_cast<BlockFile*>(rw->hidden.unknown.data1) : nullptr;
}

// The block holding `index`, read from disk on first use; null when the read fails.
const uint8_t* block_at(BlockFile& f, size_t index) {
    std::unique_ptr<uint8_t[]>& block = f.blocks[index];
    if (block) return block.get();
    const Sint64 start = static_cast<Sint64>(index * FONT_FILE_BLOCK);
    const size_t length = static_cast<size_t>(std::min<Sint64>(FONT_FILE_BLOCK, f.size - start));
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[length]);
    if (f.file_position != start && SDL_RWseek(f.file, start, RW_SEEK_SET) != start) {
        f.file_position = -1;
        return nullptr;
    }
    const bool whole = SDL_RWread(f.file, bytes.get(), 1, length) == length;
    f.file_position = whole ? start + static_cast<Sint64>(length) : -1;
    if (!whole) return nullptr;
    f.blocks_read += 1;
    block = std::move(bytes);
    return block.get();
}

Sint64 stream_size(SDL_RWops* rw) { return block_file(rw)->size; }

// Positions are kept within the file, as SDL's memory streams keep theirs.
Sint64 stream_seek(SDL_RWops* rw, Sint64 offset, int whence) {
    BlockFile& f = *block_file(rw);
    Sint64 base = 0;
    if (whence == RW_SEEK_CUR) base = f.position;
    else if (whence == RW_SEEK_END) base = f.size;
    else if (whence != RW_SEEK_SET) return SDL_SetError("Unknown value for 'whence'");
    f.position = std::clamp<Sint64>(base + offset, 0, f.size);
    return f.position;
}

size_t stream_read(SDL_RWops* rw, void* out, size_t size, size_t count) {
    BlockFile& f = *block_file(rw);
    if (size == 0 || count == 0) return 0;
    const size_t wanted = std::min<size_t>(size * count, static_cast<size_t>(f.size - f.position));
    auto* to = static_cast<uint8_t*>(out);
    size_t done = 0;
    while (done < wanted) {
        const size_t at = static_cast<size_t>(f.position);
        const uint8_t* block = block_at(f, at / FONT_FILE_BLOCK);
        if (!block) break;
        const size_t within = at % FONT_FILE_BLOCK;
        const size_t part = std::min(wanted - done, FONT_FILE_BLOCK - within);
        std::memcpy(to + done, block + within, part);
        done += part;
        f.position += static_cast<Sint64>(part);
    }
    return done / size;
}

size_t stream_write(SDL_RWops*, const void*, size_t, size_t) {
    SDL_SetError("Font files are read-only");
    return 0;
}

int stream_close(SDL_RWops* rw) {
    BlockFile* f = block_file(rw);
    if (f) SDL_RWclose(f->file);
    delete f;
    SDL_FreeRW(rw);
    return 0;
}

}  // namespace

std::string system_font_path(const std::string& path) {
    // Asked once: the fonts folder does not move while the program runs.
    static const std::string folder = windows_fonts_folder();
    const size_t prefix = sizeof(WINDOWS_FONTS_FOLDER) - 1;
    if (path.compare(0, prefix, WINDOWS_FONTS_FOLDER) != 0 || path.size() <= prefix || path[prefix] != '/') return path;
    return folder + path.substr(prefix);
}

SDL_RWops* open_font_file(const std::string& path) {
    SDL_RWops* file = SDL_RWFromFile(system_font_path(path).c_str(), "rb");
    if (!file) return nullptr;
    const Sint64 size = SDL_RWsize(file);
    SDL_RWops* rw = size > 0 ? SDL_AllocRW() : nullptr;
    if (!rw) {
        SDL_RWclose(file);
        return nullptr;
    }
    auto* f = new BlockFile;
    f->file = file;
    f->size = size;
    f->blocks.resize(static_cast<size_t>((size + FONT_FILE_BLOCK - 1) / FONT_FILE_BLOCK));
    rw->type = BLOCK_FILE_TYPE;
    rw->hidden.unknown.data1 = f;
    rw->size = stream_size;
    rw->seek = stream_seek;
    rw->read = stream_read;
    rw->write = stream_write;
    rw->close = stream_close;
    return rw;
}

long font_file_blocks_read(SDL_RWops* stream) {
    const BlockFile* f = block_file(stream);
    return f ? f->blocks_read : -1;
}
