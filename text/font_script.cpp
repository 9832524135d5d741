// Scripts that SDL2_ttf shapes itself: run-time lookup of the script call and
// the choice between the font's shaping and the program's own.
#include "text/font_script.h"

#include <SDL.h>

#include "platform/platform.h"
#include "text/shaping.h"

namespace {

bool g_looked_up = false;
bool g_overridden = false;
FontScriptFn g_function = nullptr;

// The program is linked against the library, so loading it by name only
// returns the copy already in the process; the handle is kept for its life.
FontScriptFn look_up() {
    void* library = SDL_LoadObject(font_library_name());
    if (!library) return nullptr;
    return reinterpret_cast<FontScriptFn>(SDL_LoadFunction(library, "TTF_SetFontScriptName"));
}

}  // namespace

FontScriptFn font_script_function() {
    if (g_overridden) return g_function;
    if (!g_looked_up) {
        g_looked_up = true;
        g_function = look_up();
    }
    return g_function;
}

void override_font_script_function(FontScriptFn fn) {
    g_overridden = true;
    g_function = fn;
}

void restore_font_script_function() {
    g_overridden = false;
    g_looked_up = false;
    g_function = nullptr;
}

void apply_font_script(TextSystem& ts, TTF_Font* font) {
    if (!font || ts.shaping != ShapingMode::Devanagari) return;
    if (ts.font_script_decided && !ts.font_shapes_script) return;
    FontScriptFn set_script = font_script_function();
    const bool accepted = set_script && set_script(font, "Deva") == 0;
    if (!ts.font_script_decided) {
        ts.font_script_decided = true;
        ts.font_shapes_script = accepted;
    }
}

std::string font_text(const TextSystem& ts, const std::string& text) {
    return ts.font_shapes_script ? text : shape_text(text, ts.shaping);
}
