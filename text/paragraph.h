// Paragraph layout: breaks a text into lines that fit a width, at spaces and
// between any two ideographs or kana. Widths come from the caller's measuring
// function, so layout knows nothing of fonts or drawing (ui/paragraph.h
// measures with the text system and draws the lines).
#pragma once
#include <string>
#include <vector>

#include "text/measure.h"

struct WrapPiece {
    std::string text;   // a word or one ideograph; never empty
    bool space_before;  // a separator stood before it
};

// The unbreakable pieces of `text`: words split at spaces and line feeds, and
// every kana, CJK ideograph, Hangul syllable or full-width form on its own.
std::vector<WrapPiece> wrap_pieces(const std::string& text);
// Lines of `text` no wider than max_width as `measure` measures them, unless
// one piece alone is wider. Separators never appear in a line. `size` is the
// font size `measure` draws at: it bounds how far a joined line's width may
// stray from the widths of its pieces, which spares measuring most
// candidate lines whole.
std::vector<std::string> wrap_text(const std::string& text, int max_width, const MeasureText& measure, int size);
