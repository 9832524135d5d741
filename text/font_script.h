// Scripts that SDL2_ttf shapes itself. An SDL2_ttf built with HarfBuzz forms
// Devanagari conjuncts and places the vowel sign I once it is told the
// script; older libraries lack the call, so it is looked up at run time and
// the program's own reordering stays the path whenever it is missing or
// refused. Measuring and rendering both go through font_text so they agree.
#pragma once
#include <string>

#include "text/text_system.h"

// Signature of SDL2_ttf's TTF_SetFontScriptName (0 on success).
using FontScriptFn = int (*)(TTF_Font*, const char*);

// The library's script call, found once by name; null when it has none.
FontScriptFn font_script_function();
// Replaces the looked-up call (tests stand in an old or HarfBuzz-less library);
// restore_font_script_function brings back the real lookup.
void override_font_script_function(FontScriptFn fn);
void restore_font_script_function();

// Called for every font handle of the language as it opens. The first one
// decides for the language (ts.font_shapes_script); later ones get the same script.
void apply_font_script(TextSystem& ts, TTF_Font* font);

// The string handed to SDL2_ttf for a logical text: as it is when the font
// shapes the script itself, otherwise shape_text's visual form.
std::string font_text(const TextSystem& ts, const std::string& text);
