// Paragraph wrapping with the machine's real fonts, per writing system: any
// text at any width and size; every line is non-empty and no wider than the
// width unless it is a single unbreakable piece.
#include <cstdlib>

#include "i18n/languages.h"
#include "render/ui_batch.h"
#include "tests/fuzz/fuzz_input.h"
#include "text/paragraph.h"
#include "text/text_render.h"

namespace {

constexpr uint8_t SCRIPTS[] = {0, 12, 13, 10, 11, 7};  // en, ar, hi, zh, ja, ru

TextSystem* text_for(uint8_t choice) {
    // Never destroyed, so the fonts they keep open stay reachable to the end.
    static TextSystem* const systems = new TextSystem[sizeof SCRIPTS];
    static bool ready[sizeof SCRIPTS];
    const size_t i = choice % sizeof SCRIPTS;
    if (!ready[i]) {
        text_init(systems[i], nullptr);
        text_set_language(systems[i], SCRIPTS[i]);
        ready[i] = true;
    }
    return &systems[i];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in{data, size};
    UiContext ui;
    ui.text = text_for(in.byte());
    const int max_width = in.byte() * 4;
    const int font_size = 6 + in.byte() % 40;
    const std::string text = in.rest();
    if (text.size() > 2048) return 0;  // longer texts only repeat what shorter ones reach
    for (const std::string& line : wrap_text(ui, text, max_width, font_size)) {
        if (line.empty()) std::abort();
        if (measure_text(*ui.text, line, font_size, false) > max_width && wrap_pieces(line).size() > 1)
            std::abort();
    }
    return 0;
}
