// The setup wizard: the application the shell drives. It owns the setup
// state, the text system, the UI renderer, the emblem texture and the
// automation values; draws the chrome around every page, the bottom buttons
// and the page transitions.
#pragma once
#include <cstdint>
#include <string>

#include "app/automation.h"
#include "app/setup_state.h"
#include "app/shell.h"
#include "app/wizard_layout.h"
#include "render/ui_batch.h"
#include "text/text_system.h"

struct SDL_Window;

// Widget ids across frames.
enum WidgetId : uint32_t {
    ID_BACK = 1,
    ID_PRIMARY = 2,
    ID_CANCEL = 3,
    ID_LICENSE = 4,
    ID_CHANGE_LOCATION = 5,
    ID_DESKTOP = 6,
    ID_START_MENU = 7,
    ID_START_GAME = 8,
    ID_LANGUAGE = 9
};

// Geometry derived from the UI scale and the drawable size, every frame.
struct WizardLayout {
    float s;          // UI scale
    float W, H;       // drawable size
    int body_size;    // B: body text size
    float line_step;  // L: line height of B plus 6 s
    UiRect panel;     // content panel
    UiRect content;   // C: content box inside the panel
    UiRect back_button, cancel_button, primary_button;
};
WizardLayout wizard_layout(UiContext& ui, float s, int width, int height);

// Draws the chrome, the page and the bottom buttons; runs the one clicked action.
// Returns true when the frame is to end at once (Finish on the Done page, Close on the failure page).
// `emblem` is the sidebar's texture (0 draws none).
bool draw_frame(SetupState& state, UiContext& ui, TextSystem* text, SDL_Window* window, float wheel, float s, int width,
                int height, bool& running, uint32_t emblem = 0);

struct SetupWizard : Application {
    SetupState state;
    TextSystem text;
    UiContext ui;
    uint32_t emblem = 0;
    Automation automation;
    std::string diagnostics;

    bool start(SDL_Window* window) override;
    bool frame(SDL_Window* window, const UiInput& input, float wheel, float scale, int width, int height,
               bool& running) override;
    void stop() override;
};
