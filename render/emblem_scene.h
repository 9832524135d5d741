// The emblem's scene under the road: sky, sun, far and near buildings with
// their windows, antenna and ground, painted one sample row at a time.
// Internal to the emblem painter.
//
// Below the sun and the road a sample's colour depends only on which
// buildings and window columns cover its x and on its y, so neighbouring
// sample columns that agree on all of those form a run: one colour per run
// and sample row, computed once and filled. Only open sky within the sun's
// reach is shaded sample by sample.
#pragma once
#include <cstdint>
#include <vector>

#include "render/emblem_constants.h"
#include "render/emblem_kernels.h"

// [SECTION] Scene tables

// One axis of the window grid: whether the offset lies in the lit part of its
// cell, and which cell it is (0 when not open, so equal axes compare equal).
struct WindowAxis {
    bool open;
    uint32_t cell;
};

// What a run of sample columns shares: the buildings covering it, latest in
// table order first, each with its top (1e30 for none) and window column.
struct SampleColumn {
    float near_top[2];
    float far_top[2];
    int8_t near_building[2];
    int8_t far_building[2];
    WindowAxis near_window[2];
    WindowAxis far_window[2];
    bool antenna;
};

struct SampleRow {
    Color sky;     // before the sun
    Color ground;  // used when y >= 204
    bool antenna;
    WindowAxis near_window[9];
    WindowAxis far_window[8];
};

struct EmblemScene {
    std::vector<SampleColumn> runs;
    std::vector<int> run_start;  // run r covers sample columns run_start[r] .. run_start[r + 1] - 1
    std::vector<SampleRow> rows;
};

// Builds the tables for sample positions coord[0 .. samples - 1] (the same on
// both axes).
void prepare_scene(EmblemScene& scene, const float* coord, int samples);

// The scene colours of sample row qy into red, green and blue[0 .. samples - 1],
// the sun through `kernels`; up to 7 values past the end may be written as well.
void paint_scene_row(const EmblemScene& scene, const EmblemKernels& kernels, const float* coord, int samples, int qy,
                     float* red, float* green, float* blue);
