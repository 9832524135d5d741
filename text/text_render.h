// Text textures and measurement: texts are shaped, rendered with SDL2_ttf
// into GL textures that are cached by size, weight, colour and text, and
// measured exactly as they are drawn.
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
// The cache key of a text (exposed for tests).
std::string text_cache_key(const std::string& text, int size, uint32_t rgba, bool bold);
