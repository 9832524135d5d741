// Shapes, buttons and check boxes drawn headless (no text system) under synthetic mouse input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ui/palette.h"
#include "ui/widgets.h"

namespace {

using Box = std::vector<float>;  // x0, y0, x1, y1

constexpr UiColor RED = {1, 0, 0, 1};
constexpr UiColor HALF_BLUE = {0, 0, 1, 0.5f};
constexpr UiColor FACE = COLOR_FACE_NORMAL;
constexpr UiColor HOT = mix_towards(FACE, 1, HOT_LIGHTEN);
constexpr UiColor HELD = mix_towards(FACE, 0, HELD_DARKEN);
constexpr UiColor MARK = COLOR_MARK_NORMAL;

// The mouse of a frame: the button held, pressed during the frame, released during it.
enum Mouse { UP = 0, DOWN = 1, PRESS = 2, RELEASE = 4 };

bool same(const UiVertex& v, const UiColor& c) {
    return std::hypot(v.r - c.r, v.g - c.g, v.b - c.b) + std::abs(v.a - c.a) < 1e-5f;
}
float edge(const UiVertex& a, const UiVertex& b, float x, float y) {
    return (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
}

class Widgets : public testing::Test {
protected:
    // Begins a frame with the mouse at (x, y); by default far from every widget.
    void input(float x = -100, float y = -100, int mouse = UP) {
        const bool down = (mouse & DOWN) != 0;
        const bool pressed = (mouse & PRESS) != 0;
        const bool released = (mouse & RELEASE) != 0;
        ui_begin_frame(ui, 960, 600, {x, y, down, pressed, released});
    }
    // Whether the last triangle covering (x, y) has colour c.
    bool shows(float x, float y, const UiColor& c) const {
        const UiVertex* hit = nullptr;
        for (size_t i = 0; i + 3 <= ui.vertices.size(); i += 3) {  // headless: all untextured
            const UiVertex* t = &ui.vertices[i];
            const float e[3] = {edge(t[0], t[1], x, y), edge(t[1], t[2], x, y), edge(t[2], t[0], x, y)};
            if (std::min({e[0], e[1], e[2]}) >= 0 || std::max({e[0], e[1], e[2]}) <= 0) hit = t;
        }
        return hit && same(*hit, c);
    }
    // The bounds of the vertices of colour c, to 0.01 px; empty when there is none.
    Box bounds(const UiColor& c) const {
        Box b;
        for (const UiVertex& v : ui.vertices) {
            if (!same(v, c)) continue;
            if (b.empty()) b = {v.x, v.y, v.x, v.y};
            b = {std::min(b[0], v.x), std::min(b[1], v.y), std::max(b[2], v.x), std::max(b[3], v.y)};
        }
        for (float& f : b) f = std::round(f * 100) / 100;
        return b;
    }

    UiContext ui;
};

// [SECTION] Buttons

// Two buttons side by side; the probe looks at A's face, clear of its label.
constexpr UiRect A = {100, 50, 120, 40};
constexpr UiRect B = {300, 50, 120, 40};
constexpr float A_FACE_X = 160;
constexpr float A_FACE_Y = 70;

TEST_F(Widgets, ButtonIsLightenedUnderThePointerAndDarkenedWhileHeldAndClicksOnlyWhereReleased) {
    const struct {
        const char* what;
        float x, y;
        int mouse;
        const char* clicked;  // the buttons that answer true
        uint32_t active;      // the widget holding the press
        UiColor face_a;
    } steps[] = {
        {"over A's top left corner", 100, 50, UP, "", 0, HOT},
        {"on A's right edge: outside", 220, 70, UP, "", 0, FACE},
        {"on A's bottom edge: outside", 150, 90, UP, "", 0, FACE},
        {"pressed on A", 110, 60, DOWN | PRESS, "", 1, HELD},
        {"dragged onto B: A keeps the press", 310, 60, DOWN, "", 1, HELD},
        {"released on B: no click", 310, 60, RELEASE, "", 0, FACE},
        {"pressed and released on B in one frame", 310, 60, PRESS | RELEASE, "B", 0, FACE},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        input(step.x, step.y, step.mouse);
        std::string clicked = ui_button(ui, 1, A, "A", 18) ? "A" : "";
        clicked += ui_button(ui, 2, B, "B", 18) ? "B" : "";
        EXPECT_EQ(clicked, step.clicked);
        EXPECT_EQ(ui.active_id, step.active);
        EXPECT_TRUE(shows(A_FACE_X, A_FACE_Y, step.face_a));
    }
}

TEST_F(Widgets, DisabledButtonTakesNoPressAndShowsTheDisabledFace) {
    const struct {
        const char* what;
        WidgetFlags flags;
        int mouse;
    } rows[] = {
        {"a disabled primary button, pressed", WIDGET_DISABLED | WIDGET_PRIMARY, DOWN | PRESS},
        {"a disabled button, clicked in one frame", WIDGET_DISABLED, PRESS | RELEASE},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        input(110, 60, row.mouse);
        EXPECT_FALSE(ui_button(ui, 1, A, "A", 18, row.flags));
        EXPECT_EQ(ui.active_id, 0u);
        EXPECT_TRUE(shows(A_FACE_X, A_FACE_Y, COLOR_FACE_DISABLED));
    }
}

// [SECTION] Shapes

TEST_F(Widgets, RoundRectClampsItsRadiusToHalfItsHeight) {
    ui_round_rect(ui, {10, 20, 100, 20}, 50, RED);
    EXPECT_EQ(bounds(RED), (Box{10, 20, 110, 40}));
    EXPECT_TRUE(shows(14, 28, RED)) << "inside the half disc at the left end";
    EXPECT_FALSE(shows(11, 21, RED)) << "the corner the half disc cuts";
}

TEST_F(Widgets, OutlineOfANegativeWidthDrawsOnlyItsTwoSides) {
    ui_outline(ui, {10, 10, -4, 50}, 1, RED);
    EXPECT_EQ(ui.vertices.size(), 12u);
    EXPECT_EQ(bounds(RED), (Box{5, 10, 11, 60}));
}

TEST_F(Widgets, ProgressFillsItsFractionKeepingItsRoundEnds) {
    const struct {
        const char* what;
        float fraction;
        Box fill;
    } rows[] = {
        {"a sliver is as wide as the bar is high", 0.01f, {0, 0, 16, 16}},
        {"half", 0.5f, {0, 0, 100, 16}},
        {"more than whole: whole", 1.5f, {0, 0, 200, 16}},
        {"nothing", 0, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        input();
        ui_progress(ui, {0, 0, 200, 16}, row.fraction, RED, HALF_BLUE);
        EXPECT_EQ(bounds(RED), row.fill);
    }
}

// [SECTION] Check boxes

// A check box row at scale 2: its 28-pixel box inset by 28 and centred in the row's height.
constexpr UiRect CHECK_ROW = {10, 20, 300, 50};
constexpr float CHECK_SCALE = 2.0f;
constexpr float MARK_Y = 45;

TEST_F(Widgets, CheckedBoxScalesItsOutlineAndItsMark) {
    ui_checkbox(ui, 1, CHECK_ROW, "Desktop", true, 18, CHECK_SCALE);
    EXPECT_EQ(bounds(MARK), (Box{38, 31, 66, 59}));
    const struct {
        const char* what;
        float x;
        bool mark_colour;
    } probes[] = {
        {"the 3-pixel outline", 40.5f, true},
        {"the gap inside it", 42, false},
        {"the mark", 52, true},
    };
    for (const auto& probe : probes) EXPECT_EQ(shows(probe.x, MARK_Y, MARK), probe.mark_colour) << probe.what;
}

TEST_F(Widgets, UncheckedBoxHasNoMark) {
    ui_checkbox(ui, 1, CHECK_ROW, "Desktop", false, 18, CHECK_SCALE);
    EXPECT_FALSE(shows(52, MARK_Y, MARK));
}

// [SECTION] The palette

TEST(Palette, MixingTowardsATargetMovesEachColourChannelThatFarAndKeepsAlpha) {
    const UiColor mixed = mix_towards({0.2f, 0.4f, 1.0f, 0.5f}, 1.0f, 0.25f);
    EXPECT_FLOAT_EQ(mixed.r, 0.4f);
    EXPECT_FLOAT_EQ(mixed.g, 0.55f);
    EXPECT_FLOAT_EQ(mixed.b, 1.0f);
    EXPECT_FLOAT_EQ(mixed.a, 0.5f);
}

}  // namespace
