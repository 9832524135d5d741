// Paragraphs on screen: wrapping measured through the widgets, a cache of
// wrapped lines kept in the text system, and one text quad per line.
#include "ui/paragraph.h"

#include "text/paragraph.h"
#include "text/text_system.h"
#include "ui/widgets.h"

namespace {
// Enough for every paragraph of every page at once; ever-changing texts
// (a typed folder) cannot grow it without bound.
constexpr size_t WRAP_CACHE_LIMIT = 256;
}  // namespace

MeasureText paragraph_measure(UiContext& ui, int size) {
    return [&ui, size](const std::string& text) { return ui_text_width(ui, text, size); };
}

const std::vector<std::string>& wrapped_lines(UiContext& ui, const std::string& text, int max_width, int size) {
    if (!ui.text) {
        thread_local std::vector<std::string> lines;
        lines = wrap_text(text, max_width, paragraph_measure(ui, size), size);
        return lines;
    }
    thread_local std::string key;
    key.clear();
    key += std::to_string(size);
    key += '|';
    key += std::to_string(max_width);
    key += '|';
    key += text;
    auto& cache = ui.text->wrap_cache;
    auto hit = cache.find(key);
    if (hit != cache.end()) return hit->second;
    if (cache.size() >= WRAP_CACHE_LIMIT) cache.clear();
    return cache.emplace(key, wrap_text(text, max_width, paragraph_measure(ui, size), size)).first->second;
}

float draw_paragraph(UiContext& ui, float x, float y, const std::string& text, float max_width, int size,
                     float line_step, const UiColor& colour) {
    float cy = y;
    for (const std::string& line : wrapped_lines(ui, text, static_cast<int>(max_width), size)) {
        ui_text(ui, x, cy, line, size, colour);
        cy += line_step;
    }
    return cy;
}
