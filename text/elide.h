// Middle elision of paths: a path too wide for its line keeps its first and
// last folders and gives up the middle ("C:/Users/…/Programs/Torvanel"), so
// the end, which tells one install folder from another, stays readable.
#pragma once
#include <string>

#include "text/measure.h"

constexpr const char* ELLIPSIS = "\xE2\x80\xA6";  // U+2026

// `path` when it fits max_width; else whole leading and trailing pieces
// (split after '/' and '\') around ELLIPSIS, as many as fit, the trailing
// ones first; else, when even one piece on each side is too wide, leading
// and trailing characters (never half a UTF-8 sequence) around ELLIPSIS.
// The result may still be wider when ELLIPSIS alone is.
std::string elide_path_middle(const std::string& path, int max_width, const MeasureText& measure);
