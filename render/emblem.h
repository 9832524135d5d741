// The sidebar emblem: a rounded square with a city skyline at sunset, lit
// windows and a winding road with a dashed centre line, painted procedurally
// with supersampling into RGBA bytes and uploaded as one GL texture.
#pragma once
#include <cstdint>
#include <vector>

// Paints max(size, 16) pixels square and uploads it; returns the texture name.
// Either output may be null.
uint32_t make_emblem_texture(int size, int* width_out, int* height_out);
// Resizes `pixels` to n*n*4 zero bytes (RGBA, top row first) and paints the emblem.
void paint_emblem(int n, std::vector<uint8_t>& pixels);
// Whether (x, y) falls on a lit window of the building with this left edge and top.
bool window_lit(float left, float top, float x, float y, int seed);
