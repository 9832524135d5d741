// The emblem's palette and the measures of its shading, in design units (the
// emblem is 256 units a side, x to the right, y downwards). The scene and
// every level of the painter's kernels read them from here, so each number is
// written once. Internal to the emblem painter.
#pragma once

struct Color {
    float r, g, b;
};

// [SECTION] Scene

constexpr float GROUND_Y = 204.0f;  // buildings stand on it; below it lies the ground

constexpr Color FAR_BODY = {0.11f, 0.13f, 0.25f};
constexpr Color FAR_LIT = {0.98f, 0.8f, 0.46f};
constexpr Color NEAR_BODY = {0.08f, 0.09f, 0.18f};
constexpr Color NEAR_LIT = {1.0f, 0.84f, 0.5f};
constexpr Color ROOF_EDGE = {0.04f, 0.05f, 0.11f};
constexpr Color ANTENNA = {0.8f, 0.84f, 0.92f};

// Single-precision differences of the palette's end colours; each sits one
// unit in the last place away from the nearest float of its decimal value,
// and the image depends on that.
constexpr float SKY_BLUE_RISE = 0x1.333332p-3f;     // 0.15 -> 0.14999999
constexpr float SUN_GREEN_FALL = -0x1.28f5c4p-2f;   // -0.29 -> -0.29000002
constexpr float GROUND_BLUE_FALL = -0x1.eb852p-5f;  // -0.06 -> -0.060000002

// [SECTION] Sun

constexpr float SUN_X = 128.0f;  // the centre of its disc and glow
constexpr float SUN_Y = 178.0f;
// The glow: SUN_GLOW_STRENGTH * smooth((d - SUN_GLOW_REACH) * SUN_GLOW_SLOPE)^2
// at distance d from the centre, zero from SUN_GLOW_REACH on.
constexpr Color SUN_GLOW = {1.0f, 0.72f, 0.36f};
constexpr float SUN_GLOW_REACH = 120.0f;
constexpr float SUN_GLOW_SLOPE = -0.015625f;
constexpr float SUN_GLOW_STRENGTH = 0.55f;
// Beyond this squared distance from the centre the glow and the disc weigh
// exactly zero (a little over SUN_GLOW_REACH squared, for rounding).
constexpr float SUN_REACH2 = 14401.5f;
// The disc: weight smooth((d - SUN_DISC_EDGE) * SUN_DISC_SLOPE), zero from
// SUN_DISC_EDGE on; its colour at q = clamp(d / SUN_DISC_RADIUS, 0, 1) is
// (SUN_DISC_RED, SUN_DISC_GREEN + SUN_GREEN_FALL q, SUN_DISC_BLUE - SUN_BLUE_FALL q).
constexpr float SUN_DISC_EDGE = 57.0f;
constexpr float SUN_DISC_SLOPE = -0.5f;
constexpr float SUN_DISC_RADIUS = 56.0f;
constexpr float SUN_DISC_RED = 1.0f;
constexpr float SUN_DISC_GREEN = 0.93f;
constexpr float SUN_DISC_BLUE = 0.66f;
constexpr float SUN_BLUE_FALL = 0.36f;

// [SECTION] Road

// At distance D from the road: the glow weighs ROAD_GLOW_STRENGTH *
// smooth((D - ROAD_REACH) / ROAD_GLOW_SPREAD), the asphalt
// smooth((D - ASPHALT_EDGE) / ASPHALT_SPREAD), the centre line
// smooth((D - LINE_EDGE) / LINE_SPREAD) on its dashes (times the asphalt's).
constexpr Color ROAD_GLOW = {1.0f, 0.78f, 0.38f};
constexpr Color ASPHALT = {0.12f, 0.13f, 0.21f};
constexpr Color CENTRE_LINE = {1.0f, 0.94f, 0.74f};
constexpr float ROAD_REACH = 28.0f;
// ROAD_REACH squared: its square root is exactly ROAD_REACH, so from here on
// glow, asphalt and centre line all weigh zero.
constexpr float ROAD_REACH2 = 784.0f;
constexpr float ROAD_GLOW_SPREAD = -15.0f;
constexpr float ROAD_GLOW_STRENGTH = 0.5f;
constexpr float ASPHALT_EDGE = 12.9f;
constexpr float ASPHALT_SPREAD = -1.7999992f;
constexpr float LINE_EDGE = 2.0f;
constexpr float LINE_SPREAD = -1.1f;
// The centre line is drawn for the first DASH_LENGTH units of every
// DASH_PERIOD units of arc length along the road.
constexpr double DASH_PERIOD = 24.0;
constexpr double DASH_LENGTH = 12.0;
