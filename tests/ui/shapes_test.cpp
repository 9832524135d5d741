// Plain shapes, the progress bar and the check box, read back from the batch
// of a context without a text system.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/ui/batch_probe.h"
#include "ui/widgets.h"

namespace {

constexpr UiColor RED = {1, 0, 0, 1};
constexpr UiColor BLUE = {0, 0, 1, 0.5f};
constexpr UiColor FRAME = {0, 0, 0, 0.5f};
constexpr UiColor MARK_PRIMARY = {0.12f, 0.09f, 0.06f, 1};
constexpr UiColor MARK_NORMAL = {0.96f, 0.92f, 0.82f, 1};

struct Shapes : ::testing::Test {
    UiContext ui;
    void SetUp() override { new_frame(ui); }
};

TEST(PackColor, RoundsEachChannelIntoItsByte) {
    EXPECT_EQ(ui_pack_color({0.5f, 0.5f, 0.5f, 0.5f}), 0x80808080u);
    EXPECT_EQ(ui_pack_color({1, 0, 0, 1}), 0xFF0000FFu);
    EXPECT_EQ(ui_pack_color({-0.2f, 2.0f, 0.001f, 0.999f}), 0x00FF00FFu);
    EXPECT_EQ(ui_pack_color({0.55f, 0.55f, 0.56f, 1}), 0x8C8C8FFFu);
}

TEST_F(Shapes, RectanglesNeedAnAreaAndImagesATexture) {
    ui_fill_rect(ui, {0, 0, 0, 10}, RED);
    ui_fill_rect(ui, {0, 0, 10, -1}, RED);
    ui_gradient_rect(ui, {0, 0, -5, 10}, RED, BLUE);
    ui_image(ui, {0, 0, 10, 10}, 0, RED);
    EXPECT_TRUE(ui.vertices.empty());
    ui_image(ui, {5, 6, -10, 10}, 7, RED);  // no size test for images
    ASSERT_EQ(ui.draws.size(), 1u);
    EXPECT_EQ(ui.draws[0].texture, 7u);
    EXPECT_EQ(ui.vertices[2].u, 1.0f);
    EXPECT_EQ(ui.vertices[2].v, 1.0f);
}

TEST_F(Shapes, GradientRunsFromTopToBottomColour) {
    ui_gradient_rect(ui, {10, 20, 30, 40}, RED, BLUE);
    ASSERT_EQ(ui.vertices.size(), 6u);
    for (const UiVertex& v : ui.vertices)
        EXPECT_TRUE(same_colour(v, v.y == 20 ? RED : BLUE)) << v.x << "," << v.y;
    EXPECT_TRUE(same_colour(*top_at(ui, 11, 21), RED));
    EXPECT_EQ(top_at(ui, 41, 30), nullptr);
}

TEST_F(Shapes, OutlineBandsFollowThicknessAndSides) {
    ui_outline(ui, {10, 10, 100, 50}, 2, RED);
    EXPECT_NE(top_at(ui, 11, 30), nullptr);
    EXPECT_NE(top_at(ui, 109, 30), nullptr);
    EXPECT_NE(top_at(ui, 60, 59), nullptr);
    EXPECT_EQ(top_at(ui, 60, 35), nullptr);  // the inside stays open
    new_frame(ui);
    ui_outline(ui, {10, 10, 100, 50}, 0, RED);
    ui_outline(ui, {10, 10, -100, 50}, -1, RED);
    EXPECT_TRUE(ui.vertices.empty());
    ui_outline(ui, {10, 10, -4, 50}, 1, RED);  // only the left and right bands
    EXPECT_EQ(ui.vertices.size(), 12u);
    Box b = bounds_of(ui, RED);
    EXPECT_EQ(b.y0, 10);
    EXPECT_EQ(b.y1, 60);
}

TEST_F(Shapes, FanSweepsFromStartAngleWithYDown) {
    ui_fan(ui, 50, 50, 10, 0, 0, 0, RED);
    EXPECT_TRUE(ui.vertices.empty());
    ui_fan(ui, 50, 50, 10, 0, 1.5707964f, 4, RED);
    ASSERT_EQ(ui.vertices.size(), 12u);
    EXPECT_NEAR(ui.vertices[1].x, 60, 1e-4);  // angle 0 points right
    EXPECT_NEAR(ui.vertices[11].y, 60, 1e-4);  // pi/2 points down
    for (size_t i = 0; i < ui.vertices.size(); ++i) {
        const UiVertex& v = ui.vertices[i];
        EXPECT_NEAR(std::hypot(v.x - 50, v.y - 50), i % 3 == 0 ? 0 : 10, 1e-4);
    }
    ui_triangle(ui, 1, 2, 3, 4, 5, 6, BLUE);
    EXPECT_EQ(ui.draws.size(), 1u);  // untextured shapes share one run
    EXPECT_EQ(ui.vertices.back().x, 5);
}

TEST_F(Shapes, RoundRectClampsItsRadius) {
    ui_round_rect(ui, {10, 20, 100, 20}, 50, RED);
    Box b = bounds_of(ui, RED);
    EXPECT_NEAR(b.x0, 10, 1e-4);
    EXPECT_NEAR(b.x1, 110, 1e-4);
    EXPECT_NEAR(b.y0, 20, 1e-4);
    EXPECT_NEAR(b.y1, 40, 1e-4);
    EXPECT_NE(top_at(ui, 14, 28), nullptr);   // a half disc at each end
    EXPECT_EQ(top_at(ui, 11, 21), nullptr);   // the corners are cut
}

TEST_F(Shapes, SquareWithLargeRadiusBecomesACircle) {
    ui_round_rect(ui, {0, 0, 40, 40}, 100, RED);
    ASSERT_EQ(ui.vertices.size(), 24u * 3u);
    for (size_t i = 0; i < ui.vertices.size(); ++i) {
        const UiVertex& v = ui.vertices[i];
        EXPECT_NEAR(std::hypot(v.x - 20, v.y - 20), i % 3 == 0 ? 0 : 20, 1e-3);
    }
    new_frame(ui);
    ui_round_rect(ui, {0, 0, 40, 30}, 0, RED);  // square corners: one band, four empty fans
    EXPECT_EQ(ui.vertices.size(), 6u + 24u * 3u);
    EXPECT_NE(top_at(ui, 0.5f, 0.5f), nullptr);
    new_frame(ui);
    ui_round_rect(ui, {0, 0, 0, 30}, 4, RED);
    EXPECT_TRUE(ui.vertices.empty());
}

TEST_F(Shapes, ProgressFillKeepsItsRoundEnds) {
    const struct { float f, width; } cases[] = {{0.01f, 16}, {0.5f, 100}, {1.0f, 200}, {1.5f, 200}};
    for (auto c : cases) {
        new_frame(ui);
        ui_progress(ui, {0, 0, 200, 16}, c.f, RED, BLUE);
        Box fill = bounds_of(ui, RED);
        EXPECT_NEAR(fill.x1 - fill.x0, c.width, 1e-3) << c.f;
        EXPECT_TRUE(same_colour(*top_at(ui, 100, 0.5f), FRAME)) << c.f;
    }
    new_frame(ui);
    ui_progress(ui, {0, 0, 200, 16}, 0, RED, BLUE);
    EXPECT_TRUE(bounds_of(ui, RED).empty());
    EXPECT_NEAR(bounds_of(ui, BLUE).x1, 200, 1e-3);
}

TEST_F(Shapes, CheckBoxPlacesBoxAndMarkByScale) {
    const UiRect row = {10, 20, 300, 50};
    ui_checkbox(ui, 1, row, "Desktop", true, false, 18, 2.0f);
    Box box = bounds_of(ui, MARK_NORMAL);  // outline and mark: the box is 28 px, inset by 28
    EXPECT_NEAR(box.x0, 38, 1e-4);
    EXPECT_NEAR(box.y0, 31, 1e-4);
    EXPECT_NEAR(box.x1, 66, 1e-4);
    EXPECT_NEAR(box.y1, 59, 1e-4);
    EXPECT_TRUE(same_colour(*top_at(ui, 40.5f, 45), MARK_NORMAL));   // outline 3 px
    EXPECT_FALSE(same_colour(*top_at(ui, 42, 45), MARK_NORMAL));     // gap before the mark
    EXPECT_TRUE(same_colour(*top_at(ui, 44.5f, 37.5f), MARK_NORMAL));  // mark inset 6
    EXPECT_TRUE(same_colour(*top_at(ui, 59.5f, 52.5f), MARK_NORMAL));
    EXPECT_FALSE(same_colour(*top_at(ui, 60.5f, 45), MARK_NORMAL));
    new_frame(ui);
    ui_checkbox(ui, 1, row, "Desktop", false, true, 18, 2.0f);
    EXPECT_TRUE(same_colour(*top_at(ui, 38.5f, 45), MARK_PRIMARY));
    EXPECT_FALSE(same_colour(*top_at(ui, 52, 45), MARK_PRIMARY));  // unchecked: no mark
}

}  // namespace
