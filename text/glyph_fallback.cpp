#include "text/glyph_fallback.h"

#include <SDL_ttf.h>

#include <algorithm>

#include "text/utf8.h"

bool font_lacks_glyph(TTF_Font* font, const std::string& text) {
    if (!font) return false;
    for (size_t i = 0; i < text.size();) {
        const Utf8Char c = utf8_decode(text, i);
        if (c.code > 0x20 && !TTF_GlyphIsProvided32(font, c.code)) return true;
        i += c.length;
    }
    return false;
}

bool split_glyph_runs(TTF_Font* font, TTF_Font* fallback, const std::string& text, std::vector<GlyphRun>& runs) {
    runs.clear();
    if (!font || !fallback) return false;
    bool needed = false;
    for (size_t i = 0; i < text.size();) {
        const Utf8Char c = utf8_decode(text, i);
        const uint32_t cp = c.code;
        // Spaces and control characters stay with whatever run they are in.
        TTF_Font* want = font;
        if (cp > 0x20 && !TTF_GlyphIsProvided32(font, cp) && TTF_GlyphIsProvided32(fallback, cp)) {
            want = fallback;
            needed = true;
        } else if (cp <= 0x20 && !runs.empty()) {
            want = runs.back().font;
        }
        if (runs.empty() || runs.back().font != want) runs.push_back({std::string(), want});
        runs.back().text.append(text, i, c.length);
        i += c.length;
    }
    if (!needed) runs.clear();
    return needed;
}

int measure_glyph_runs(const std::vector<GlyphRun>& runs) {
    int total = 0;
    for (const GlyphRun& run : runs) {
        int w = 0;
        int h = 0;
        if (TTF_SizeUTF8(run.font, run.text.c_str(), &w, &h) == 0) total += w;
    }
    return total;
}

SDL_Surface* render_glyph_runs(const std::vector<GlyphRun>& runs, SDL_Color colour) {
    std::vector<SDL_Surface*> pieces;
    int width = 0;
    int ascent = 0;
    for (const GlyphRun& run : runs) {
        SDL_Surface* piece = TTF_RenderUTF8_Blended(run.font, run.text.c_str(), colour);
        pieces.push_back(piece);
        if (!piece) continue;
        width += piece->w;
        ascent = std::max(ascent, TTF_FontAscent(run.font));
    }
    // Every piece sits on the common baseline: lower by the ascent it lacks.
    int height = 0;
    for (size_t i = 0; i < runs.size(); ++i)
        if (pieces[i]) height = std::max(height, ascent - TTF_FontAscent(runs[i].font) + pieces[i]->h);

    SDL_Surface* line = nullptr;
    if (width > 0 && height > 0) line = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    int x = 0;
    for (size_t i = 0; i < runs.size(); ++i) {
        SDL_Surface* piece = pieces[i];
        if (!piece) continue;
        if (line) {
            // Copy, not blend: the pieces do not overlap and keep their own alpha.
            SDL_SetSurfaceBlendMode(piece, SDL_BLENDMODE_NONE);
            SDL_Rect at = {x, ascent - TTF_FontAscent(runs[i].font), piece->w, piece->h};
            SDL_BlitSurface(piece, nullptr, line, &at);
        }
        x += piece->w;
        SDL_FreeSurface(piece);
    }
    return line;
}
