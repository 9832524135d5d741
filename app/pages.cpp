// The six wizard pages drawn inside the content box, and their own controls.
#include "app/pages.h"

#include <SDL.h>

#include <algorithm>

#include "i18n/catalogue.h"
#include "i18n/languages.h"
#include "i18n/messages.h"
#include "setup/copy_engine.h"
#include "setup/game_files.h"
#include "setup/paths.h"
#include "text/elide.h"
#include "text/text_render.h"
#include "text/text_system.h"
#include "ui/palette.h"
#include "ui/paragraph.h"
#include "ui/widgets.h"

const char* const EULA_LINES[16] = {
    "TORVANEL END USER LICENSE AGREEMENT",
    "",
    "1. License. You are granted a personal license to install and play Torvanel",
    "   for personal, non-commercial entertainment.",
    "",
    "2. Restrictions. You may not sell, rent or redistribute copies of the game,",
    "   and you may not reverse engineer the game to make a copy of it.",
    "",
    "3. Saved games. Saved games are stored on your computer in your user profile.",
    "   You are responsible for keeping your own backups.",
    "",
    "4. No warranty. The game is provided as is, without warranty of any kind.",
    "   The developer is not liable for any damage or lost progress caused by using it.",
    "",
    "5. Acceptance. By pressing Next after allowing these terms you agree to them.",
    "   If you do not agree, press Cancel and the game will not be installed.",
};

namespace {

constexpr double BYTES_TO_MB = 1.0 / 1048576.0;

// [SECTION] Welcome

void draw_welcome(UiContext& ui, TextSystem* text, SDL_Window* window, const WizardLayout& l) {
    const float s = l.s;
    const UiRect& C = l.content;
    const int B = l.body_size;
    ui_heading(ui, C, s, tr(MSG_WELCOME_HEADING), COLOR_ACCENT);
    const float y = draw_paragraph(ui, C.x, C.y + 56 * s, tr(MSG_WELCOME_TEXT), C.w, B, l.line_step, COLOR_TEXT);
    draw_paragraph(ui, C.x, y + 14 * s, tr(MSG_WELCOME_HINT), C.w, B, l.line_step, COLOR_MUTED);

    const float label_y = C.y + C.h - 100 * s;
    ui_text(ui, C.x, label_y, tr(MSG_LANGUAGE), B, COLOR_MUTED);
    const UiRect button = {C.x, label_y + l.line_step, 300 * s, 40 * s};
    if (ui_button(ui, ID_LANGUAGE, button, language_info(current_language()).native_name, B)) {
        const uint8_t next = static_cast<uint8_t>((current_language() + 1) % LANGUAGE_COUNT);
        set_language(next);
        if (text) text_set_language(*text, next);
        if (window) SDL_SetWindowTitle(window, tr(MSG_WINDOW_TITLE));
    }
}

// [SECTION] License

void draw_license(SetupState& state, UiContext& ui, float wheel, const WizardLayout& l) {
    const float s = l.s;
    const UiRect& C = l.content;
    const int B = l.body_size;
    const float L = l.line_step;
    ui_heading(ui, C, s, tr(MSG_LICENSE_HEADING), COLOR_ACCENT);
    ui_text(ui, C.x, C.y + 44 * s, tr(MSG_LICENSE_NOTE), B, COLOR_MUTED);

    const UiRect R = license_box(C, s);
    ui_fill_rect(ui, R, COLOR_WELL);
    ui_outline(ui, R, 1.0f, COLOR_WELL_OUTLINE);

    // The agreement never changes and its wrapped lines are remembered; the
    // list keeps its strings' capacity, so a frame copies without allocating.
    static const std::vector<std::string> paragraphs = license_paragraphs();
    thread_local std::vector<std::string> lines;
    size_t count = 0;
    auto add_line = [&](const std::string& line) {
        if (count == lines.size()) lines.emplace_back();
        lines[count++] = line;
    };
    const int wrap_width = static_cast<int>(R.w - 28 * s);
    for (const std::string& paragraph : paragraphs) {
        if (paragraph.empty()) add_line(paragraph);
        else
            for (const std::string& line : wrapped_lines(ui, paragraph, wrap_width, B)) add_line(line);
    }

    const UiInput& in = ui.input;
    if (in.mouse_x >= R.x && in.mouse_y >= R.y && in.mouse_x < R.x + R.w && in.mouse_y < R.y + R.h)
        state.license_scroll -= wheel * L;  // wheel up scrolls towards the top
    const float content_height = static_cast<float>(count) * L + 24 * s;
    const float max_scroll = content_height - R.h;
    state.license_scroll = max_scroll > 0 ? std::clamp(state.license_scroll, 0.0f, max_scroll) : 0;

    // Lines half scrolled out are cut at the inside of the outline; far ones are skipped.
    ui_set_clip(ui, {R.x + 1, R.y + 1, R.w - 2, R.h - 2});
    for (size_t i = 0; i < count; ++i) {
        const float y = R.y + 12 * s + static_cast<float>(i) * L - state.license_scroll;
        if (y >= R.y - L && y <= R.y + R.h) ui_text(ui, R.x + 14 * s, y, lines[i], B, COLOR_TEXT);
    }
    ui_clear_clip(ui);
    if (max_scroll > 0) {
        const float thumb = std::max(R.h * R.h / content_height, 30 * s);
        const float thumb_y = R.y + (R.h - thumb) * state.license_scroll / max_scroll;
        ui_fill_rect(ui, {R.x + R.w - 8 * s, thumb_y, 5 * s, thumb}, COLOR_SCROLL_THUMB);
    }

    // Ticked, the box takes the primary style, like the Next button it enables.
    const WidgetFlags style = state.license_accepted ? WIDGET_PRIMARY : 0;
    const UiRect box = license_check_box(C, s);
    if (ui_checkbox(ui, ID_LICENSE, box, tr(MSG_I_ALLOW), state.license_accepted, B, s, style))
        state.license_accepted = !state.license_accepted;
}

// The path on one line of `width` pixels, its middle elided when it is wider.
std::string fitted_path(UiContext& ui, const std::string& path, float width, int size) {
    return elide_path_middle(path, static_cast<int>(width),
                             [&](const std::string& t) { return ui_text_width(ui, t, size); });
}

// [SECTION] Location

void draw_location(SetupState& state, UiContext& ui, const WizardLayout& l) {
    const float s = l.s;
    const UiRect& C = l.content;
    const int B = l.body_size;
    ui_heading(ui, C, s, tr(MSG_LOCATION_HEADING), COLOR_ACCENT);
    ui_text(ui, C.x, C.y + 56 * s, tr(MSG_INSTALL_INTO), B, COLOR_MUTED);

    const UiRect folder = {C.x, C.y + 56 * s + l.line_step, C.w, 40 * s};
    ui_round_rect(ui, folder, 6 * s, COLOR_WELL);
    ui_text_in_rect(ui, folder, fitted_path(ui, state.install_dir, folder.w - 24 * s, B), B, COLOR_TEXT, Align::Left,
                    12 * s);

    const UiRect change = {C.x, folder.y + 50 * s, 300 * s, 38 * s};
    if (ui_button(ui, ID_CHANGE_LOCATION, change, tr(MSG_CHANGE_LOCATION), B)) choose_next_location(state);

    const UiRect desktop = {C.x, change.y + 66 * s, 380 * s, 38 * s};
    if (ui_checkbox(ui, ID_DESKTOP, desktop, tr(MSG_DESKTOP_SHORTCUT), state.make_desktop_shortcut, B, s))
        state.make_desktop_shortcut = !state.make_desktop_shortcut;
    const UiRect start_menu = {C.x, desktop.y + 48 * s, 380 * s, 38 * s};
    if (ui_checkbox(ui, ID_START_MENU, start_menu, tr(MSG_START_MENU), state.make_start_menu_entry, B, s))
        state.make_start_menu_entry = !state.make_start_menu_entry;

    const std::string space = format_text(tr(MSG_SPACE_NEEDED), space_needed_mb(state));
    ui_text(ui, C.x, start_menu.y + 60 * s, space, B, COLOR_MUTED);
}

// [SECTION] Install

void draw_install(const SetupState& state, UiContext& ui, const WizardLayout& l) {
    const float s = l.s;
    const UiRect& C = l.content;
    const int B = l.body_size;
    ui_heading(ui, C, s, tr(MSG_COPYING_HEADING), COLOR_ACCENT);

    const float f = install_fraction(state);
    ui_progress(ui, {C.x, C.y + 52 * s, C.w, 26 * s}, f, COLOR_PROGRESS_FILL, COLOR_PROGRESS_TRACK);
    // Scaled in float like the fraction itself: a double product can land just below a half
    // (0.835f gives 83.4999...) and print one percent less.
    const double percent = static_cast<double>(f * 100.0f);
    ui_text(ui, C.x + C.w, C.y + 84 * s, format_text("%.0f%%", percent), B, COLOR_ACCENT, Align::Right);

    float y = C.y + 116 * s;
    for (const InstallFile& file : state.files) {
        MsgId status = MSG_STATUS_WAITING;
        const UiColor* colour = &COLOR_MUTED;
        if (file.status == Done) {
            status = MSG_STATUS_DONE;
            colour = &COLOR_TEXT;
        } else if (file.status == Copying) {
            status = MSG_STATUS_COPYING;
            colour = &COLOR_ACCENT;
        }
        ui_text(ui, C.x, y, tr(status), B, *colour);
        ui_text(ui, C.x + 170 * s, y, file.name, B, *colour);
        ui_text(ui, C.x + C.w, y, format_text("%.1f MB", file.size * BYTES_TO_MB), B, COLOR_MUTED, Align::Right);
        y += l.line_step;
    }

    if (state.current_file >= state.files.size() && !state.install_finished) {
        const bool shortcuts = state.make_desktop_shortcut || state.make_start_menu_entry;
        ui_text(ui, C.x, y + 6 * s, tr(shortcuts ? MSG_CREATING_SHORTCUTS : MSG_FINISHING), B, COLOR_ACCENT);
    }
}

// [SECTION] Done and failure

void draw_done(SetupState& state, UiContext& ui, const WizardLayout& l) {
    const float s = l.s;
    const UiRect& C = l.content;
    const int B = l.body_size;
    ui_heading(ui, C, s, tr(MSG_DONE_HEADING), COLOR_ACCENT);
    float y = draw_paragraph(ui, C.x, C.y + 60 * s, tr(MSG_COPIED_TO), C.w, B, l.line_step, COLOR_TEXT);
    ui_text(ui, C.x, y, fitted_path(ui, state.install_dir, C.w, B), B, COLOR_ACCENT);
    y += l.line_step;
    const UiRect box = {C.x, y + 14 * s, std::min(460 * s, C.w), 40 * s};
    if (ui_checkbox(ui, ID_START_GAME, box, tr(MSG_START_GAME), state.start_game_on_close, B, s))
        state.start_game_on_close = !state.start_game_on_close;
}

void draw_failure(const SetupState& state, UiContext& ui, const WizardLayout& l) {
    const UiRect& C = l.content;
    ui_heading(ui, C, l.s, tr(MSG_FAILED_HEADING), COLOR_ERROR);
    float y = C.y + 60 * l.s;
    size_t start = 0;
    for (;;) {
        const size_t end = state.error_text.find('\n', start);
        const std::string piece = state.error_text.substr(start, end - start);
        if (piece.empty()) {
            y += 0.6f * l.line_step;  // "\n\n" leaves a gap of 0.6 line
        } else if (piece == state.install_dir) {
            ui_text(ui, C.x, y, fitted_path(ui, piece, C.w, l.body_size), l.body_size, COLOR_TEXT);
            y += l.line_step;
        } else {
            y = draw_paragraph(ui, C.x, y, piece, C.w, l.body_size, l.line_step, COLOR_TEXT);
        }
        if (end == std::string::npos) break;
        start = end + 1;
    }
}

}  // namespace

std::vector<std::string> license_paragraphs() {
    std::vector<std::string> paragraphs;
    for (const char* line : EULA_LINES) {
        const std::string text = line;
        const size_t p = text.find_first_not_of(' ');
        if (p == std::string::npos) {
            paragraphs.emplace_back();
        } else if (p == 0 || paragraphs.empty() || paragraphs.back().empty()) {
            paragraphs.push_back(text.substr(p));
        } else {
            paragraphs.back() += ' ';
            paragraphs.back() += text.substr(p);
        }
    }
    return paragraphs;
}

void draw_page(SetupState& state, UiContext& ui, TextSystem* text, SDL_Window* window, float wheel,
               const WizardLayout& layout) {
    switch (state.page) {
    case PAGE_WELCOME: draw_welcome(ui, text, window, layout); break;
    case PAGE_LICENSE: draw_license(state, ui, wheel, layout); break;
    case PAGE_LOCATION: draw_location(state, ui, layout); break;
    case PAGE_INSTALL: draw_install(state, ui, layout); break;
    case PAGE_DONE: draw_done(state, ui, layout); break;
    case PAGE_FAILED: draw_failure(state, ui, layout); break;
    default: break;  // other page numbers leave the panel empty
    }
}
