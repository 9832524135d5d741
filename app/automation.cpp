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
    // BGR is the bitmap file's own order, so SDL writes the surface as it
    // is instead of converting it into another full-frame copy.
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 24,
                                                          SDL_PIXELFORMAT_BGR24);
    if (!surface) return;
    // Read straight into the bitmap, so no second full-frame buffer is
    // touched before the first frame ends: SDL pads each row to 4 bytes,
    // which is GL's own packing at an alignment of 4.
    auto* out = static_cast<uint8_t*>(surface->pixels);
    const size_t row = static_cast<size_t>(width) * 3;
    const size_t pitch = static_cast<size_t>(surface->pitch);
    if (pitch != ((row + 3) & ~static_cast<size_t>(3))) {
        SDL_FreeSurface(surface);
        return;
    }
    gl.glPixelStorei(GL_PACK_ALIGNMENT, 4);
    gl.glReadPixels(0, 0, width, height, GL_BGR, GL_UNSIGNED_BYTE, out);
    // GL's first row is the bottom of the picture; the bitmap wants the top first.
    std::vector<uint8_t> swap(row);
    for (int r = 0; r < height / 2; ++r) {
        uint8_t* top = out + static_cast<size_t>(r) * pitch;
        uint8_t* bottom = out + static_cast<size_t>(height - 1 - r) * pitch;
        std::memcpy(swap.data(), top, row);
        std::memcpy(top, bottom, row);
        std::memcpy(bottom, swap.data(), row);
    }
    SDL_SaveBMP_RW(surface, SDL_RWFromFile(path, "wb"), 1);  // a null stream writes nothing
    SDL_FreeSurface(surface);
}
