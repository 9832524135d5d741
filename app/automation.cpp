// Unattended runs: the start page, the frame counter and the screenshot.
#include "app/automation.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "platform/platform.h"
#include "render/gl_api.h"
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
        const bool check_failed = state.page == PAGE_FAILED && !state.install_started;
        if (!check_failed || chosen == PAGE_WELCOME || chosen == PAGE_LICENSE) state.page = chosen;
        state.license_accepted = true;  // the License page then shows Next enabled
        if (state.page == PAGE_INSTALL) begin_install(state);
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

namespace {

void put_u16(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void put_u32(uint8_t* at, uint32_t value) {
    put_u16(at, value & 0xFFFF);
    put_u16(at + 2, value >> 16);
}

constexpr size_t BMP_HEADER_SIZE = 14 + 40;  // file header, then BITMAPINFOHEADER

}  // namespace

void save_screenshot(const char* path, int width, int height) {
    if (width <= 0 || height <= 0) return;
    // A bitmap stores its rows bottom first in BGR, each padded to 4 bytes:
    // exactly what GL reads back at a pack alignment of 4, so the pixels go
    // straight behind the header.
    const size_t pitch = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    const size_t pixels = pitch * static_cast<size_t>(height);
    std::vector<uint8_t> file(BMP_HEADER_SIZE + pixels, 0);
    uint8_t* header = file.data();
    header[0] = 'B';
    header[1] = 'M';
    put_u32(header + 2, static_cast<uint32_t>(file.size()));
    put_u32(header + 10, BMP_HEADER_SIZE);
    put_u32(header + 14, 40);
    put_u32(header + 18, static_cast<uint32_t>(width));
    put_u32(header + 22, static_cast<uint32_t>(height));  // positive: bottom row first
    put_u16(header + 26, 1);                              // planes
    put_u16(header + 28, 24);                             // bits per pixel, no compression
    put_u32(header + 34, static_cast<uint32_t>(pixels));
    gl.glPixelStorei(GL_PACK_ALIGNMENT, 4);
    gl.glReadPixels(0, 0, width, height, GL_BGR, GL_UNSIGNED_BYTE, file.data() + BMP_HEADER_SIZE);
    // A FIFO or a device at the path is refused at once instead of waiting for a reader.
    write_regular_file(path, file.data(), file.size());
}
