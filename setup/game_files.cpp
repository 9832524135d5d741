// The game's eight files and the start-up check: see game_files.h.
#include "setup/game_files.h"

#include <SDL.h>

#include <filesystem>
#include <system_error>

#include "setup/paths.h"

const char* const GAME_FILES[GAME_FILE_COUNT] = {
    "Torvanel.exe", "SDL2.dll", "SDL2_ttf.dll", "music1.mp3", "music2.mp3", "music3.mp3", "README.txt", "LICENSE.txt",
};

void find_source_dir(SetupState& state) {
    char* base = SDL_GetBasePath();
    if (base == nullptr) {
        state.source_dir = "./";
        return;
    }
    state.source_dir = base;
    SDL_free(base);
}

bool scan_game_files(SetupState& state, std::string& missing) {
    state.files.clear();
    state.game_bytes = 0;
    for (const char* name : GAME_FILES) {
        const std::string path = join_path(state.source_dir, name);
        // The error-code form fails for anything but a regular file
        // (nothing there, a directory, a device), which is what we want.
        std::error_code error;
        const uintmax_t size = std::filesystem::file_size(std::filesystem::u8path(path), error);
        if (error) {
            missing = name;
            return false;
        }
        state.files.push_back(InstallFile{name, static_cast<uint64_t>(size), Waiting});
        state.game_bytes += size;
    }
    return true;
}

double space_needed_mb(const SetupState& state) { return static_cast<double>(state.game_bytes) * (1.0 / 1048576.0); }
