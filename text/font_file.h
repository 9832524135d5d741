// Font files read through a cache of blocks. SDL2_ttf hands FreeType a
// stream that seeks and reads its file for every table and every glyph it
// loads; through stdio each of those costs a seek and a read of the system,
// and every size opened from one file reads the same tables again. A font
// file stream serves those reads from memory and reads each block of the
// file from disk at most once, so all sizes of a language share one copy of
// what they touch. Only touched blocks are kept: a large collection file
// (a CJK .ttc) costs the few blocks a page needs, not its whole size.
#pragma once
#include <SDL.h>

#include <cstddef>
#include <string>

constexpr size_t FONT_FILE_BLOCK = 4096;

// The font lists name Windows' fonts under this folder; where Windows keeps
// them elsewhere, the file is opened in the system's fonts folder instead.
constexpr char WINDOWS_FONTS_FOLDER[] = "C:/Windows/Fonts";
// `path` with WINDOWS_FONTS_FOLDER replaced by the system's fonts folder.
std::string system_font_path(const std::string& path);
// A read-only stream over the file at system_font_path(path), or null when it does not open.
// SDL_RWclose releases the file and every cached block.
SDL_RWops* open_font_file(const std::string& path);
// How many blocks the stream has read from disk so far (-1 for other streams).
long font_file_blocks_read(SDL_RWops* stream);
