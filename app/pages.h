// The six wizard pages: what each draws inside the content box and what its
// own controls do (language button, licence box and scrolling, "Change
// location", the option check boxes).
#pragma once
#include <string>
#include <vector>

#include "app/setup_state.h"
#include "app/wizard.h"

struct SDL_Window;

extern const char* const EULA_LINES[16];

// The licence lines joined into paragraphs: indented lines continue the paragraph before them.
std::vector<std::string> license_paragraphs();

// Draws the current page's content and runs the action of a page control clicked this frame.
void draw_page(SetupState& state, UiContext& ui, TextSystem* text, SDL_Window* window, float wheel,
               const WizardLayout& layout);
