// A real OpenGL 3.3 core context for tests without a display: SDL's offscreen driver on Mesa's software
// rasteriser (on Windows, where that driver has no GL, a hidden window on the display). One hidden window and
// context per test process, created on first use and kept current.
#pragma once

struct SDL_Window;

// Makes the context current (creating it once) and loads the GL entry points; false when none can be had.
bool gl_test_context();
// The hidden window of that context (null before gl_test_context succeeded).
SDL_Window* gl_test_window();
// Skips the running test when no context can be had.
#define REQUIRE_GL() do { if (!gl_test_context()) GTEST_SKIP() << "no OpenGL 3.3"; } while (0)
