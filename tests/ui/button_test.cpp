// Buttons and check boxes under synthetic mouse input: hovering, capture of
// the mouse by a press, clicks, and the face each state is drawn with.
#include <gtest/gtest.h>

#include "tests/ui/batch_probe.h"
#include "ui/widgets.h"

namespace {

constexpr UiColor FACE_NORMAL = {0.3f, 0.26f, 0.22f, 1};
constexpr UiColor FACE_PRIMARY = {0.8f, 0.58f, 0.2f, 1};
constexpr UiColor FACE_DISABLED = {0.28f, 0.28f, 0.29f, 1};
constexpr UiColor BORDER_PRIMARY = {1.0f, 0.86f, 0.46f, 1};
constexpr UiColor BORDER_NORMAL = {0.62f, 0.52f, 0.36f, 1};
constexpr UiRect A = {100, 50, 120, 40};
constexpr UiRect B = {300, 50, 120, 40};

// Hovered faces move 14% towards white, held ones 25% towards black.
UiColor lightened(UiColor c) {
    return {c.r + (1 - c.r) * 0.14f, c.g + (1 - c.g) * 0.14f, c.b + (1 - c.b) * 0.14f, 1};
}
UiColor darkened(UiColor c) { return {c.r * 0.75f, c.g * 0.75f, c.b * 0.75f, 1}; }

// The colour the middle of a button shows.
UiColor face_of(const UiContext& ui, const UiRect& r) {
    const UiVertex* v = top_at(ui, r.x + r.w * 0.5f, r.y + r.h * 0.5f);
    return v ? UiColor{v->r, v->g, v->b, v->a} : UiColor{-1, -1, -1, -1};
}

void expect_colour(const UiColor& got, const UiColor& want, const char* what) {
    EXPECT_NEAR(got.r, want.r, 1e-5) << what;
    EXPECT_NEAR(got.g, want.g, 1e-5) << what;
    EXPECT_NEAR(got.b, want.b, 1e-5) << what;
    EXPECT_NEAR(got.a, want.a, 1e-5) << what;
}

struct Buttons : ::testing::Test {
    UiContext ui;
    // One frame with the pointer at (x, y); draws A (normal) and B (primary).
    void frame(float x, float y, bool down, bool pressed, bool released, bool* a, bool* b) {
        new_frame(ui, x, y, down, pressed, released);
        *a = ui_button(ui, 1, A, "A", true, false, 18, false);
        *b = ui_button(ui, 2, B, "B", true, true, 18, false);
    }
};

TEST_F(Buttons, HoverIncludesLeftAndTopEdgesOnly) {
    const struct { float x, y; bool hot; } points[] = {
        {100, 50, true},     {219.9f, 89.9f, true}, {220, 70, false},
        {150, 90, false},    {99.9f, 70, false},    {150, 49.9f, false}};
    for (auto p : points) {
        new_frame(ui, p.x, p.y);
        ui_button(ui, 1, A, "", true, false, 18, false);
        expect_colour(face_of(ui, A), p.hot ? lightened(FACE_NORMAL) : FACE_NORMAL, "hover");
    }
}

TEST_F(Buttons, PressAndReleaseOverTheSameButtonClicks) {
    bool a, b;
    frame(110, 60, true, true, false, &a, &b);
    EXPECT_FALSE(a);
    EXPECT_EQ(ui.active_id, 1u);
    expect_colour(face_of(ui, A), darkened(FACE_NORMAL), "held");
    frame(111, 61, false, false, true, &a, &b);
    EXPECT_TRUE(a);
    EXPECT_FALSE(b);
    EXPECT_EQ(ui.active_id, 0u);
}

TEST_F(Buttons, PressAndReleaseWithinOneFrameClicks) {
    bool a, b;
    frame(310, 60, false, true, true, &a, &b);
    EXPECT_FALSE(a);
    EXPECT_TRUE(b);
    EXPECT_EQ(ui.active_id, 0u);
}

TEST_F(Buttons, DragToAnotherButtonClicksNothing) {
    bool a, b;
    frame(110, 60, true, true, false, &a, &b);
    frame(310, 60, true, false, false, &a, &b);
    EXPECT_FALSE(a || b);
    expect_colour(face_of(ui, A), darkened(FACE_NORMAL), "A keeps the mouse");
    expect_colour(face_of(ui, B), lightened(FACE_PRIMARY), "B under the pointer");
    frame(310, 60, false, false, true, &a, &b);
    EXPECT_FALSE(a || b);
    EXPECT_EQ(ui.active_id, 0u);
}

TEST_F(Buttons, CaptureOutlivesAFrameWithoutTheButton) {
    bool a, b;
    frame(110, 60, true, true, false, &a, &b);
    new_frame(ui, 110, 60, false, false, true);  // released while A is not drawn
    EXPECT_EQ(ui.active_id, 1u);
    frame(310, 60, true, true, false, &a, &b);
    EXPECT_EQ(ui.active_id, 2u);
}

TEST_F(Buttons, DisabledButtonNeverClicksNorCaptures) {
    for (bool primary : {false, true}) {
        new_frame(ui, 110, 60, true, true, false);
        EXPECT_FALSE(ui_button(ui, 1, A, "", false, primary, 18, false));
        EXPECT_EQ(ui.active_id, 0u);
        expect_colour(face_of(ui, A), FACE_DISABLED, "disabled, pressed");
        const UiVertex* border = top_at(ui, A.x + 0.5f, A.y + 20);
        ASSERT_NE(border, nullptr);
        EXPECT_TRUE(same_colour(*border, primary ? BORDER_PRIMARY : BORDER_NORMAL));
        new_frame(ui, 110, 60, false, true, true);
        EXPECT_FALSE(ui_button(ui, 1, A, "", false, primary, 18, false));
    }
    bool a, b;
    frame(110, 60, true, true, false, &a, &b);  // captured while enabled ...
    new_frame(ui, 110, 60, false, false, true);
    EXPECT_FALSE(ui_button(ui, 1, A, "", false, false, 18, false));
    EXPECT_EQ(ui.active_id, 0u);  // ... and let go by the disabled button
}

TEST_F(Buttons, CheckBoxIsAButtonThatIsNeverDisabled) {
    const UiRect row = {100, 50, 300, 40};
    new_frame(ui, 120, 60, false, true, true);
    EXPECT_TRUE(ui_checkbox(ui, 5, row, "Start", false, false, 18, 1.0f));
    new_frame(ui, 120, 60);
    EXPECT_FALSE(ui_checkbox(ui, 5, row, "Start", true, true, 18, 1.0f));
    expect_colour(face_of(ui, {100, 50, 300, 40}), lightened(FACE_PRIMARY), "row face");
}

}  // namespace
