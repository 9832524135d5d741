// Text textures and measurement. A label drawn every frame is rendered and
// uploaded once, then served from the cache by one hash lookup; the cache is
// dropped as a whole past TEXT_CACHE_LIMIT so that ever-changing texts
// (counters, file names) cannot grow texture memory without bound.
// Measuring shapes exactly as rendering does, so layout matches the pixels.
#include "text/text_render.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include "render/gl_api.h"
#include "text/font_script.h"
#include "text/glyph_fallback.h"

namespace {

void append_key(std::string& key, const std::string& text, int size, uint32_t rgba, bool bold) {
    key.clear();
    key += std::to_string(size);
    key += bold ? "b|" : "|";
    key += std::to_string(rgba);
    key += '|';
    key += text;
}

// GL_MAX_TEXTURE_SIZE of the current context, looked up through SDL beside
// the entry-point table; 0 (no known limit) without a context.
int max_texture_size() {
    using GetIntegerv = void(APIENTRY*)(GLenum, GLint*);
    if (!SDL_GL_GetCurrentContext()) return 0;
    static const auto get = reinterpret_cast<GetIntegerv>(SDL_GL_GetProcAddress("glGetIntegerv"));
    GLint size = 0;
    if (get) get(GL_MAX_TEXTURE_SIZE, &size);
    return size;
}

// Pending GL errors, cleared; an upload is trusted only when none arose.
bool gl_error_pending() {
    using GetError = GLenum(APIENTRY*)();
    if (!SDL_GL_GetCurrentContext()) return false;
    static const auto get = reinterpret_cast<GetError>(SDL_GL_GetProcAddress("glGetError"));
    bool pending = false;
    for (int i = 0; get && i < 16 && get() != GL_NO_ERROR; ++i) pending = true;
    return pending;
}

// The texture of the surface, or 0 when the GPU cannot hold it: a texture
// beyond the limit would draw as a black bar.
uint32_t upload_rgba(const SDL_Surface* s) {
    const int limit = max_texture_size();
    if (limit > 0 && (s->w > limit || s->h > limit)) return 0;
    gl_error_pending();  // errors of earlier calls are not this upload's
    GLuint tex = 0;
    gl.glGenTextures(1, &tex);
    gl.glBindTexture(GL_TEXTURE_2D, tex);
    gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, s->w, s->h, 0, GL_RGBA, GL_UNSIGNED_BYTE, s->pixels);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    gl.glBindTexture(GL_TEXTURE_2D, 0);
    if (gl_error_pending()) {
        gl.glDeleteTextures(1, &tex);
        return 0;
    }
    return tex;
}

}  // namespace

std::string text_cache_key(const std::string& text, int size, uint32_t rgba, bool bold) {
    std::string key;
    append_key(key, text, size, rgba, bold);
    return key;
}

TextTexture render_text(TextSystem& ts, const std::string& text, int size, uint32_t rgba, bool bold) {
    if (text.empty() || ts.regular_font_path.empty()) return {};
    // The key buffer keeps its capacity, so a hit allocates nothing.
    thread_local std::string key;
    append_key(key, text, size, rgba, bold);
    auto hit = ts.cache.find(key);
    if (hit != ts.cache.end()) return hit->second;
    if (ts.cache.size() > TEXT_CACHE_LIMIT) clear_text_cache(ts);

    TTF_Font* font = font_for(ts, size, bold);
    if (!font) return {};
    const std::string shaped = font_text(ts, text);
    const SDL_Color colour = {static_cast<Uint8>(rgba >> 24), static_cast<Uint8>(rgba >> 16),
                              static_cast<Uint8>(rgba >> 8), static_cast<Uint8>(rgba)};
    thread_local std::vector<GlyphRun> runs;
    TTF_Font* fallback = font_lacks_glyph(font, shaped) ? fallback_font_for(ts, size, bold) : nullptr;
    SDL_Surface* rendered = split_glyph_runs(font, fallback, shaped, runs)
                                ? render_glyph_runs(runs, colour)
                                : TTF_RenderUTF8_Blended(font, shaped.c_str(), colour);
    if (!rendered) return {};
    SDL_Surface* rgba_surface = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ABGR8888, 0);
    SDL_FreeSurface(rendered);
    if (!rgba_surface) return {};

    TextTexture result;
    result.texture = upload_rgba(rgba_surface);
    result.width = rgba_surface->w;
    result.height = rgba_surface->h;
    SDL_FreeSurface(rgba_surface);
    if (result.texture == 0) return {};  // never cached, so a later frame may try again
    ts.cache.emplace(key, result);
    return result;
}

int measure_text(TextSystem& ts, const std::string& text, int size, bool bold) {
    if (text.empty() || ts.regular_font_path.empty()) return 0;
    TTF_Font* font = font_for(ts, size, bold);
    if (!font) return 0;
    const std::string shaped = font_text(ts, text);
    thread_local std::vector<GlyphRun> runs;
    TTF_Font* fallback = font_lacks_glyph(font, shaped) ? fallback_font_for(ts, size, bold) : nullptr;
    if (split_glyph_runs(font, fallback, shaped, runs)) return measure_glyph_runs(runs);
    int w = 0;
    int h = 0;
    TTF_SizeUTF8(font, shaped.c_str(), &w, &h);
    return w;
}

int line_skip(TextSystem& ts, int size, bool bold) {
    TTF_Font* font = font_for(ts, size, bold);
    return font ? TTF_FontLineSkip(font) : size;
}

void clear_text_cache(TextSystem& ts) {
    // A language switch or a full cache happens in the middle of a frame whose
    // batch already names these textures: deleting them now would draw that
    // frame's earlier labels as empty boxes, or as the new texts that reuse the names.
    for (auto& entry : ts.cache)
        if (entry.second.texture != 0) ts.retired_textures.push_back(entry.second.texture);
    ts.cache.clear();
}

void text_end_frame(TextSystem& ts) {
    if (ts.retired_textures.empty()) return;
    gl.glDeleteTextures(static_cast<GLsizei>(ts.retired_textures.size()), ts.retired_textures.data());
    ts.retired_textures.clear();
}

void text_set_language(TextSystem& ts, uint8_t language) {
    if (fonts_serve(ts, language)) return;
    clear_text_cache(ts);
    switch_fonts(ts, language);
}

void text_shutdown(TextSystem& ts) {
    clear_text_cache(ts);
    text_end_frame(ts);
    release_fonts(ts);
}
