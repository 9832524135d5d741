// The setup wizard: start, frame and stop; the chrome around every page, the
// bottom buttons and the page transitions they trigger.
#include "app/wizard.h"

#include <SDL.h>

#include "app/pages.h"
#include "i18n/catalogue.h"
#include "i18n/languages.h"
#include "i18n/messages.h"
#include "render/emblem.h"
#include "render/gl_api.h"
#include "setup/command.h"
#include "setup/copy_engine.h"
#include "setup/game_files.h"
#include "setup/paths.h"
#include "setup/shortcuts.h"
#include "text/text_render.h"
#include "ui/palette.h"
#include "ui/widgets.h"

namespace {

// The step list of the sidebar, and the step each page shows as current
// (the failure page, like the Done page, shows the last one).
constexpr int STEP_COUNT = 5;
constexpr MsgId STEP_LABELS[STEP_COUNT] = {MSG_STEP_WELCOME, MSG_STEP_LICENSE, MSG_STEP_LOCATION, MSG_STEP_INSTALL,
                                           MSG_FINISH};
constexpr int PAGE_STEP[PAGE_COUNT] = {0, 1, 2, 3, 4, 4};
constexpr int EMBLEM_SIZE = 256;

// [SECTION] Chrome

void draw_chrome(const SetupState& state, UiContext& ui, uint32_t emblem, const WizardLayout& l) {
    const float s = l.s;
    ui_gradient_rect(ui, {0, 0, l.W, l.H}, COLOR_BACKGROUND_TOP, COLOR_BACKGROUND_BOTTOM);
    ui_fill_rect(ui, {0, 0, 250 * s, l.H}, COLOR_PANEL);
    ui_fill_rect(ui, {250 * s, 0, 2 * s, l.H}, COLOR_SIDEBAR_EDGE);
    ui_image(ui, {45 * s, 22 * s, 160 * s, 160 * s}, emblem, COLOR_EMBLEM_TINT);
    ui_text(ui, 125 * s, 190 * s, "Torvanel", static_cast<int>(22 * s), COLOR_ACCENT, Align::Centre);
    ui_text(ui, 125 * s, 218 * s, tr(MSG_SETUP), static_cast<int>(16 * s), COLOR_MUTED, Align::Centre);

    // Page numbers outside the six (only automation asks for one) show the first step.
    const int current = state.page >= PAGE_WELCOME && state.page < PAGE_COUNT ? PAGE_STEP[state.page] : 0;
    for (int i = 0; i < STEP_COUNT; ++i) {
        const float y = 268 * s + (34 * i) * s;
        const UiRect marker = {28 * s, y + 6 * s, 12 * s, 12 * s};
        const UiColor& colour = i == current ? COLOR_ACCENT : i < current ? COLOR_TEXT : COLOR_MUTED;
        if (i > current) ui_outline(ui, marker, 1.5f * s, colour);
        else ui_fill_rect(ui, marker, colour);
        ui_text(ui, 52 * s, y, tr(STEP_LABELS[i]), static_cast<int>(18 * s), colour);
    }

    ui_round_rect(ui, l.panel, 10 * s, COLOR_PANEL);
    ui_outline(ui, l.panel, 1.5f * s, COLOR_PANEL_OUTLINE);
}

// [SECTION] Bottom buttons

// Draws the buttons of `page` (the page the frame began with) and runs the
// one clicked action. True when the frame is to end at once.
bool draw_bottom_buttons(SetupState& state, int page, UiContext& ui, const WizardLayout& l, bool& running) {
    const int B = l.body_size;

    const bool has_back =
        page == PAGE_LICENSE || page == PAGE_LOCATION || (page == PAGE_FAILED && state.install_started);
    if (has_back && ui_button(ui, ID_BACK, l.back_button, tr(MSG_BACK), B)) {
        if (page == PAGE_LICENSE) state.page = PAGE_WELCOME;
        else if (page == PAGE_LOCATION) state.page = PAGE_LICENSE;
        else reset_install(state);
    }

    const bool has_cancel = page == PAGE_WELCOME || page == PAGE_LICENSE || page == PAGE_LOCATION;
    if (has_cancel && ui_button(ui, ID_CANCEL, l.cancel_button, tr(MSG_CANCEL), B)) {
        running = false;  // this frame is still shown; nothing is installed or removed
    }

    if (page == PAGE_INSTALL) return false;  // the copy owns the Install page
    MsgId label = MSG_NEXT;
    if (page == PAGE_LOCATION) label = MSG_INSTALL;
    else if (page == PAGE_DONE) label = MSG_FINISH;
    else if (page == PAGE_FAILED) label = MSG_CLOSE;
    const bool enabled = page != PAGE_LICENSE || state.license_accepted;
    const WidgetFlags flags = enabled ? WIDGET_PRIMARY : WIDGET_PRIMARY | WIDGET_DISABLED;
    if (!ui_button(ui, ID_PRIMARY, l.primary_button, tr(label), B, flags)) return false;
    switch (page) {
    case PAGE_WELCOME: state.page = PAGE_LICENSE; return false;
    case PAGE_LICENSE: state.page = PAGE_LOCATION; return false;
    case PAGE_LOCATION: begin_install(state); return false;
    case PAGE_DONE:
        if (state.start_game_on_close) launch_game(state);
        return true;
    case PAGE_FAILED: return true;
    default: return false;  // page numbers outside the six offer a Next that does nothing
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
    l.line_step = static_cast<float>(ui_line_height(ui, l.body_size)) + 6 * s;
    const FrameLayout frame = frame_layout(s, l.W, l.H);
    l.panel = frame.panel;
    l.content = frame.content;
    l.back_button = frame.back_button;
    l.cancel_button = frame.cancel_button;
    l.primary_button = frame.primary_button;
    return l;
}

bool draw_frame(SetupState& state, UiContext& ui, TextSystem* text, SDL_Window* window, float wheel, float s, int width,
                int height, bool& running, uint32_t emblem) {
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
        state.error_text = format_text(tr(MSG_FILES_MISSING), missing.c_str()) + "\n\n" + tr(MSG_KEEP_TOGETHER);
        state.page = PAGE_FAILED;
    }
    read_automation(automation, state);
    return true;
}

bool SetupWizard::frame(SDL_Window* window, const UiInput& input, float wheel, float scale, int width, int height,
                        bool& running) {
    run_install_work(state);
    ui_begin_frame(ui, width, height, input);
    const bool end_now = draw_frame(state, ui, &text, window, wheel, scale, width, height, running, emblem);
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
