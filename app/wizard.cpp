// The setup wizard: start, frame and stop; the chrome around every page, the
// bottom buttons and the page transitions they trigger.
#include "app/wizard.h"

#include <SDL.h>

#include "app/pages.h"
#include "i18n/catalogue.h"
#include "i18n/languages.h"
#include "render/emblem.h"
#include "render/gl_api.h"
#include "setup/command.h"
#include "setup/copy_engine.h"
#include "setup/game_files.h"
#include "setup/paths.h"
#include "setup/shortcuts.h"
#include "text/text_render.h"
#include "ui/widgets.h"

const UiColor COLOR_ACCENT = {0.95f, 0.78f, 0.36f, 1.0f};
const UiColor COLOR_TEXT = {0.96f, 0.92f, 0.82f, 1.0f};
const UiColor COLOR_MUTED = {0.72f, 0.68f, 0.58f, 1.0f};
const UiColor COLOR_PANEL = {0.11f, 0.09f, 0.07f, 0.92f};
const UiColor COLOR_ERROR = {0.95f, 0.45f, 0.40f, 1.0f};

namespace {

constexpr MsgId STEP_LABELS[5] = {214, 215, 216, 217, 213};
constexpr int PAGE_STEP[6] = {0, 1, 2, 3, 4, 4};  // pages 1..5; page 0 shows step 0
constexpr int EMBLEM_SIZE = 256;

constexpr MsgId MSG_BACK = 2;
constexpr MsgId MSG_CLOSE = 3;
constexpr MsgId MSG_INSTALL = 204;
constexpr MsgId MSG_NEXT = 211;
constexpr MsgId MSG_CANCEL = 212;
constexpr MsgId MSG_FINISH = 213;
constexpr MsgId MSG_SETUP = 230;
constexpr MsgId MSG_FILES_MISSING = 224;
constexpr MsgId MSG_KEEP_TOGETHER = 235;

// [SECTION] Chrome

void draw_chrome(const SetupState& state, UiContext& ui, uint32_t emblem,
                 const WizardLayout& l) {
    const float s = l.s;
    ui_gradient_rect(ui, {0, 0, l.W, l.H}, {0.14f, 0.11f, 0.08f, 1.0f},
                     {0.05f, 0.04f, 0.03f, 1.0f});
    ui_fill_rect(ui, {0, 0, 250 * s, l.H}, COLOR_PANEL);
    ui_fill_rect(ui, {250 * s, 0, 2 * s, l.H}, {0.95f, 0.78f, 0.36f, 0.6f});
    ui_image(ui, {45 * s, 22 * s, 160 * s, 160 * s}, emblem, {1, 1, 1, 1});
    ui_text(ui, 125 * s, 190 * s, "Torvanel", static_cast<int>(22 * s), COLOR_ACCENT, 1, false);
    ui_text(ui, 125 * s, 218 * s, tr(MSG_SETUP), static_cast<int>(16 * s), COLOR_MUTED, 1, false);

    const int current = state.page >= 1 && state.page <= 5 ? PAGE_STEP[state.page] : 0;
    for (int i = 0; i < 5; ++i) {
        const float y = 268 * s + (34 * i) * s;
        const UiRect marker = {28 * s, y + 6 * s, 12 * s, 12 * s};
        const UiColor& colour = i == current  ? COLOR_ACCENT
                                : i < current ? COLOR_TEXT
                                              : COLOR_MUTED;
        if (i > current) ui_outline(ui, marker, 1.5f * s, colour);
        else ui_fill_rect(ui, marker, colour);
        ui_text(ui, 52 * s, y, tr(STEP_LABELS[i]), static_cast<int>(18 * s), colour, 0, false);
    }

    ui_round_rect(ui, l.panel, 10 * s, COLOR_PANEL);
    ui_outline(ui, l.panel, 1.5f * s, {0.55f, 0.46f, 0.32f, 1.0f});
}

// [SECTION] Bottom buttons

// Draws the buttons of `page` (the page the frame began with) and runs the
// one clicked action. True when the frame is to end at once.
bool draw_bottom_buttons(SetupState& state, int page, UiContext& ui, const WizardLayout& l,
                         bool& running) {
    const float s = l.s;
    const int B = l.body_size;
    const float y = l.H - 62 * s;

    const bool has_back = page == 1 || page == 2 || (page == 5 && state.install_started);
    if (has_back && ui_button(ui, ID_BACK, {278 * s, y, 140 * s, 42 * s}, tr(MSG_BACK), true,
                              false, B, false)) {
        if (page == 1) state.page = 0;
        else if (page == 2) state.page = 1;
        else reset_install(state);
    }

    if (page >= 0 && page <= 2 &&
        ui_button(ui, ID_CANCEL, {l.W - 280 * s - 40 * s, y, 140 * s, 42 * s}, tr(MSG_CANCEL),
                  true, false, B, false)) {
        running = false;  // this frame is still shown; nothing is installed or removed
    }

    if (page == 3) return false;  // the copy owns the Install page
    MsgId label = MSG_NEXT;
    if (page == 2) label = MSG_INSTALL;
    else if (page == 4) label = MSG_FINISH;
    else if (page == 5) label = MSG_CLOSE;
    const bool enabled = page != 1 || state.license_accepted;
    if (!ui_button(ui, ID_PRIMARY, {l.W - 140 * s - 28 * s, y, 140 * s, 42 * s}, tr(label),
                   enabled, true, B, false))
        return false;
    switch (page) {
    case 0: state.page = 1; return false;
    case 1: state.page = 2; return false;
    case 2: begin_install(state); return false;
    case 4:
        if (state.start_game_on_close) launch_game(state);
        return true;
    case 5: return true;
    default: return false;  // pages outside 0..5 offer a Next that does nothing
    }
}

}  // namespace

// [SECTION] Layout and frame

WizardLayout wizard_layout(UiContext& ui, float s, int width, int height) {
    WizardLayout l;
    l.s = s;
    l.W = static_cast<float>(width);
    l.H = static_cast<float>(height);
    l.body_size = static_cast<int>(18 * s);
    l.line_step = static_cast<float>(ui_line_height(ui, l.body_size, false)) + 6 * s;
    l.panel = {278 * s, 28 * s, l.W - 306 * s, l.H - 110 * s};
    l.content = {l.panel.x + 24 * s, 52 * s, l.panel.w - 48 * s, l.panel.h - 48 * s};
    return l;
}


bool draw_frame(SetupState& state, UiContext& ui, TextSystem* text, SDL_Window* window,
                float wheel, float s, int width, int height, bool& running, uint32_t emblem) {
    const WizardLayout layout = wizard_layout(ui, s, width, height);
    // Buttons act on the page the frame began with; their page change shows next frame.
    const int page = state.page;
    draw_chrome(state, ui, emblem, layout);
    draw_page(state, ui, text, window, wheel, layout);
    return draw_bottom_buttons(state, page, ui, layout, running);
}

// [SECTION] Application

bool SetupWizard::start(SDL_Window* window) {
    (void)window;
    // A shortcut's PowerShell may take seconds: the window keeps answering
    // the system meanwhile, its events queued for the next frame.
    CommandWait wait;
    wait.between_slices = [](void*) { SDL_PumpEvents(); };
    set_command_wait(wait);
    // Without fonts the wizard simply draws no text.
    text_init(text, &diagnostics, current_language());
    if (!ui_init(ui, &text, &diagnostics)) return false;
    emblem = make_emblem_texture(EMBLEM_SIZE, nullptr, nullptr);

    find_source_dir(state);
    build_install_candidates(state);
    std::string missing;
    if (!scan_game_files(state, missing)) {
        state.error_text = format_text(tr(MSG_FILES_MISSING), missing.c_str()) + "\n\n" +
                           tr(MSG_KEEP_TOGETHER);
        state.page = 5;
    }
    read_automation(automation, state);
    return true;
}

bool SetupWizard::frame(SDL_Window* window, const UiInput& input, float wheel, float scale,
                        int width, int height, bool& running) {
    run_install_work(state);
    ui_begin_frame(ui, width, height, input);
    const bool end_now =
        draw_frame(state, ui, &text, window, wheel, scale, width, height, running, emblem);
    ui_end_frame(ui);
    text_end_frame(text);
    if (end_now) {
        automation_on_exit_frame(automation, width, height);
        return false;
    }
    return !automation_after_frame(automation, width, height);
}

void SetupWizard::stop() {
    discard_copy_in_progress(state);  // closed mid-copy: no unfinished file stays behind
    ui_shutdown(ui);
    text_shutdown(text);
    if (emblem != 0) {
        const GLuint name = emblem;
        gl.glDeleteTextures(1, &name);
        emblem = 0;
    }
}
