// Plain records shared by the shell, the batch renderer and the widgets.
// Rectangles are in drawable pixels, origin top-left, y down; colours use
// straight (not premultiplied) alpha in 0..1.
#pragma once

struct UiRect {
    float x, y, w, h;
};

struct UiColor {
    float r, g, b, a;
};

// The mouse input of one frame, in drawable pixels.
struct UiInput {
    float mouse_x = 0.0f;
    float mouse_y = 0.0f;
    bool down = false;      // left button held
    bool pressed = false;   // left button went down during this frame's events
    bool released = false;  // left button went up during this frame's events
};
