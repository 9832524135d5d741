// Paragraph layout: breaks a text into lines that fit a width (at spaces,
// and between any two ideographs or kana) and draws them line under line.
#pragma once
#include <string>
#include <vector>

#include "render/ui_batch.h"

struct WrapPiece {
    std::string text;   // a word or one ideograph; never empty
    bool space_before;  // a separator stood before it
};

// The unbreakable pieces of `text`: words split at spaces and line feeds, and
// every kana, CJK ideograph, Hangul syllable or full-width form on its own.
std::vector<WrapPiece> wrap_pieces(const std::string& text);
// Lines of `text` at `size` (regular weight) no wider than max_width, unless
// one piece alone is wider. Separators never appear in a line.
std::vector<std::string> wrap_text(UiContext& ui, const std::string& text, int max_width, int size);
// wrap_text's lines, remembered by the text system until its fonts change
// (computed afresh without one): a paragraph drawn every frame is measured
// once. The reference stays valid until the next call.
const std::vector<std::string>& wrapped_lines(UiContext& ui, const std::string& text,
                                              int max_width, int size);
// Draws the wrapped lines left-aligned at x from top y, line_step apart;
// returns y + lines * line_step.
float draw_paragraph(UiContext& ui, float x, float y, const std::string& text, float max_width,
                     int size, float line_step, const UiColor& colour);
