// The licence text and its scrolling box.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/pages.h"
#include "tests/app/wizard_harness.h"
#include "tests/support/gl_context.h"
#include "text/text_system.h"

// [SECTION] Text

TEST(LicenseText, IndentedLinesContinueTheirClause) {
    const std::vector<std::string> p = license_paragraphs();
    ASSERT_EQ(p.size(), 11u);
    EXPECT_EQ(p[0], EULA_LINES[0]);
    for (size_t i = 1; i < p.size(); i += 2) EXPECT_TRUE(p[i].empty()) << i;
    for (size_t i = 2; i < p.size(); i += 2) {
        EXPECT_EQ(p[i].rfind(std::to_string(i / 2) + ". ", 0), 0u) << p[i];
        EXPECT_EQ(p[i].find("  "), std::string::npos) << p[i];
    }
    EXPECT_EQ(p[2], std::string(EULA_LINES[2]) + " for personal, non-commercial entertainment.");
    const std::string tail =
        " If you do not agree, press Cancel and the game will not be installed.";
    ASSERT_GT(p[10].size(), tail.size());
    EXPECT_EQ(p[10].substr(p[10].size() - tail.size()), tail);
}

TEST(LicenseText, OpeningLinesAreNotIndented) {
    EXPECT_EQ(std::string(EULA_LINES[2]).rfind("1. License.", 0), 0u);
    EXPECT_EQ(std::string(EULA_LINES[5]).rfind("2. Restrictions.", 0), 0u);
    EXPECT_NE(std::string(EULA_LINES[0]).find("LICENSE"), std::string::npos);
    EXPECT_STREQ(EULA_LINES[6],
                 "   and you may not reverse engineer the game to make a copy of it.");
    for (int blank : {1, 4, 7, 10, 13}) EXPECT_STREQ(EULA_LINES[blank], "") << blank;
}

// [SECTION] Scrolling

namespace {

const UiColor THUMB = {0.95f, 0.78f, 0.36f, 0.55f};

// Top and bottom of the scroll thumb in the last frame's batch (both 0 without one).
std::pair<float, float> thumb_extent(const UiContext& ui) {
    float top = 1e9f, bottom = 0;
    for (const UiVertex& v : ui.vertices)
        if (same_colour(v, THUMB)) {
            top = std::min(top, v.y);
            bottom = std::max(bottom, v.y);
        }
    return bottom > 0 ? std::make_pair(top, bottom) : std::make_pair(0.0f, 0.0f);
}

// Lowest top of the text quads that start at x.
float last_line_top(const UiContext& ui, float x) {
    float lowest = -1;
    for (const UiDrawCmd& cmd : ui.draws) {
        if (cmd.texture == 0) continue;
        for (uint32_t i = cmd.first; i < cmd.first + cmd.count; i += 6)
            if (std::abs(ui.vertices[i].x - x) < 0.01f) lowest = std::max(lowest, ui.vertices[i].y);
    }
    return lowest;
}

}  // namespace

TEST(LicenseScroll, WheelWorksInsideTheBoxOnlyAndClamps) {
    REQUIRE_GL();
    TextSystem text;
    ASSERT_TRUE(text_init(text, nullptr)) << "needs a system font";
    WizardHarness w;
    w.ui.text = &text;
    w.text = &text;
    w.state.page = 1;
    const WizardLayout l = w.layout();
    const UiRect R = {l.content.x, l.content.y + 76, l.content.w, l.content.h - 162};
    const float in_x = R.x + 100, in_y = R.y + 100;
    const float L = l.line_step;

    w.idle(in_x, R.y - 10, -3);  // just above the box
    w.idle(in_x, R.y + R.h, -3);  // its bottom edge is outside
    EXPECT_EQ(w.state.license_scroll, 0.0f);
    EXPECT_FLOAT_EQ(thumb_extent(w.ui).first, R.y);

    w.idle(in_x, in_y, -2);
    EXPECT_FLOAT_EQ(w.state.license_scroll, 2 * L);
    w.idle(R.x + R.w + 5, in_y, -4);
    EXPECT_FLOAT_EQ(w.state.license_scroll, 2 * L);
    w.idle(in_x, in_y, 1);
    EXPECT_FLOAT_EQ(w.state.license_scroll, L);

    w.idle(in_x, in_y, -1000);
    const float max_scroll = w.state.license_scroll;
    EXPECT_GT(max_scroll, 2 * L);
    w.idle(in_x, in_y, -1);
    EXPECT_FLOAT_EQ(w.state.license_scroll, max_scroll);
    EXPECT_NEAR(thumb_extent(w.ui).second, R.y + R.h, 0.01f);
    // At the end the last line rests 12 pixels of margin above the bottom.
    EXPECT_NEAR(last_line_top(w.ui, R.x + 14), R.y + R.h - L - 12, 0.01f);

    w.state.page = 0;  // the scroll survives leaving the page
    w.idle();
    w.state.page = 1;
    w.idle();
    EXPECT_FLOAT_EQ(w.state.license_scroll, max_scroll);

    w.idle(in_x, in_y, 1000);
    EXPECT_EQ(w.state.license_scroll, 0.0f);
    text_shutdown(text);
}
