// The text system: system fonts chosen per writing system with fallback
// lists, font handles opened on demand per size and weight, and the shaping
// mode of the language. Its record also holds the cache of rendered text
// textures, which text_render.h fills and retires; that is why the language
// switch and the shutdown, which must retire textures before the fonts go,
// live there and call down into this file.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

typedef struct _TTF_Font TTF_Font;
struct SDL_RWops;

struct FontPair {
    const char* regular;
    const char* bold;
};

enum class ShapingMode : uint8_t { None = 0, Arabic = 1, Devanagari = 2 };

struct TextTexture {
    uint32_t texture = 0;  // GL name; 0 means nothing to draw
    int32_t width = 0;
    int32_t height = 0;
};

// Key: size, "b|" or "|", packed colour as unsigned decimal, "|", logical text.
using TextCache = std::unordered_map<std::string, TextTexture>;

struct TextSystem {
    uint8_t language = 0;
    ShapingMode shaping = ShapingMode::None;
    // Hindi: whether SDL2_ttf shapes Devanagari itself (texts then reach it in
    // logical order), decided when the language's first font opens.
    bool font_script_decided = false;
    bool font_shapes_script = false;
    std::string regular_font_path;  // empty: text is not drawn
    std::string bold_font_path;
    std::map<int32_t, TTF_Font*> fonts;  // key 2*size + bold; null remembered
    TextCache cache;
    // Textures dropped from the cache during the frame; the frame's batch may
    // still draw them, so they are deleted only by text_end_frame.
    std::vector<uint32_t> retired_textures;
    bool ttf_ready = false;
    // Font for the glyphs the language's font lacks (the default list's
    // first usable file), chosen on first need; empty when there is none
    // or it is the language's own font.
    bool fallback_chosen = false;
    std::string fallback_regular_path;
    std::string fallback_bold_path;
    std::map<int32_t, TTF_Font*> fallback_fonts;
    // Paragraphs already broken into lines, by size, width and text; valid
    // for the fonts in use, so emptied whenever they change.
    std::unordered_map<std::string, std::vector<std::string>> wrap_cache;
    // Font file streams by path, each shared by every handle opened from
    // that file (null: the file did not open); closed after the handles.
    std::map<std::string, SDL_RWops*> font_files;
};

constexpr int PROBE_POINT_SIZE = 16;

struct FontList {
    const FontPair* pairs;
    int count;
};
extern const FontPair FONTS_CHINESE[3];
extern const FontPair FONTS_JAPANESE[5];
extern const FontPair FONTS_ARABIC[4];
extern const FontPair FONTS_DEVANAGARI[4];
extern const FontPair FONTS_DEFAULT[4];

// The five candidate lists in use; tests swap in lists of their own.
struct FontLists {
    FontList chinese, japanese, arabic, devanagari, fallback;
};
const FontLists& default_font_lists();
void set_font_lists(const FontLists* lists);  // null restores the defaults

// Starts SDL2_ttf and chooses the fonts of `language` (English unless
// given), so a program starting in another language probes only its files;
// false when no regular font opens.
bool text_init(TextSystem& ts, std::string* diagnostics, uint8_t language = 0);
// Sets shaping, both paths and language for `language`; expects fonts and cache empty.
// True when a regular font was found (falling back to the default list if need be).
bool load_fonts_for_language(TextSystem& ts, uint8_t language, std::string* diagnostics);
// Whether the fonts in use serve `language` already: the same language with a font loaded.
bool fonts_serve(const TextSystem& ts, uint8_t language);
// Closes every font handle and file and chooses the fonts of `language`.
// Textures rendered with the old fonts are left to the caller: text_set_language
// (text_render.h) retires them first.
void switch_fonts(TextSystem& ts, uint8_t language);
// Closes every font handle and file, stops SDL2_ttf and empties both paths;
// the caller retires the textures (text_shutdown in text_render.h).
void release_fonts(TextSystem& ts);
// Handle for a pixel size and weight, opened once; a failure is remembered as null.
TTF_Font* font_for(TextSystem& ts, int size, bool bold);
// Handle of the fallback font for a size and weight, or null when there is none.
TTF_Font* fallback_font_for(TextSystem& ts, int size, bool bold);
