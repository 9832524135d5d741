// Paragraphs on screen: text/paragraph.h's lines, measured as the widgets
// draw them (regular weight), remembered while the fonts stay the same, and
// drawn left-aligned line under line.
#pragma once
#include <string>
#include <vector>

#include "render/ui_batch.h"
#include "text/measure.h"

// Width of a text at `size`, regular weight, as ui_text draws it (0 without a text system).
MeasureText paragraph_measure(UiContext& ui, int size);
// wrap_text's lines at `size`, remembered by the text system until its fonts
// change (computed afresh without one): a paragraph drawn every frame is
// measured once. The reference stays valid until the next call.
const std::vector<std::string>& wrapped_lines(UiContext& ui, const std::string& text, int max_width, int size);
// Draws the wrapped lines left-aligned at x from top y, line_step apart;
// returns y + lines * line_step.
float draw_paragraph(UiContext& ui, float x, float y, const std::string& text, float max_width, int size,
                     float line_step, const UiColor& colour);
