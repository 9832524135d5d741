// One real OpenGL 3.3 core context per test process, in a hidden window: SDL's offscreen driver on Mesa's
// software rasteriser (on Windows, where that driver has no GL, the display).
#pragma once

struct SDL_Window;

// Makes the context current (creating it once) and loads the GL entry points; false when none can be had.
bool gl_test_context();
// The hidden window of that context (null before gl_test_context succeeded).
SDL_Window* gl_test_window();

// Skips the test when no context can be had.
#define REQUIRE_GL()                                             \
    do {                                                         \
        if (!gl_test_context()) GTEST_SKIP() << "no OpenGL 3.3"; \
    } while (0)
