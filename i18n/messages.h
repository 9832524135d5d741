// The catalogue rows this program shows, by name: every message the shell,
// the wizard's frame and pages, and the installation engine ask `tr` for.
// Most rows of the shared catalogue are the game's own and have no name here.
//
// The list is kept once, as TORVANEL_NAMED_MESSAGES, so that the catalogue
// generator (po_compiler, which includes this header) can check every entry
// at build time: each named row must exist and its English text must still
// read as written beside the name. A name thus never points at another text
// unnoticed, and the English text can be read here without opening en.po.
#pragma once
#include "i18n/catalogue.h"

// X(name, row, English text)
#define TORVANEL_NAMED_MESSAGES(X)                                                                              \
    /* The shell: the window title and the one start-up failure the user sees. */                               \
    X(MSG_WINDOW_TITLE, 194, "Torvanel Setup")                                                                  \
    X(MSG_NO_OPENGL, 225, "OpenGL 3.3 is not available on this computer.")                                      \
    /* The frame around every page: sidebar and bottom buttons. */                                              \
    X(MSG_SETUP, 230, "Setup")                                                                                  \
    X(MSG_STEP_WELCOME, 214, "Welcome")                                                                         \
    X(MSG_STEP_LICENSE, 215, "License")                                                                         \
    X(MSG_STEP_LOCATION, 216, "Location")                                                                       \
    X(MSG_STEP_INSTALL, 217, "Install")                                                                         \
    X(MSG_BACK, 2, "Back")                                                                                      \
    X(MSG_NEXT, 211, "Next")                                                                                    \
    X(MSG_CANCEL, 212, "Cancel")                                                                                \
    X(MSG_INSTALL, 204, "Install")                                                                              \
    X(MSG_FINISH, 213, "Finish") /* also the last step of the sidebar */                                        \
    X(MSG_CLOSE, 3, "Close")                                                                                    \
    /* Welcome */                                                                                               \
    X(MSG_WELCOME_HEADING, 195, "Welcome to Torvanel Setup")                                                    \
    X(MSG_WELCOME_TEXT, 196,                                                                                    \
      "This wizard installs Torvanel, a modern city builder, on this computer. You will read the "              \
      "license, choose where the game goes, and watch the files being copied.")                                 \
    X(MSG_WELCOME_HINT, 197, "Press Next to continue, or Cancel to leave without installing.")                  \
    X(MSG_LANGUAGE, 31, "Language")                                                                             \
    /* License */                                                                                               \
    X(MSG_LICENSE_HEADING, 198, "License agreement")                                                            \
    X(MSG_LICENSE_NOTE, 199, "The license text is in English.")                                                 \
    X(MSG_I_ALLOW, 231, "I allow these terms")                                                                  \
    /* Location */                                                                                              \
    X(MSG_LOCATION_HEADING, 200, "Choose the install location")                                                 \
    X(MSG_INSTALL_INTO, 201, "Install into:")                                                                   \
    X(MSG_CHANGE_LOCATION, 202, "Change location")                                                              \
    X(MSG_DESKTOP_SHORTCUT, 218, "Create a desktop shortcut")                                                   \
    X(MSG_START_MENU, 219, "Add to the Start menu")                                                             \
    X(MSG_SPACE_NEEDED, 203, "Space needed: about %.1f MB")                                                     \
    /* Install */                                                                                               \
    X(MSG_COPYING_HEADING, 205, "Copying files")                                                                \
    X(MSG_STATUS_DONE, 232, "Done")                                                                             \
    X(MSG_STATUS_COPYING, 233, "Copying")                                                                       \
    X(MSG_STATUS_WAITING, 234, "Waiting")                                                                       \
    X(MSG_CREATING_SHORTCUTS, 206, "Creating shortcuts...")                                                     \
    X(MSG_FINISHING, 207, "Finishing...")                                                                       \
    /* Done */                                                                                                  \
    X(MSG_DONE_HEADING, 208, "Torvanel is installed")                                                           \
    X(MSG_COPIED_TO, 209, "The game files were copied to:")                                                     \
    X(MSG_START_GAME, 220, "Start Torvanel when setup closes")                                                  \
    /* The failure page and the texts that explain a failure on it. */                                          \
    X(MSG_FAILED_HEADING, 210, "Setup could not finish")                                                        \
    X(MSG_FILES_MISSING, 224, "The game files are missing: %s")                                                 \
    X(MSG_KEEP_TOGETHER, 235, "Keep this setup program in the same folder as the game files and run it again.") \
    X(MSG_NO_FOLDER, 222, "Could not create the folder:")                                                       \
    X(MSG_CANNOT_WRITE, 223, "Could not write %s to:")                                                          \
    X(MSG_DISK_FULL, 221, "The disk is full or not writable while copying %s.")                                 \
    X(MSG_CLOSE_GAME, 236, "If the game is running, close it, press Back and then Install again.")

#define TORVANEL_DECLARE_MESSAGE(name, row, english) constexpr MsgId name = row;
TORVANEL_NAMED_MESSAGES(TORVANEL_DECLARE_MESSAGE)
#undef TORVANEL_DECLARE_MESSAGE

// One entry of the list, for the generator's check and for tests that go
// through every text the program shows.
struct NamedMessage {
    const char* name;
    MsgId row;
    const char* english;
};

#define TORVANEL_LIST_MESSAGE(name, row, english) {#name, row, english},
constexpr NamedMessage NAMED_MESSAGES[] = {TORVANEL_NAMED_MESSAGES(TORVANEL_LIST_MESSAGE)};
#undef TORVANEL_LIST_MESSAGE
