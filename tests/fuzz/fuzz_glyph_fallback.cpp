// The glyph-fallback splitter with the Hindi font (no Latin letters) and the default fallback: any shaped text is
// cut into runs that hold every byte of it in order, or left whole.
#include <cstdlib>

#include "i18n/languages.h"
#include "tests/fuzz/fuzz_input.h"
#include "text/glyph_fallback.h"
#include "text/shaping.h"
#include "text/text_render.h"

// A text system started in Hindi, never destroyed, so the fonts it keeps open stay reachable to the end.
static TextSystem& hindi_text_system() {
    static TextSystem* ts = [] {
        auto* hindi = new TextSystem;
        text_init(*hindi, nullptr, match_language_code("hi"));
        return hindi;
    }();
    return *ts;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TextSystem& ts = hindi_text_system();
    FuzzInput in{data, size};
    const int font_size = 8 + in.byte() % 32;
    const std::string shaped = shape_text(in.rest(), ts.shaping);
    static std::vector<GlyphRun> runs;
    if (!split_glyph_runs(font_for(ts, font_size, false), fallback_font_for(ts, font_size, false), shaped, runs)) {
        if (!runs.empty()) std::abort();
        return 0;
    }
    std::string joined;
    for (const GlyphRun& run : runs) {
        if (run.text.empty() || !run.font) std::abort();
        joined += run.text;
    }
    if (joined != shaped) std::abort();
    measure_glyph_runs(runs);
    if (shaped.size() < 64) SDL_FreeSurface(render_glyph_runs(runs, {255, 255, 255, 255}));
    return 0;
}
