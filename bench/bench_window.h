// The window both start-up baselines open: the setup program's own 960 x 600
// OpenGL 3.3 core window, double-buffered, with swap interval 1.
#pragma once
#include <SDL.h>

// SDL started, the window open and its context current; false on any failure.
inline bool open_bench_window(SDL_Window*& window, SDL_GLContext& context) {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return false;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    window = SDL_CreateWindow("Torvanel", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 960, 600,
                              SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!window) return false;
    context = SDL_GL_CreateContext(window);
    if (!context) return false;
    SDL_GL_SetSwapInterval(1);
    SDL_Event event;
    while (SDL_PollEvent(&event)) {}
    return true;
}

// The context, the window and SDL, in that order.
inline void close_bench_window(SDL_Window* window, SDL_GLContext context) {
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
}
