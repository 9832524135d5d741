// The wizard's frame laid out for a UI scale and a drawable size: the content
// panel and the content box inside it, the three bottom buttons, and the
// licence page's text box and check box. Every size is a base value times the
// scale. These are constant expressions, so the layout at scale 1 in the
// window as it opens, where unattended runs and tests click, is known when the
// program and its tests are compiled.
#pragma once
#include <algorithm>

#include "render/ui_types.h"

// The window's size; at this drawable size the UI scale is 1.
constexpr int WINDOW_WIDTH = 960;
constexpr int WINDOW_HEIGHT = 600;

struct FrameLayout {
    UiRect panel;        // the content panel, right of the 250 s sidebar
    UiRect content;      // the box the pages place their contents in
    UiRect back_button;  // the bottom buttons
    UiRect cancel_button;
    UiRect primary_button;  // Next, Install, Finish or Close
};

constexpr FrameLayout frame_layout(float s, float width, float height) {
    const UiRect panel = {278 * s, 28 * s, width - 306 * s, height - 110 * s};
    const UiRect content = {panel.x + 24 * s, 52 * s, panel.w - 48 * s, panel.h - 48 * s};
    const float button_y = height - 62 * s;
    const UiRect back = {278 * s, button_y, 140 * s, 42 * s};
    const UiRect cancel = {width - 280 * s - 40 * s, button_y, 140 * s, 42 * s};
    const UiRect primary = {width - 140 * s - 28 * s, button_y, 140 * s, 42 * s};
    return {panel, content, back, cancel, primary};
}

// The licence page's scrolled text box inside the content box.
constexpr UiRect license_box(const UiRect& content, float s) {
    return {content.x, content.y + 76 * s, content.w, content.h - 162 * s};
}

// The "I allow these terms" check box under the licence box.
constexpr UiRect license_check_box(const UiRect& content, float s) {
    const UiRect box = license_box(content, s);
    return {content.x, box.y + box.h + 14 * s, std::min(420 * s, content.w), 40 * s};
}

// [SECTION] At scale 1

struct UiPoint {
    float x, y;
};

constexpr UiPoint centre_of(const UiRect& r) { return {r.x + r.w * 0.5f, r.y + r.h * 0.5f}; }

// The window as it opens. The shell scripts that click through the program
// with a real mouse use these points as numbers: Back (348, 559), Cancel
// (710, 559), the primary button (862, 559) and the licence check box (512, 442).
constexpr FrameLayout FRAME_AT_SCALE_1 = frame_layout(1.0f, WINDOW_WIDTH, WINDOW_HEIGHT);
constexpr UiPoint BACK_AT_SCALE_1 = centre_of(FRAME_AT_SCALE_1.back_button);
constexpr UiPoint CANCEL_AT_SCALE_1 = centre_of(FRAME_AT_SCALE_1.cancel_button);
constexpr UiPoint PRIMARY_AT_SCALE_1 = centre_of(FRAME_AT_SCALE_1.primary_button);
constexpr UiPoint LICENSE_CHECK_BOX_AT_SCALE_1 = centre_of(license_check_box(FRAME_AT_SCALE_1.content, 1.0f));
