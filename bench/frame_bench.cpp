// The wizard's own CPU time per frame on every page in every language, with
// a warm text cache and the null GL backend, so that the driver's
// rasterising does not hide what the program itself spends on a frame.
//
// Usage: frame_bench [frames per batch, default 200]
// Prints, per language, the median over batches of the CPU microseconds of
// one frame (installation work excluded: the Install page is pictured
// mid-copy with nothing copied while it is measured).
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "app/wizard.h"
#include "i18n/catalogue.h"
#include "i18n/languages.h"
#include "render/gl_api.h"
#include "setup/game_files.h"
#include "setup/paths.h"
#include "text/text_render.h"

namespace {

constexpr int BATCHES = 7;
constexpr int WARM_FRAMES = 3;
constexpr int WIDTH = 960;
constexpr int HEIGHT = 600;
constexpr double GOAL_US = 200.0;

double thread_cpu_seconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// A state that shows `page` as a user would see it: the Install page a
// third of the way through the files, the failure page with a real message.
void set_page(SetupState& state, int page) {
    state.page = page;
    state.license_accepted = true;
    state.install_dir = "C:/Users/Player/AppData/Local/Programs/Torvanel";
    state.files.clear();
    uint64_t total = 0;
    for (int i = 0; i < GAME_FILE_COUNT; ++i) {
        InstallFile file;
        file.name = GAME_FILES[i];
        file.size = (static_cast<uint64_t>(i) * 7 + 3) * 1048576;
        file.status = i < 3 ? Done : (i == 3 ? Copying : Waiting);
        total += file.size;
        state.files.push_back(file);
    }
    state.game_bytes = total;
    state.progress_total = total + 2 * 1048576;
    state.progress_done = total / 3;
    state.current_file = 3;
    state.install_started = page >= PAGE_INSTALL;
    state.install_finished = page == PAGE_DONE;
    state.error_text = page == PAGE_FAILED ? std::string("Setup could not find this file: music2.mp3\n\n") +
                                                 "Keep every file of the game together in one folder."
                                           : "";
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Median CPU microseconds of one frame of the page as it stands.
double measure_page(SetupWizard& w, int frames) {
    bool running = true;
    UiInput input;  // the mouse rests away from every control
    input.mouse_x = 5;
    input.mouse_y = 590;
    auto one_frame = [&] {
        ui_begin_frame(w.ui, WIDTH, HEIGHT, input);
        draw_frame(w.state, w.ui, &w.text, nullptr, 0.0f, 1.0f, WIDTH, HEIGHT, running, w.emblem);
        ui_end_frame(w.ui);
        text_end_frame(w.text);
    };
    for (int i = 0; i < WARM_FRAMES; ++i) one_frame();
    std::vector<double> batches;
    for (int b = 0; b < BATCHES; ++b) {
        const double t0 = thread_cpu_seconds();
        for (int i = 0; i < frames; ++i) one_frame();
        batches.push_back((thread_cpu_seconds() - t0) * 1e6 / frames);
    }
    return median(batches);
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    if (!load_gl_api_with(null_gl_lookup)) return 1;

    SetupWizard w;
    text_init(w.text, &w.diagnostics);
    if (!ui_init(w.ui, &w.text, &w.diagnostics)) return 1;
    w.emblem = 1;  // drawn as an image; its painting is the start-up's business

    std::printf("CPU microseconds per frame, null GL, warm text cache (median of %d x %d frames)\n", BATCHES, frames);
    std::printf("lang  Welcome  License Location  Install     Done  Failure\n");
    double worst = 0;
    const char* worst_where = "";
    static char where[32];
    for (uint8_t lang = 0; lang < LANGUAGE_COUNT; ++lang) {
        set_language(lang);
        text_set_language(w.text, lang);
        std::printf("%-4s", language_info(lang).code);
        for (int page = PAGE_WELCOME; page < PAGE_COUNT; ++page) {
            set_page(w.state, page);
            const double us = measure_page(w, frames);
            std::printf(" %8.1f", us);
            if (us > worst) {
                worst = us;
                std::snprintf(where, sizeof where, "%s page %d", language_info(lang).code, page);
                worst_where = where;
            }
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    std::printf("slowest: %.1f us (%s); goal under %.0f us: %s\n", worst, worst_where, GOAL_US,
                worst < GOAL_US ? "met" : "NOT met");
    ui_shutdown(w.ui);
    text_shutdown(w.text);
    return 0;
}
