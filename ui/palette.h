// The palette of the whole window, in one place: the wizard's named colours,
// the colours its frame and pages use once, and the colours the widgets draw
// themselves with. The pages, the widgets and the tests that look at pixels
// all take their colours from here.
#pragma once
#include "render/ui_types.h"

// The colour with another alpha.
constexpr UiColor with_alpha(const UiColor& c, float alpha) { return {c.r, c.g, c.b, alpha}; }

// Each of r, g and b moved `amount` of the way towards `target`; alpha kept.
constexpr UiColor mix_towards(const UiColor& c, float target, float amount) {
    return {c.r + (target - c.r) * amount, c.g + (target - c.g) * amount, c.b + (target - c.b) * amount, c.a};
}

// [SECTION] The wizard

constexpr UiColor COLOR_ACCENT = {0.95f, 0.78f, 0.36f, 1.0f};  // headings, the current step, the active file
constexpr UiColor COLOR_TEXT = {0.96f, 0.92f, 0.82f, 1.0f};    // body text, finished steps, the licence
constexpr UiColor COLOR_MUTED = {0.72f, 0.68f, 0.58f, 1.0f};   // secondary text, steps still to come
constexpr UiColor COLOR_PANEL = {0.11f, 0.09f, 0.07f, 0.92f};  // the sidebar and the content panel
constexpr UiColor COLOR_ERROR = {0.95f, 0.45f, 0.40f, 1.0f};   // the failure page's heading

// The window's background, a vertical gradient from top to bottom.
constexpr UiColor COLOR_BACKGROUND_TOP = {0.14f, 0.11f, 0.08f, 1.0f};
constexpr UiColor COLOR_BACKGROUND_BOTTOM = {0.05f, 0.04f, 0.03f, 1.0f};
constexpr UiColor COLOR_SIDEBAR_EDGE = with_alpha(COLOR_ACCENT, 0.6f);
constexpr UiColor COLOR_PANEL_OUTLINE = {0.55f, 0.46f, 0.32f, 1.0f};
constexpr UiColor COLOR_EMBLEM_TINT = {1.0f, 1.0f, 1.0f, 1.0f};  // the emblem as painted

// The sunken boxes that hold the licence and the install folder.
constexpr UiColor COLOR_WELL = {0.06f, 0.05f, 0.04f, 0.9f};
constexpr UiColor COLOR_WELL_OUTLINE = {0.45f, 0.38f, 0.28f, 1.0f};
constexpr UiColor COLOR_SCROLL_THUMB = with_alpha(COLOR_ACCENT, 0.55f);

// [SECTION] The widgets

constexpr UiColor COLOR_FACE_PRIMARY = {0.8f, 0.58f, 0.2f, 1.0f};  // the page's main action
constexpr UiColor COLOR_FACE_NORMAL = {0.3f, 0.26f, 0.22f, 1.0f};
constexpr UiColor COLOR_FACE_DISABLED = {0.28f, 0.28f, 0.29f, 1.0f};
constexpr UiColor COLOR_BUTTON_SHADOW = {0.0f, 0.0f, 0.0f, 0.35f};
constexpr UiColor COLOR_BORDER_PRIMARY = {1.0f, 0.86f, 0.46f, 1.0f};
constexpr UiColor COLOR_BORDER_NORMAL = {0.62f, 0.52f, 0.36f, 1.0f};  // disabled buttons too
constexpr UiColor COLOR_LABEL_PRIMARY = {0.12f, 0.08f, 0.03f, 1.0f};
constexpr UiColor COLOR_LABEL_NORMAL = COLOR_TEXT;
constexpr UiColor COLOR_LABEL_DISABLED = {0.55f, 0.55f, 0.56f, 1.0f};
constexpr UiColor COLOR_MARK_PRIMARY = {0.12f, 0.09f, 0.06f, 1.0f};  // a check box's mark and label
constexpr UiColor COLOR_MARK_NORMAL = COLOR_TEXT;
constexpr UiColor COLOR_PROGRESS_FRAME = {0.0f, 0.0f, 0.0f, 0.5f};
// The progress bar of the Install page fills in the primary buttons' colour.
constexpr UiColor COLOR_PROGRESS_FILL = COLOR_FACE_PRIMARY;
constexpr UiColor COLOR_PROGRESS_TRACK = {0.05f, 0.04f, 0.03f, 1.0f};
// Text carries its colour in its texture; its quad is drawn untinted.
constexpr UiColor COLOR_TEXT_TINT = {1.0f, 1.0f, 1.0f, 1.0f};

// A button under the pointer is lightened towards white; one held down
// (pressed on it, the pointer anywhere) is darkened towards black.
constexpr float HOT_LIGHTEN = 0.14f;
constexpr float HELD_DARKEN = 0.25f;
