// Shortcuts and launching: the desktop and Start-menu shortcuts, one per
// frame after the last file, made by a PowerShell command line, and starting
// the installed game with the command interpreter's `start`.
#pragma once
#include <string>

#include "app/setup_state.h"

// The installation work of one frame, before drawing: a copy step while the
// Install page is up, then a shortcut step once every file is copied.
void run_install_work(SetupState& state);
// One shortcut per call while any is left; then install_finished and PAGE_DONE.
void shortcut_step(SetupState& state);
// Hands the PowerShell command line that writes one .lnk file to the command runner.
void create_shortcut(const std::string& link_path, const std::string& target_path, const std::string& working_dir);
// Every single-quote character PowerShell knows (' and U+2018 to U+201B)
// doubled, for use between single quotes in PowerShell.
std::string quote_for_powershell(const std::string& text);
// start "" "<install_dir>/Torvanel.exe" (the command layer starts it in its folder)
void launch_game(const SetupState& state);
