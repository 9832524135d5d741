// Immediate-mode widgets: each call appends triangles to the UiContext batch
// and, for the interactive ones, reads the frame's mouse input and answers
// whether it was clicked. The only widget state is UiContext::active_id.
// Pixel constants inside the widgets (radii, borders, shadows) are absolute;
// callers scale rectangles and sizes. Colours come from ui/palette.h.
#pragma once
#include <cstdint>
#include <string>

#include "render/ui_batch.h"

// Where a text stands against its anchor x: starting there, centred on it, or ending there.
enum class Align : int32_t { Left, Centre, Right };
// The face of the font set a text is drawn and measured in.
enum class Weight : int32_t { Regular, Bold };

// Style flags of buttons and check boxes (none: a normal, enabled button).
using WidgetFlags = uint32_t;
constexpr WidgetFlags WIDGET_PRIMARY = 1u << 0;   // the page's main action, in the accent face
constexpr WidgetFlags WIDGET_DISABLED = 1u << 1;  // greyed, takes no press; a check box is never disabled

// Packs a colour as 0xRRGGBBAA (channel <= 0 gives 0, >= 1 gives 255, else c*255+0.5).
uint32_t ui_pack_color(const UiColor& c);

void ui_fill_rect(UiContext& ui, const UiRect& r, const UiColor& c);
void ui_image(UiContext& ui, const UiRect& r, uint32_t texture, const UiColor& tint);
void ui_gradient_rect(UiContext& ui, const UiRect& r, const UiColor& top, const UiColor& bottom);
void ui_outline(UiContext& ui, const UiRect& r, float thickness, const UiColor& c);
void ui_triangle(UiContext& ui, float x0, float y0, float x1, float y1, float x2, float y2, const UiColor& c);
void ui_fan(UiContext& ui, float cx, float cy, float radius, float start, float end, int segments, const UiColor& c);
void ui_round_rect(UiContext& ui, const UiRect& r, float radius, const UiColor& c);

// Draws text with its bitmap's top at y, aligned against x; returns the width drawn.
float ui_text(UiContext& ui, float x, float y, const std::string& text, int size, const UiColor& c,
              Align align = Align::Left, Weight weight = Weight::Regular);
// Text centred vertically in r by line height; inset from the edge when left or right aligned.
float ui_text_in_rect(UiContext& ui, const UiRect& r, const std::string& text, int size, const UiColor& c, Align align,
                      float inset, Weight weight = Weight::Regular);

// A button with its label centred, shrunk to fit; true when clicked this frame.
bool ui_button(UiContext& ui, uint32_t id, const UiRect& r, const std::string& label, int size, WidgetFlags flags = 0,
               Weight weight = Weight::Regular);
// The whole row is a button; the box and its mark scale with `scale`. The
// caller toggles its own flag when this returns true.
bool ui_checkbox(UiContext& ui, uint32_t id, const UiRect& r, const std::string& label, bool checked, int size,
                 float scale, WidgetFlags flags = 0);
void ui_progress(UiContext& ui, const UiRect& r, float fraction, const UiColor& fill, const UiColor& track);
// Page heading at the content rectangle's top-left, at 28*scale shrunk to fit its width.
void ui_heading(UiContext& ui, const UiRect& content, float scale, const char* text, const UiColor& c);

int ui_text_width(UiContext& ui, const std::string& text, int size, Weight weight = Weight::Regular);
int ui_line_height(UiContext& ui, int size, Weight weight = Weight::Regular);
// Largest size <= size whose text fits max_width, never below 10; sizes below 11 unchanged.
int ui_fit_font_size(UiContext& ui, const std::string& text, int size, float max_width,
                     Weight weight = Weight::Regular);
