// Drives the wizard one frame at a time at 960 x 600 (scale 1) with synthetic
// mouse input, the way the shell would, but without a window or GL context
// unless a test brings its own.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/setup_state.h"
#include "app/wizard.h"
#include "render/ui_batch.h"

struct SDL_Window;

// Button centres of the bottom row at scale 1 on a 960 x 600 drawable.
constexpr float BACK_X = 348, CANCEL_X = 710, PRIMARY_X = 862, BUTTON_Y = 559;

struct WizardHarness {
    SetupState state;
    UiContext ui;
    TextSystem* text = nullptr;   // handed to the pages (language button)
    SDL_Window* window = nullptr;
    bool running = true;
    bool ended = false;  // the last frame asked to end at once
    bool work = true;    // run the installation work before drawing

    // One frame: the installation work, then the drawing with this input.
    bool frame(float x, float y, bool pressed, bool released, bool down, float wheel = 0) {
        UiInput input;
        input.mouse_x = x;
        input.mouse_y = y;
        input.pressed = pressed;
        input.released = released;
        input.down = down;
        if (work) run_install_work(state);
        ui_begin_frame(ui, 960, 600, input);
        running = true;
        ended = draw_frame(state, ui, text, window, wheel, 1.0f, 960, 600, running);
        return ended;
    }
    void idle(float x = 0, float y = 0, float wheel = 0) {
        frame(x, y, false, false, false, wheel);
    }
    // Press in one frame, release in the next, both at (x, y).
    bool click(float x, float y) {
        frame(x, y, true, false, true);
        return frame(x, y, false, true, false);
    }
    WizardLayout layout() { return wizard_layout(ui, 1.0f, 960, 600); }
};

inline bool same_colour(const UiVertex& v, const UiColor& c) {
    return std::abs(v.r - c.r) < 1e-4f && std::abs(v.g - c.g) < 1e-4f &&
           std::abs(v.b - c.b) < 1e-4f && std::abs(v.a - c.a) < 1e-4f;
}

// Whether the batch holds an untextured quad covering exactly `r` in colour `c`.
inline bool batch_has_rect(const UiContext& ui, const UiRect& r, const UiColor& c) {
    for (size_t i = 0; i + 5 < ui.vertices.size(); i += 1) {
        const UiVertex& a = ui.vertices[i];
        const UiVertex& b = ui.vertices[i + 2];
        if (same_colour(a, c) && std::abs(a.x - r.x) < 0.01f && std::abs(a.y - r.y) < 0.01f &&
            std::abs(b.x - (r.x + r.w)) < 0.01f && std::abs(b.y - (r.y + r.h)) < 0.01f)
            return true;
    }
    return false;
}
