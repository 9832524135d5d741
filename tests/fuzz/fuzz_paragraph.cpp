// Paragraph wrapping with the machine's real fonts, per writing system: any text at any width and size; every line
// is non-empty and no wider than the width unless it is a single unbreakable piece.
#include <cstdlib>

#include "i18n/languages.h"
#include "tests/fuzz/fuzz_input.h"
#include "text/paragraph.h"
#include "text/text_render.h"

// A language of each writing system.
static const uint8_t SCRIPTS[] = {match_language_code("en"), match_language_code("ar"), match_language_code("hi"),
                                  match_language_code("zh"), match_language_code("ja"), match_language_code("ru")};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in{data, size};
    const size_t script = in.byte() % sizeof SCRIPTS;
    static TextSystem* systems[sizeof SCRIPTS];  // never destroyed, so their open fonts stay reachable to the end
    if (!systems[script]) {
        systems[script] = new TextSystem;
        text_init(*systems[script], nullptr, SCRIPTS[script]);
    }
    TextSystem& ts = *systems[script];
    const int width = in.byte() * 4;
    const int font_size = 6 + in.byte() % 40;
    const std::string text = in.rest();
    if (text.size() > 2048) return 0;  // longer texts only repeat what shorter ones reach
    const MeasureText measure = [&](const std::string& t) { return measure_text(ts, t, font_size, false); };
    for (const std::string& line : wrap_text(text, width, measure, font_size)) {
        if (line.empty() || (measure(line) > width && wrap_pieces(line).size() > 1)) std::abort();
    }
    return 0;
}
