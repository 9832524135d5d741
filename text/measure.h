// The one thing layout needs from fonts: how wide a text is when drawn.
// Wrapping and path elision take it as a function, so they stay plain logic
// that knows nothing of fonts, textures or widgets, and tests can drive them
// with widths of their own.
#pragma once
#include <functional>
#include <string>

// Width in pixels of a text as it would be drawn.
using MeasureText = std::function<int(const std::string&)>;
