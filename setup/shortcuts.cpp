// Shortcuts and launching: see shortcuts.h.
#include "setup/shortcuts.h"

#include "setup/command.h"
#include "setup/copy_engine.h"
#include "setup/paths.h"

namespace {
constexpr char START_MENU_PROGRAMS[] = "Microsoft/Windows/Start Menu/Programs";
}  // namespace

void run_install_work(SetupState& state) {
    if (state.page == PAGE_INSTALL && !state.install_finished) copy_step(state);
    if (state.page == PAGE_INSTALL && state.current_file >= state.files.size()) shortcut_step(state);
}

void shortcut_step(SetupState& state) {
    const std::string target = join_path(state.install_dir, "Torvanel.exe");
    if (state.make_desktop_shortcut && state.shortcuts_done == 0) {
        create_shortcut(join_path(user_folder(KnownFolder::Desktop, "USERPROFILE", "Desktop"), "Torvanel.lnk"), target,
                        state.install_dir);
    } else if (state.make_start_menu_entry && state.shortcuts_done < state.shortcuts_planned) {
        create_shortcut(join_path(user_folder(KnownFolder::Programs, "APPDATA", START_MENU_PROGRAMS), "Torvanel.lnk"),
                        target, state.install_dir);
    } else {
        state.install_finished = true;
        state.page = PAGE_DONE;
        return;
    }
    state.shortcuts_done += 1;
    state.progress_done += SHORTCUT_PROGRESS_BYTES;
}

void create_shortcut(const std::string& link_path, const std::string& target_path, const std::string& working_dir) {
    // The -Command argument is one double-quoted string; the paths sit in
    // PowerShell single quotes inside it, hence quote_for_powershell.
    std::string line =
        "powershell -NoProfile -WindowStyle Hidden -ExecutionPolicy Bypass -Command "
        "\"$s=(New-Object -ComObject WScript.Shell).CreateShortcut('";
    line += quote_for_powershell(link_path);
    line += "'); $s.TargetPath='";
    line += quote_for_powershell(target_path);
    line += "'; $s.WorkingDirectory='";
    line += quote_for_powershell(working_dir);
    line += "'; $s.Description='";
    line += "Torvanel";
    line += "'; $s.Save()\"";
    run_command(line);
}

std::string quote_for_powershell(const std::string& text) {
    // PowerShell ends a single-quoted string at any of five quote characters:
    // ' and the typographic U+2018 to U+201B (UTF-8 E2 80 98 to E2 80 9B), as
    // in a profile folder such as C:\Users\O’Brien. Each is doubled as itself.
    std::string quoted;
    quoted.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool typographic = c == 0xE2 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80 &&
                                 static_cast<unsigned char>(text[i + 2]) >= 0x98 &&
                                 static_cast<unsigned char>(text[i + 2]) <= 0x9B;
        if (typographic) {
            quoted.append(text, i, 3).append(text, i, 3);
            i += 2;
        } else {
            quoted += text[i];
            if (c == '\'') quoted += '\'';
        }
    }
    return quoted;
}

void launch_game(const SetupState& state) {
    // The empty "" is start's window title; without it start would take the
    // quoted program path as the title.
    run_command("start \"\" \"" + join_path(state.install_dir, "Torvanel.exe") + "\"");
}
