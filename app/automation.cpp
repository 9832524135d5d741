// Unattended runs: the start page, the frame counter and the screenshot.
#include "app/automation.h"

#include <SDL.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "render/gl_api.h"
#include "setup/command.h"
#include "setup/copy_engine.h"

bool parse_env_int(const char* text, int32_t& value) {
    // strtoll reads exactly what atoi reads (spaces, a sign, digits, then
    // anything); only the range is checked, because atoi's overflow is undefined.
    errno = 0;
    const long long parsed = std::strtoll(text, nullptr, 10);
    if (errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) return false;
    value = static_cast<int32_t>(parsed);
    return true;
}

void read_automation(Automation& automation, SetupState& state) {
    if (const char* page = std::getenv("ZR_SETUP_PAGE")) {
        int32_t chosen = 0;
        if (!parse_env_int(page, chosen)) chosen = 0;
        // After a failed game-file check only the pages that install nothing
        // may be pictured; any other keeps the failure page and its message.
        const bool check_failed = state.page == 5 && !state.install_started;
        if (!check_failed || chosen == 0 || chosen == 1) state.page = chosen;
        state.license_accepted = true;  // the License page then shows Next enabled
        if (state.page == 3) begin_install(state);
    }
    const char* shot = environment_value("ZR_SHOT");  // UTF-8 on Windows too
    automation.has_shot = shot != nullptr;
    automation.shot_path = shot ? shot : "";
    automation.shot_frame = 30;
    const char* frames = std::getenv("ZR_FRAMES");
    if (frames && !parse_env_int(frames, automation.shot_frame)) automation.shot_frame = 0;  // never pictured
}

bool automation_after_frame(Automation& automation, int width, int height) {
    if (!automation.has_shot) return false;
    automation.frame_count += 1;
    if (automation.frame_count != automation.shot_frame) return false;
    save_screenshot(automation.shot_path.c_str(), width, height);
    return true;
}

void automation_on_exit_frame(Automation& automation, int width, int height) {
    // The counter stays: this frame ends the run whether or not it is pictured.
    if (automation.has_shot && automation.frame_count + 1 == automation.shot_frame)
        save_screenshot(automation.shot_path.c_str(), width, height);
}

void save_screenshot(const char* path, int width, int height) {
    if (width <= 0 || height <= 0) return;
    const size_t row = static_cast<size_t>(width) * 3;
    std::vector<uint8_t> pixels(row * static_cast<size_t>(height), 0);
    gl.glPixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());

    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 24,
                                                          SDL_PIXELFORMAT_RGB24);
    if (!surface) return;
    // GL's first row is the bottom of the picture; the bitmap wants the top first.
    auto* out = static_cast<uint8_t*>(surface->pixels);
    for (int r = 0; r < height; ++r)
        std::memcpy(out + static_cast<size_t>(height - 1 - r) * surface->pitch,
                    pixels.data() + static_cast<size_t>(r) * row, row);
    SDL_SaveBMP_RW(surface, SDL_RWFromFile(path, "wb"), 1);  // a null stream writes nothing
    SDL_FreeSurface(surface);
}
