// The shell: start-up order, the frame loop and the shutdown order.
#include "app/shell.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "app/wizard_layout.h"
#include "i18n/catalogue.h"
#include "i18n/languages.h"
#include "i18n/messages.h"
#include "platform/platform.h"
#include "render/gl_api.h"

namespace {

// Tests only: ZR_TEST_WINDOW_SIZE=<width>x<height> lifts the window's fixed
// size after the first frame and resizes it, as a move to a monitor of
// another scale does to the drawable.
void resize_for_test(SDL_Window* window) {
    const char* size = environment_value("ZR_TEST_WINDOW_SIZE");
    int width = 0, height = 0;
    if (size == nullptr || std::sscanf(size, "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) return;
    SDL_SetWindowMinimumSize(window, 1, 1);
    SDL_SetWindowMaximumSize(window, width, height);
    SDL_SetWindowSize(window, width, height);
    // The window system applies the size later; the frames after this one are
    // to see it (at most two seconds, the events staying queued).
    for (int wait = 0; wait < 200; ++wait) {
        SDL_PumpEvents();
        int drawable_w = 0, drawable_h = 0;
        SDL_GL_GetDrawableSize(window, &drawable_w, &drawable_h);
        if (drawable_w == width && drawable_h == height) break;
        SDL_Delay(10);
    }
}

// Early failures may leave SDL half started; releasing it is harmless.
int fail_start(SDL_Window* window, SDL_GLContext context) {
    if (context) SDL_GL_DeleteContext(context);
    if (window) SDL_DestroyWindow(window);
    SDL_Quit();
    return 1;
}

}  // namespace

float ui_scale_for(int drawable_height) {
    float scale = static_cast<float>(drawable_height) / static_cast<float>(WINDOW_HEIGHT);
    if (scale >= 2.0f) return 2.0f;
    if (scale <= 0.75f) return 0.75f;
    return scale;
}

uint8_t choose_start_language() {
    uint8_t id = preferred_language();
    // An existing but empty variable still overrides the locale.
    if (const char* code = environment_value("ZR_LANG")) id = match_language_code(code);
    return id;
}

void shell_handle_event(const SDL_Event& event, float fx, float fy, UiInput& input, float& wheel, bool& running) {
    switch (event.type) {
    case SDL_QUIT: running = false; break;
    case SDL_MOUSEMOTION:
        input.mouse_x = static_cast<float>(event.motion.x) * fx;
        input.mouse_y = static_cast<float>(event.motion.y) * fy;
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        input.mouse_x = static_cast<float>(event.button.x) * fx;
        input.mouse_y = static_cast<float>(event.button.y) * fy;
        if (event.button.button != SDL_BUTTON_LEFT) break;
        const bool down = event.type == SDL_MOUSEBUTTONDOWN;
        input.down = down;
        if (down) input.pressed = true;
        else input.released = true;
        break;
    }
    case SDL_MOUSEWHEEL: wheel += static_cast<float>(event.wheel.y); break;
    default: break;  // no keyboard handling at all
    }
}

int run_shell(Application& app) {
    attach_parent_console();
    // Windows would otherwise stretch the window's bitmap at 125-200 % display
    // scaling (blurry text): with these the drawable has the real pixel size,
    // so ui_scale_for sees the display's scale. Other systems ignore them.
    SDL_SetHint("SDL_WINDOWS_DPI_AWARENESS", "permonitorv2");
    SDL_SetHint("SDL_WINDOWS_DPI_SCALING", "1");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return 1;

    // Chosen before the window exists so that its title is already translated.
    set_language(choose_start_language());

    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);

    SDL_Window* window = SDL_CreateWindow(tr(MSG_WINDOW_TITLE), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          WINDOW_WIDTH, WINDOW_HEIGHT, SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!window) return fail_start(nullptr, nullptr);
    SDL_SetWindowMinimumSize(window, WINDOW_WIDTH, WINDOW_HEIGHT);
    SDL_SetWindowMaximumSize(window, WINDOW_WIDTH, WINDOW_HEIGHT);

    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context || !load_gl_api()) {
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Torvanel", tr(MSG_NO_OPENGL), window);
        return fail_start(window, context);
    }
    SDL_GL_SetSwapInterval(1);

    if (!app.start(window)) return fail_start(window, context);

    UiInput input;  // mouse at (0, 0), button up
    for (int frame = 1;; ++frame) {
        input.pressed = false;
        input.released = false;
        float wheel = 0.0f;
        bool running = true;

        int window_w = 1, window_h = 1, drawable_w = 1, drawable_h = 1;
        SDL_GetWindowSize(window, &window_w, &window_h);
        SDL_GL_GetDrawableSize(window, &drawable_w, &drawable_h);
        const float fx = window_w > 0 ? static_cast<float>(drawable_w) / window_w : 1.0f;
        const float fy = window_h > 0 ? static_cast<float>(drawable_h) / window_h : 1.0f;

        SDL_Event event;
        while (SDL_PollEvent(&event)) shell_handle_event(event, fx, fy, input, wheel, running);

        const float scale = ui_scale_for(drawable_h);
        const bool go_on = app.frame(window, input, wheel, scale, drawable_w, drawable_h, running);
        SDL_GL_SwapWindow(window);
        if (!go_on || !running) break;
        if (frame == 1) resize_for_test(window);
    }

    app.stop();
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
