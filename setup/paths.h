// Install locations and path joining: the engine's one rule for putting two
// path pieces together, the environment lookup with its "." fallback, the
// three install candidates and the "Change location" cycle.
#pragma once
#include <string>

#include "app/setup_state.h"
#include "platform/platform.h"

// folder + '/' + name, unless folder is empty or already ends in '/' or '\'.
std::string join_path(const std::string& folder, const std::string& name);
// The variable's value, or "." when it is unset or empty.
std::string env_folder(const char* variable);
// The user's folder as the system keeps it (Windows' known folders follow a
// Desktop moved to OneDrive); where the system cannot tell, the variable's
// folder (or ".") joined with `below_variable`, which may be empty.
std::string user_folder(KnownFolder folder, const char* variable, const char* below_variable);
// Candidates <local application data>/Programs/Torvanel, C:/Games/Torvanel, D:/Games/Torvanel;
// proposes the first.
void build_install_candidates(SetupState& state);
// Next candidate, wrapping after the third.
void choose_next_location(SetupState& state);
