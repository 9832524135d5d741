// Text textures and measurement: texts are shaped, rendered with SDL2_ttf
// into GL textures that are cached by size, weight, colour and text, and
// measured exactly as they are drawn. The cache's textures belong to this
// file, so the text system's language switch and shutdown, which retire
// them, are here too.
#pragma once
#include <cstdint>
#include <string>

#include "text/text_system.h"

constexpr size_t TEXT_CACHE_LIMIT = 900;

// Cached texture of the text (0, 0, 0 when nothing can be drawn). rgba is 0xRRGGBBAA.
TextTexture render_text(TextSystem& ts, const std::string& text, int size, uint32_t rgba, bool bold);
// Width in pixels of the shaped text; 0 without a font.
int measure_text(TextSystem& ts, const std::string& text, int size, bool bold);
// Recommended baseline distance; the size itself without a font.
int line_skip(TextSystem& ts, int size, bool bold);
// Empties the cache; its textures are deleted by the next text_end_frame.
void clear_text_cache(TextSystem& ts);
// Deletes the textures dropped from the cache during this frame. Called once
// the frame's batch, which may still name them, has been drawn.
void text_end_frame(TextSystem& ts);
// Serves another language: the same language with a font loaded keeps
// everything; another one retires every cached texture and switches fonts.
void text_set_language(TextSystem& ts, uint8_t language);
// Releases textures (context must be current), fonts and SDL2_ttf.
void text_shutdown(TextSystem& ts);
// The cache key of a text (exposed for tests).
std::string text_cache_key(const std::string& text, int size, uint32_t rgba, bool bold);
