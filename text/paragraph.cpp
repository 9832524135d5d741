// Paragraph layout: words and single ideographs become unbreakable pieces,
// then lines are filled greedily, breaking where measuring each whole
// candidate (shaping, kerning and all, as drawn) would break it. Only
// candidates near the limit are measured whole: the others are judged by the
// widths of their pieces, each measured once, summed, and a finished line
// judged by sums is measured whole once to prove it fits. Measuring every
// candidate whole costs glyph work that grows with the square of the words.
#include "text/paragraph.h"

#include <string>
#include <unordered_map>

#include "text/utf8.h"

namespace {

// Scripts written without spaces between words: any two of these may break.
bool breaks_anywhere(uint32_t c) {
    return (c >= 0x3040 && c <= 0x30FF) || (c >= 0x3400 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF);
}

}  // namespace

std::vector<WrapPiece> wrap_pieces(const std::string& text) {
    std::vector<WrapPiece> pieces;
    WrapPiece word{std::string(), false};
    bool pending = false;
    auto flush = [&]() {
        if (!word.text.empty()) pieces.push_back(word);
        word.text.clear();
    };
    size_t pos = 0;
    while (pos < text.size()) {
        const Utf8Char c = utf8_decode(text, pos);
        const uint32_t code = c.code;
        const size_t len = c.length;
        if (code == 0x20 || code == 0x0A) {
            flush();
            pending = true;
        } else if (breaks_anywhere(code)) {
            flush();
            pieces.push_back(WrapPiece{text.substr(pos, len), pending});
            pending = false;
        } else {
            if (word.text.empty()) {
                word.space_before = pending;
                pending = false;
            }
            word.text.append(text, pos, len);
        }
        pos += len;
    }
    flush();
    return pieces;
}

namespace {

// How far a whole line's width may lie from the widths of its pieces summed,
// per joint: kerning across the joint, ink hanging out of either side of a
// piece, rounding and the fallback font's own space are each a fraction of
// the size. For real text, a candidate judged by sums only when it clears the
// limit by more than this breaks where measuring it whole would break it.
int joint_tolerance(int size) { return size + 2; }

// Widths of one wrapping's pieces and separator, each measured once:
// ideographs and words recur.
struct PieceWidths {
    const MeasureText& measure;
    int size;
    int space = -1;
    std::unordered_map<std::string, int> known;

    int of(const std::string& piece) {
        auto it = known.find(piece);
        if (it == known.end()) it = known.emplace(piece, measure(piece)).first;
        return it->second;
    }
    int separator() {
        if (space < 0) space = measure(" ");
        return space;
    }
};

// Fills `line` greedily from pieces[first] and returns the index after its
// last piece. `exact` measures every candidate whole; otherwise the line's
// width is `measured` (its last whole measurement, or its first piece) plus
// `added`, the summed widths of the `joints` pieces joined since, and only
// candidates within the tolerance of the limit are measured whole.
// `measured_whole` tells whether the line's width as it ends was measured.
size_t fill_line(const std::vector<WrapPiece>& pieces, size_t first, int max_width, PieceWidths& widths, bool exact,
                 std::string& line, bool& measured_whole) {
    line = pieces[first].text;
    int measured = widths.of(line), added = 0, joints = 0;
    measured_whole = true;  // a lone piece is a line at any width
    size_t i = first + 1;
    for (; i < pieces.size(); ++i) {
        const WrapPiece& piece = pieces[i];
        std::string candidate = line;
        if (piece.space_before) candidate += ' ';
        candidate += piece.text;
        if (!exact) {
            const int step = (piece.space_before ? widths.separator() : 0) + widths.of(piece.text);
            const int sum = measured + added + step;
            const int slack = (joints + 1) * joint_tolerance(widths.size);
            if (sum - slack > max_width) break;
            if (sum + slack <= max_width) {
                line = std::move(candidate);
                added += step, joints += 1;
                measured_whole = false;
                continue;
            }
        }
        const int whole = widths.measure(candidate);
        if (whole > max_width) break;
        line = std::move(candidate);
        measured = whole, added = 0, joints = 0;
        measured_whole = true;
    }
    return i;
}

}  // namespace

std::vector<std::string> wrap_text(const std::string& text, int max_width, const MeasureText& measure, int size) {
    const std::vector<WrapPiece> pieces = wrap_pieces(text);
    PieceWidths widths{measure, size, -1, {}};
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < pieces.size();) {
        bool measured_whole = false;
        size_t next = fill_line(pieces, i, max_width, widths, false, line, measured_whole);
        // Pieces that shape differently once joined (malformed UTF-8 across
        // a joint) can make the sums wrong: such a line is filled again,
        // measuring every candidate whole.
        if (!measured_whole && measure(line) > max_width)
            next = fill_line(pieces, i, max_width, widths, true, line, measured_whole);
        lines.push_back(std::move(line));
        i = next;
    }
    return lines;
}
