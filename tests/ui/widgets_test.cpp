// Shapes, buttons and check boxes drawn headless (no text system) under synthetic mouse input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ui/palette.h"
#include "ui/widgets.h"

namespace {

using Box = std::vector<float>;
constexpr UiColor RED = {1, 0, 0, 1}, BLUE = {0, 0, 1, 0.5f};
constexpr UiColor FACE = COLOR_FACE_NORMAL, DISABLED = COLOR_FACE_DISABLED;
constexpr UiColor HOT = mix_towards(FACE, 1, HOT_LIGHTEN);
constexpr UiColor HELD = mix_towards(FACE, 0, HELD_DARKEN);
constexpr UiColor MARK = COLOR_MARK_NORMAL;
constexpr UiRect A = {100, 50, 120, 40}, B = {300, 50, 120, 40};

enum Mouse { UP = 0, DOWN = 1, PRESS = 2, RELEASE = 4 };
bool same(const UiVertex& v, const UiColor& c) {
    return std::hypot(v.r - c.r, v.g - c.g, v.b - c.b) + std::abs(v.a - c.a) < 1e-5f;
}
float edge(const UiVertex& a, const UiVertex& b, float x, float y) {
    return (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
}

struct Widgets : ::testing::Test {
    UiContext ui;
    void input(float x = -100, float y = -100, int m = UP) {
        ui_begin_frame(ui, 960, 600, {x, y, (m & DOWN) != 0, (m & PRESS) != 0, (m & RELEASE) != 0});
    }
    // Whether the last triangle covering (x, y) has colour c.
    bool shows(float x, float y, const UiColor& c) {
        const UiVertex* hit = nullptr;
        for (size_t i = 0; i + 3 <= ui.vertices.size(); i += 3) {  // headless: all untextured
            const UiVertex* t = &ui.vertices[i];
            const float e[3] = {edge(t[0], t[1], x, y), edge(t[1], t[2], x, y), edge(t[2], t[0], x, y)};
            if (std::min({e[0], e[1], e[2]}) >= 0 || std::max({e[0], e[1], e[2]}) <= 0) hit = t;
        }
        return hit && same(*hit, c);
    }
    // Bounds x0, y0, x1, y1 of the vertices of colour c, to 0.01 px; empty when there is none.
    Box bounds(const UiColor& c) {
        Box b;
        for (const UiVertex& v : ui.vertices)
            if (same(v, c)) b = b.empty() ? Box{v.x, v.y, v.x, v.y} : Box{std::min(b[0], v.x),
                    std::min(b[1], v.y), std::max(b[2], v.x), std::max(b[3], v.y)};
        for (float& f : b) f = std::round(f * 100) / 100;
        return b;
    }
};

// Hover; A pressed and dragged onto B keeps the press and clicks nothing; press and release at once click B;
// a disabled A (primary or not) takes no press. A click on one button goes through the wizard.
TEST_F(Widgets, HoverAndClicksOnTwoButtons) {
    constexpr WidgetFlags OFF = WIDGET_DISABLED, OFF_PRIMARY = WIDGET_DISABLED | WIDGET_PRIMARY;
    const struct { float x, y; int mouse; WidgetFlags a; const char* clicked; uint32_t active; UiColor face_a; }
        steps[] = {
        {100, 50, UP, 0, "", 0, HOT}, {220, 70, UP, 0, "", 0, FACE}, {150, 90, UP, 0, "", 0, FACE},
        {110, 60, DOWN | PRESS, 0, "", 1, HELD}, {310, 60, DOWN, 0, "", 1, HELD}, {310, 60, RELEASE, 0, "", 0, FACE},
        {310, 60, PRESS | RELEASE, 0, "B", 0, FACE}, {110, 60, DOWN | PRESS, OFF_PRIMARY, "", 0, DISABLED},
        {110, 60, PRESS | RELEASE, OFF, "", 0, DISABLED}};
    for (const auto& s : steps) {
        input(s.x, s.y, s.mouse);
        std::string clicked = ui_button(ui, 1, A, "A", 18, s.a) ? "A" : "";
        clicked += ui_button(ui, 2, B, "B", 18) ? "B" : "";
        SCOPED_TRACE(testing::Message() << "step " << (&s - steps));
        EXPECT_EQ(clicked, s.clicked);
        EXPECT_EQ(ui.active_id, s.active);
        EXPECT_TRUE(shows(160, 70, s.face_a));
    }
}

// Round rects clamp their radius, progress fills keep their round ends, a negative-width outline draws only its
// sides; a check box at scale 2, its mark only when checked.
TEST_F(Widgets, Shapes) {
    ui_round_rect(ui, {10, 20, 100, 20}, 50, RED);
    EXPECT_EQ(bounds(RED), (Box{10, 20, 110, 40}));
    EXPECT_TRUE(shows(14, 28, RED) && !shows(11, 21, RED));  // a half disc at each end cuts the corners
    input();
    ui_outline(ui, {10, 10, -4, 50}, 1, RED);
    EXPECT_EQ(ui.vertices.size(), 12u) << "only the two sides";
    EXPECT_EQ(bounds(RED), (Box{5, 10, 11, 60}));
    const struct { float f; Box fill; } cases[] = {
        {0.01f, {0, 0, 16, 16}}, {0.5f, {0, 0, 100, 16}}, {1.5f, {0, 0, 200, 16}}, {0, {}}};
    for (auto c : cases) {
        input();
        ui_progress(ui, {0, 0, 200, 16}, c.f, RED, BLUE);
        EXPECT_EQ(bounds(RED), c.fill) << c.f;
    }
    input();
    const UiRect row = {10, 20, 300, 50};
    ui_checkbox(ui, 1, row, "Desktop", true, 18, 2.0f);
    EXPECT_EQ(bounds(MARK), (Box{38, 31, 66, 59}));  // a 28 px box inset by 28, centred
    for (auto [x, mark] : {std::pair(40.5f, true), {42.f, false}, {52.f, true}})  // 3 px outline, gap, mark
        EXPECT_EQ(shows(x, 45, MARK), mark) << x;
    input();
    ui_checkbox(ui, 1, row, "Desktop", false, 18, 2.0f);
    EXPECT_FALSE(shows(52, 45, MARK));  // unchecked: no mark
}

TEST(Palette, MixingTowardsATargetMovesEachColourChannelThatFarAndKeepsAlpha) {
    const UiColor mixed = mix_towards({0.2f, 0.4f, 1.0f, 0.5f}, 1.0f, 0.25f);
    EXPECT_FLOAT_EQ(mixed.r, 0.4f);
    EXPECT_FLOAT_EQ(mixed.g, 0.55f);
    EXPECT_FLOAT_EQ(mixed.b, 1.0f);
    EXPECT_FLOAT_EQ(mixed.a, 0.5f);
}

}  // namespace
