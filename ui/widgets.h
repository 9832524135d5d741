// Immediate-mode widgets: each call appends triangles to the UiContext batch
// and, for the interactive ones, reads the frame's mouse input and answers
// whether it was clicked. The only widget state is UiContext::active_id.
// Pixel constants inside the widgets (radii, borders, shadows) are absolute;
// callers scale rectangles and sizes. Alignment: 0 left, 1 centre, 2 right.
#pragma once
#include <cstdint>
#include <string>

#include "render/ui_batch.h"

// Packs a colour as 0xRRGGBBAA (channel <= 0 gives 0, >= 1 gives 255, else c*255+0.5).
uint32_t ui_pack_color(const UiColor& c);

void ui_fill_rect(UiContext& ui, const UiRect& r, const UiColor& c);
void ui_image(UiContext& ui, const UiRect& r, uint32_t texture, const UiColor& tint);
void ui_gradient_rect(UiContext& ui, const UiRect& r, const UiColor& top, const UiColor& bottom);
void ui_outline(UiContext& ui, const UiRect& r, float thickness, const UiColor& c);
void ui_triangle(UiContext& ui, float x0, float y0, float x1, float y1, float x2, float y2,
                 const UiColor& c);
void ui_fan(UiContext& ui, float cx, float cy, float radius, float start, float end, int segments,
            const UiColor& c);
void ui_round_rect(UiContext& ui, const UiRect& r, float radius, const UiColor& c);

// Draws text with its bitmap's top at y; returns the width drawn.
float ui_text(UiContext& ui, float x, float y, const std::string& text, int size,
              const UiColor& c, int align, bool bold);
// Text centred vertically in r by line height; inset from the edge when left or right aligned.
float ui_text_in_rect(UiContext& ui, const UiRect& r, const std::string& text, int size,
                      const UiColor& c, int align, float inset, bool bold);

bool ui_button(UiContext& ui, uint32_t id, const UiRect& r, const std::string& label, bool enabled,
               bool primary, int size, bool bold);
bool ui_checkbox(UiContext& ui, uint32_t id, const UiRect& r, const std::string& label,
                 bool checked, bool primary, int size, float scale);
void ui_progress(UiContext& ui, const UiRect& r, float fraction, const UiColor& fill,
                 const UiColor& track);
// Page heading at the content rectangle's top-left, at 28*scale shrunk to fit its width.
void ui_heading(UiContext& ui, const UiRect& content, float scale, const char* text,
                const UiColor& c);

int ui_text_width(UiContext& ui, const std::string& text, int size, bool bold);
int ui_line_height(UiContext& ui, int size, bool bold);
// Largest size <= size whose text fits max_width, never below 10; sizes below 11 unchanged.
int ui_fit_font_size(UiContext& ui, const std::string& text, int size, float max_width, bool bold);
