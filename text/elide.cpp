// Middle elision of paths: see elide.h.
#include "text/elide.h"

#include <vector>

#include "text/utf8.h"

namespace {

struct Cuts {
    std::vector<size_t> head_ends;    // ascending: where a kept head may end
    std::vector<size_t> tail_starts;  // ascending: where a kept tail may start
};

bool is_separator(char c) { return c == '/' || c == '\\'; }

// Pieces: a head ends after a separator and a tail starts at one, so the
// ellipsis stands between two separators. Characters: both at the start of
// every character after the first.
Cuts cut_points(const std::string& text, bool pieces) {
    Cuts cuts;
    if (pieces) {
        for (size_t i = 1; i < text.size(); ++i) {
            if (is_separator(text[i - 1])) cuts.head_ends.push_back(i);
            if (is_separator(text[i])) cuts.tail_starts.push_back(i);
        }
        return cuts;
    }
    for (size_t i = 0; i < text.size();) {
        i += utf8_decode(text, i).length;
        if (i == text.size()) break;
        cuts.head_ends.push_back(i);
        cuts.tail_starts.push_back(i);
    }
    return cuts;
}

// Grows a tail and a head, one cut at a time, the tail first, while the
// result fits and something stays elided; empty when the shortest does not fit.
std::string grow(const std::string& path, const Cuts& cuts, int max_width, const MeasureText& measure) {
    if (cuts.head_ends.empty() || cuts.tail_starts.empty()) return {};
    size_t h = 0, t = cuts.tail_starts.size() - 1;
    const auto build = [&](size_t head, size_t tail) {
        return path.substr(0, cuts.head_ends[head]) + ELLIPSIS + path.substr(cuts.tail_starts[tail]);
    };
    const auto fits = [&](size_t head, size_t tail) {
        return cuts.head_ends[head] < cuts.tail_starts[tail] && measure(build(head, tail)) <= max_width;
    };
    if (!fits(h, t)) return {};
    for (bool grew = true; grew;) {
        grew = false;
        if (t > 0 && fits(h, t - 1)) --t, grew = true;
        if (h + 1 < cuts.head_ends.size() && fits(h + 1, t)) ++h, grew = true;
    }
    return build(h, t);
}

}  // namespace

std::string elide_path_middle(const std::string& path, int max_width, const MeasureText& measure) {
    if (measure(path) <= max_width) return path;
    std::string fitted = grow(path, cut_points(path, true), max_width, measure);
    if (fitted.empty()) fitted = grow(path, cut_points(path, false), max_width, measure);
    return fitted.empty() ? std::string(ELLIPSIS) : fitted;
}
