// Immediate-mode widgets: plain shapes, text placement, buttons, check boxes,
// the progress bar and the page heading. Every shape goes through ui_quad or
// ui_triangle, so the batch sees nothing but untextured runs and text quads.
#include "ui/widgets.h"

#include <algorithm>
#include <cmath>

#include "text/text_render.h"
#include "text/text_system.h"
#include "ui/palette.h"

namespace {

// Corner angles of a rounded rectangle, as single-precision values.
constexpr double PI_D = 3.14159265358979323846;
constexpr float ANGLE_LEFT = static_cast<float>(PI_D);
constexpr float ANGLE_UP = static_cast<float>(PI_D * 1.5);
constexpr float ANGLE_FULL = static_cast<float>(PI_D * 2.0);
constexpr float ANGLE_DOWN = static_cast<float>(PI_D * 0.5);
constexpr int CORNER_SEGMENTS = 6;

constexpr float BUTTON_RADIUS = 6.0f;
constexpr float BUTTON_SHADOW_OFFSET = 2.0f;
constexpr float BUTTON_BORDER = 1.5f;
constexpr float BUTTON_LABEL_INSET = 8.0f;
constexpr int MIN_FITTED_SIZE = 10;
constexpr float PROGRESS_RADIUS = 4.0f;
constexpr float PROGRESS_BORDER = 1.0f;
constexpr float HEADING_SIZE = 28.0f;

uint32_t pack_channel(float ch) {
    if (ch <= 0.0f) return 0;
    if (ch >= 1.0f) return 255;
    return static_cast<uint32_t>(ch * 255.0f + 0.5f);
}

// Both from one evaluation; glibc's sincosf matches sinf and cosf bit for bit.
void sin_cos(float a, float* s, float* c) {
#if defined(__GLIBC__)
    sincosf(a, s, c);
#else
    *s = std::sin(a);
    *c = std::cos(a);
#endif
}

UiColor shade(const UiColor& c, bool hot, bool held) {
    if (hot) return mix_towards(c, 1.0f, HOT_LIGHTEN);
    if (held) return mix_towards(c, 0.0f, HELD_DARKEN);
    return c;
}

bool is_bold(Weight weight) { return weight == Weight::Bold; }

}  // namespace

// [SECTION] Shapes

uint32_t ui_pack_color(const UiColor& c) {
    return (pack_channel(c.r) << 24) | (pack_channel(c.g) << 16) | (pack_channel(c.b) << 8) | pack_channel(c.a);
}

void ui_fill_rect(UiContext& ui, const UiRect& r, const UiColor& c) {
    if (r.w > 0.0f && r.h > 0.0f) ui_quad(ui, r.x, r.y, r.x + r.w, r.y + r.h, 0, 0, 0, 0, c, 0);
}

void ui_image(UiContext& ui, const UiRect& r, uint32_t texture, const UiColor& tint) {
    if (texture != 0) ui_quad(ui, r.x, r.y, r.x + r.w, r.y + r.h, 0, 0, 1, 1, tint, texture);
}

void ui_gradient_rect(UiContext& ui, const UiRect& r, const UiColor& top, const UiColor& bottom) {
    if (!(r.w > 0.0f && r.h > 0.0f)) return;
    const float x1 = r.x + r.w, y1 = r.y + r.h;
    ui_push_draw(ui, 0, 6);
    ui_push_vertex(ui, r.x, r.y, 0, 0, top);
    ui_push_vertex(ui, x1, r.y, 0, 0, top);
    ui_push_vertex(ui, x1, y1, 0, 0, bottom);
    ui_push_vertex(ui, r.x, r.y, 0, 0, top);
    ui_push_vertex(ui, x1, y1, 0, 0, bottom);
    ui_push_vertex(ui, r.x, y1, 0, 0, bottom);
}

void ui_outline(UiContext& ui, const UiRect& r, float t, const UiColor& c) {
    if (t <= 0.0f) return;
    if (r.w > 0.0f) {
        ui_quad(ui, r.x, r.y, r.x + r.w, r.y + t, 0, 0, 0, 0, c, 0);
        ui_quad(ui, r.x, r.y + r.h - t, r.x + r.w, r.y + r.h, 0, 0, 0, 0, c, 0);
    }
    if (r.h > 0.0f) {
        ui_quad(ui, r.x, r.y, r.x + t, r.y + r.h, 0, 0, 0, 0, c, 0);
        ui_quad(ui, r.x + r.w - t, r.y, r.x + r.w, r.y + r.h, 0, 0, 0, 0, c, 0);
    }
}

void ui_triangle(UiContext& ui, float x0, float y0, float x1, float y1, float x2, float y2, const UiColor& c) {
    ui_push_draw(ui, 0, 3);
    ui_push_vertex(ui, x0, y0, 0, 0, c);
    ui_push_vertex(ui, x1, y1, 0, 0, c);
    ui_push_vertex(ui, x2, y2, 0, 0, c);
}

void ui_fan(UiContext& ui, float cx, float cy, float radius, float start, float end, int segments, const UiColor& c) {
    if (segments <= 0) return;
    const float d = end - start;
    float s0 = 0.0f, c0 = 0.0f;
    sin_cos(start, &s0, &c0);
    for (int i = 1; i <= segments; ++i) {
        float s1 = 0.0f, c1 = 0.0f;
        sin_cos(start + (static_cast<float>(i) * d) / static_cast<float>(segments), &s1, &c1);
        ui_triangle(ui, cx, cy, cx + c0 * radius, cy + s0 * radius, cx + c1 * radius, cy + s1 * radius, c);
        s0 = s1;
        c0 = c1;
    }
}

void ui_round_rect(UiContext& ui, const UiRect& rc, float radius, const UiColor& c) {
    const float x = rc.x, y = rc.y, w = rc.w, h = rc.h;
    if (w <= 0.0f || h <= 0.0f) return;
    const float r = std::min(std::min(h, w) * 0.5f, radius);
    const float inner_w = w - 2.0f * r;
    const float inner_h = h - 2.0f * r;
    if (inner_w > 0.0f) ui_quad(ui, x + r, y, x + r + inner_w, y + h, 0, 0, 0, 0, c, 0);
    if (r > 0.0f && inner_h > 0.0f) {
        ui_quad(ui, x, y + r, x + r, y + r + inner_h, 0, 0, 0, 0, c, 0);
        ui_quad(ui, x + w - r, y + r, x + w, y + r + inner_h, 0, 0, 0, 0, c, 0);
    }
    ui_fan(ui, x + r, y + r, r, ANGLE_LEFT, ANGLE_UP, CORNER_SEGMENTS, c);
    ui_fan(ui, x + w - r, y + r, r, ANGLE_UP, ANGLE_FULL, CORNER_SEGMENTS, c);
    ui_fan(ui, x + w - r, y + h - r, r, 0.0f, ANGLE_DOWN, CORNER_SEGMENTS, c);
    ui_fan(ui, x + r, y + h - r, r, ANGLE_DOWN, ANGLE_LEFT, CORNER_SEGMENTS, c);
}

// [SECTION] Text

float ui_text(UiContext& ui, float x, float y, const std::string& text, int size, const UiColor& c, Align align,
              Weight weight) {
    if (!ui.text || text.empty()) return 0.0f;
    const TextTexture tex = render_text(*ui.text, text, size, ui_pack_color(c), is_bold(weight));
    if (tex.texture == 0) return 0.0f;
    const float w = static_cast<float>(tex.width);
    float left = x;
    if (align == Align::Centre) left = x - 0.5f * w;
    else if (align == Align::Right) left = x - w;
    ui_quad(ui, left, y, left + w, y + static_cast<float>(tex.height), 0, 0, 1, 1, COLOR_TEXT_TINT, tex.texture);
    return w;
}

float ui_text_in_rect(UiContext& ui, const UiRect& r, const std::string& text, int size, const UiColor& c, Align align,
                      float inset, Weight weight) {
    const float line = static_cast<float>(ui_line_height(ui, size, weight));
    const float top = r.y + r.h * 0.5f - line * 0.5f;
    float anchor = r.x + r.w * 0.5f;
    if (align == Align::Left) anchor = r.x + inset;
    else if (align == Align::Right) anchor = r.x + r.w - inset;
    return ui_text(ui, anchor, top, text, size, c, align, weight);
}

int ui_text_width(UiContext& ui, const std::string& text, int size, Weight weight) {
    return ui.text ? measure_text(*ui.text, text, size, is_bold(weight)) : 0;
}

int ui_line_height(UiContext& ui, int size, Weight weight) {
    return ui.text ? line_skip(*ui.text, size, is_bold(weight)) : size;
}

int ui_fit_font_size(UiContext& ui, const std::string& text, int size, float max_width, Weight weight) {
    if (size <= MIN_FITTED_SIZE) return size;
    for (;;) {
        if (static_cast<float>(ui_text_width(ui, text, size, weight)) <= max_width) return size;
        --size;
        if (size == MIN_FITTED_SIZE) return size;
    }
}

// [SECTION] Interactive widgets

bool ui_button(UiContext& ui, uint32_t id, const UiRect& r, const std::string& label, int size, WidgetFlags flags,
               Weight weight) {
    const bool enabled = (flags & WIDGET_DISABLED) == 0;
    const bool primary = (flags & WIDGET_PRIMARY) != 0;
    const UiInput& in = ui.input;
    bool clicked = in.released;
    bool hot = false, held = false;
    UiColor face;
    if (!enabled) {
        clicked = false;
        if (in.released && ui.active_id == id) ui.active_id = 0;
        face = COLOR_FACE_DISABLED;
    } else {
        const bool hover = in.mouse_x >= r.x && in.mouse_y >= r.y && r.x + r.w > in.mouse_x && r.y + r.h > in.mouse_y;
        if (hover && in.pressed) ui.active_id = id;
        if (ui.active_id == id) {
            held = in.down;
            hot = hover && !in.down;
            if (in.released) {
                clicked = hover;
                ui.active_id = 0;
            } else {
                clicked = false;
            }
        } else {
            held = false;
            hot = hover;
            clicked = false;
        }
        face = primary ? COLOR_FACE_PRIMARY : COLOR_FACE_NORMAL;
    }
    face = shade(face, hot, held);

    ui_round_rect(ui, {r.x, r.y + BUTTON_SHADOW_OFFSET, r.w, r.h}, BUTTON_RADIUS, COLOR_BUTTON_SHADOW);
    ui_round_rect(ui, r, BUTTON_RADIUS, face);
    ui_outline(ui, r, BUTTON_BORDER, primary ? COLOR_BORDER_PRIMARY : COLOR_BORDER_NORMAL);

    const UiColor label_colour = !enabled ? COLOR_LABEL_DISABLED : primary ? COLOR_LABEL_PRIMARY : COLOR_LABEL_NORMAL;
    const float room = r.w - 2.0f * BUTTON_LABEL_INSET;
    while (size > MIN_FITTED_SIZE && static_cast<float>(ui_text_width(ui, label, size, weight)) > room) --size;
    ui_text_in_rect(ui, r, label, size, label_colour, Align::Centre, BUTTON_LABEL_INSET, weight);
    return clicked;
}

bool ui_checkbox(UiContext& ui, uint32_t id, const UiRect& r, const std::string& label, bool checked, int size,
                 float scale, WidgetFlags flags) {
    // A check box is never disabled: only its style is passed on.
    const bool clicked = ui_button(ui, id, r, std::string(), size, flags & WIDGET_PRIMARY);
    const UiColor mark = (flags & WIDGET_PRIMARY) != 0 ? COLOR_MARK_PRIMARY : COLOR_MARK_NORMAL;
    const float b = 14.0f * scale;
    const UiRect box = {r.x + b, r.y + (r.h - b) * 0.5f, b, b};
    ui_outline(ui, box, 1.5f * scale, mark);
    if (checked) {
        const float inset = 3.0f * scale;
        ui_fill_rect(ui, {box.x + inset, box.y + inset, b - 6.0f * scale, b - 6.0f * scale}, mark);
    }
    ui_text_in_rect(ui, r, label, size, mark, Align::Left, 40.0f * scale);
    return clicked;
}

void ui_progress(UiContext& ui, const UiRect& r, float f, const UiColor& fill, const UiColor& track) {
    ui_round_rect(ui, r, PROGRESS_RADIUS, track);
    if (f > 0.0f) {
        const float fill_w = f < 1.0f ? std::min(std::max(f * r.w, r.h), r.w) : r.w;
        ui_round_rect(ui, {r.x, r.y, fill_w, r.h}, PROGRESS_RADIUS, fill);
    }
    ui_outline(ui, r, PROGRESS_BORDER, COLOR_PROGRESS_FRAME);
}

void ui_heading(UiContext& ui, const UiRect& content, float scale, const char* text, const UiColor& c) {
    const std::string s = text ? text : "";
    const int size = static_cast<int>(HEADING_SIZE * scale);
    const int fitted = ui_fit_font_size(ui, s, size, content.w);
    ui_text(ui, content.x, content.y, s, fitted, c);
}
