// Reading a UI batch back the way the screen would show it: which colour
// ends up on top at a point, and where the vertices of one colour lie.
#pragma once
#include <algorithm>
#include <cmath>

#include "render/ui_batch.h"
#include "render/ui_types.h"

struct Box {
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    bool empty() const { return x0 > x1; }
};

inline bool same_colour(const UiVertex& v, const UiColor& c) {
    const float e = 1e-5f;
    return std::abs(v.r - c.r) < e && std::abs(v.g - c.g) < e && std::abs(v.b - c.b) < e &&
           std::abs(v.a - c.a) < e;
}

inline float edge(const UiVertex& a, const UiVertex& b, float px, float py) {
    return (b.x - a.x) * (py - a.y) - (b.y - a.y) * (px - a.x);
}

// The first vertex of the last untextured triangle that covers (px, py), or null.
inline const UiVertex* top_at(const UiContext& ui, float px, float py) {
    const UiVertex* hit = nullptr;
    for (const UiDrawCmd& d : ui.draws) {
        if (d.texture != 0) continue;
        for (uint32_t i = d.first; i + 3 <= d.first + d.count; i += 3) {
            const UiVertex* t = &ui.vertices[i];
            const float e0 = edge(t[0], t[1], px, py), e1 = edge(t[1], t[2], px, py),
                        e2 = edge(t[2], t[0], px, py);
            const bool area = edge(t[0], t[1], t[2].x, t[2].y) != 0.0f;
            if (area && ((e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0)))
                hit = t;
        }
    }
    return hit;
}

// Bounds of every vertex drawn in colour c.
inline Box bounds_of(const UiContext& ui, const UiColor& c) {
    Box b;
    for (const UiVertex& v : ui.vertices) {
        if (!same_colour(v, c)) continue;
        b.x0 = std::min(b.x0, v.x), b.y0 = std::min(b.y0, v.y);
        b.x1 = std::max(b.x1, v.x), b.y1 = std::max(b.y1, v.y);
    }
    return b;
}

inline void new_frame(UiContext& ui, float mx = -100, float my = -100, bool down = false,
                      bool pressed = false, bool released = false) {
    UiInput in;
    in.mouse_x = mx, in.mouse_y = my, in.down = down, in.pressed = pressed, in.released = released;
    ui_begin_frame(ui, 960, 600, in);
}
