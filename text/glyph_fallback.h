// Glyph fallback: the font chosen for a writing system may lack the letters
// of another (the Devanagari font on Linux has no Latin letters, yet Hindi
// texts carry the game's name, file names and folder paths). Such a line is
// cut into runs, each drawn with a font that has its glyphs: the language's
// font first, the fallback font for what it lacks. A line the language's
// font covers, the usual case, is measured and drawn as one piece.
#pragma once
#include <SDL.h>

#include <string>
#include <vector>

typedef struct _TTF_Font TTF_Font;

struct GlyphRun {
    std::string text;  // shaped UTF-8, in drawing order
    TTF_Font* font;
};

// Whether `font` lacks a glyph of a visible character of the shaped `text`.
bool font_lacks_glyph(TTF_Font* font, const std::string& text);
// Fills `runs` and returns true when `font` lacks a glyph of the shaped
// `text` that `fallback` has; false, with `runs` empty, when one piece will do.
bool split_glyph_runs(TTF_Font* font, TTF_Font* fallback, const std::string& text, std::vector<GlyphRun>& runs);
// Width of the runs side by side.
int measure_glyph_runs(const std::vector<GlyphRun>& runs);
// The runs rendered side by side on a common baseline, as one ARGB surface; null on failure.
SDL_Surface* render_glyph_runs(const std::vector<GlyphRun>& runs, SDL_Color colour);
