// Install locations and path joining: see paths.h.
#include "setup/paths.h"

#include "platform/platform.h"

std::string join_path(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    const char last = folder.back();
    if (last == '/' || last == '\\') return folder + name;
    return folder + '/' + name;
}

std::string env_folder(const char* variable) {
    const char* value = environment_value(variable);
    // Set but empty counts as unset, so the folder is "." either way.
    if (value == nullptr || value[0] == '\0') return ".";
    return value;
}

std::string user_folder(KnownFolder folder, const char* variable, const char* below_variable) {
    const std::string known = known_folder(folder);
    if (!known.empty()) return known;
    if (below_variable[0] == '\0') return env_folder(variable);
    return join_path(env_folder(variable), below_variable);
}

void build_install_candidates(SetupState& state) {
    state.install_candidates = {
        join_path(user_folder(KnownFolder::LocalAppData, "LOCALAPPDATA", ""), "Programs/Torvanel"),
        "C:/Games/Torvanel",
        "D:/Games/Torvanel",
    };
    state.candidate_index = 0;
    state.install_dir = state.install_candidates[0];
}

void choose_next_location(SetupState& state) {
    const int32_t count = static_cast<int32_t>(state.install_candidates.size());
    if (count == 0) return;  // start-up has not built the candidates yet
    state.candidate_index = (state.candidate_index + 1) % count;
    state.install_dir = state.install_candidates[static_cast<size_t>(state.candidate_index)];
}
