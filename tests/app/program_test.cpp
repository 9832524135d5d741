// Whole-program runs under the offscreen driver: a copy of the program beside generated game
// files, started with the automation variables; its 960 x 600 screenshot is probed pixel by pixel.
#include <SDL.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/setup_state.h"
#include "app/wizard_layout.h"
#include "tests/support/portable.h"
#include "ui/palette.h"

namespace fs = std::filesystem;

namespace {

// [SECTION] Colours as the program draws them over its background

struct Rgb {
    float r, g, b;
};

constexpr Rgb rgb_of(const UiColor& c) { return {c.r, c.g, c.b}; }

// `top` drawn with alpha `a` over `under`.
Rgb over(Rgb top, float a, Rgb under) {
    return {top.r * a + under.r * (1 - a), top.g * a + under.g * (1 - a), top.b * a + under.b * (1 - a)};
}
// The window's vertical gradient at row y of a window `height` high, the panels laid over it and the wells on them.
Rgb background(int y, int height = WINDOW_HEIGHT) {
    return over(rgb_of(COLOR_BACKGROUND_BOTTOM), (y + .5f) / height, rgb_of(COLOR_BACKGROUND_TOP));
}
Rgb panel(int y) { return over(rgb_of(COLOR_PANEL), COLOR_PANEL.a, background(y)); }
Rgb well(int y) { return over(rgb_of(COLOR_WELL), COLOR_WELL.a, panel(y)); }

constexpr Rgb ACCENT = rgb_of(COLOR_ACCENT);
constexpr Rgb TEXT = rgb_of(COLOR_TEXT);
constexpr Rgb MUTED = rgb_of(COLOR_MUTED);
constexpr Rgb ERROR_RED = rgb_of(COLOR_ERROR);
constexpr Rgb PRIMARY_FACE = rgb_of(COLOR_FACE_PRIMARY);
constexpr Rgb NORMAL_FACE = rgb_of(COLOR_FACE_NORMAL);
constexpr Rgb BLACK = {0, 0, 0};

// [SECTION] Where to look

constexpr UiRect CONTENT = FRAME_AT_SCALE_1.content;
// Probes of the bottom buttons: on the face, clear of the border and the label.
constexpr int ROW_Y = static_cast<int>(FRAME_AT_SCALE_1.primary_button.y) + 7;
constexpr int PRIMARY_X = static_cast<int>(FRAME_AT_SCALE_1.primary_button.x) + 8;
constexpr int BACK_X = static_cast<int>(FRAME_AT_SCALE_1.back_button.x) + 12;
// The sidebar's step list: a 12-pixel marker per step, 34 apart, filled up to the current step, outlined after it.
constexpr int STEP_COUNT = 5;
constexpr int STEP_MARKER_CENTRE_X = 34;
constexpr int STEP_MARKER_LEFT_X = 28;
constexpr int FIRST_STEP_MARKER_CENTRE_Y = 280;
constexpr int STEP_SPACING = 34;
// The steps the pages show as current.
constexpr int WELCOME_STEP = 0;
constexpr int LICENSE_STEP = 1;
constexpr int LOCATION_STEP = 2;
constexpr int INSTALL_STEP = 3;
constexpr int LAST_STEP = 4;  // the Done page and the failure page
// The page heading, 28 pixels high at the content box's top; nothing of it above.
constexpr int HEADING_TOP = static_cast<int>(CONTENT.y);
constexpr int HEADING_BOTTOM = HEADING_TOP + 34;

// The variables that start the program on `page`, pictured after `frames` frames.
std::string start_page(int page, int frames) {
    return "ZR_SETUP_PAGE=" + std::to_string(page) + " ZR_FRAMES=" + std::to_string(frames);
}

// One pixel of the picture with a colour.
struct PixelProbe {
    const char* what;
    int x, y;
    Rgb want;
};
// An area of the picture with some pixel of a colour (`present`) or with not one.
struct AreaProbe {
    const char* what;
    int x0, y0, x1, y1;
    Rgb want;
    bool present;
};

const PixelProbe PRIMARY_BUTTON = {"the primary button", PRIMARY_X, ROW_Y, PRIMARY_FACE};
const PixelProbe BACK_BUTTON = {"Back", BACK_X, ROW_Y, NORMAL_FACE};
const PixelProbe NO_PRIMARY_BUTTON = {"no primary button", PRIMARY_X, ROW_Y, background(ROW_Y)};
const PixelProbe NO_BACK_BUTTON = {"no Back", BACK_X, ROW_Y, background(ROW_Y)};

struct Picture {
    std::vector<uint8_t> rgb;  // 960 x 600, top row first; empty when the run left no such picture

    bool looks(int x, int y, Rgb want, int tolerance = 3) const {
        if (rgb.empty()) return false;
        const uint8_t* px = &rgb[(y * WINDOW_WIDTH + x) * 3];
        return std::abs(px[0] - want.r * 255) <= tolerance && std::abs(px[1] - want.g * 255) <= tolerance &&
               std::abs(px[2] - want.b * 255) <= tolerance;
    }
    bool area_has(int x0, int y0, int x1, int y1, Rgb want) const {
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                if (looks(x, y, want, 10)) return true;
            }
        }
        return false;
    }
    void expect(const PixelProbe& probe) const { EXPECT_TRUE(looks(probe.x, probe.y, probe.want)) << probe.what; }
    void expect(const AreaProbe& probe) const {
        EXPECT_EQ(area_has(probe.x0, probe.y0, probe.x1, probe.y1, probe.want), probe.present) << probe.what;
    }
};

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A copy of the program beside the eight game files in a folder of its own; every game file must stay as it was.
class SetupProgram : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(app);
        fs::copy_file(SETUP_PROGRAM, app / "torvanel-setup");
        const std::string files = std::string(SAMPLE_FILES_PROGRAM) + " " + app.string() + " 8192";
        ASSERT_EQ(std::system(files.c_str()), 0);  // 8 MiB: the first frame of the copy does a part
        for (const auto& file : fs::directory_iterator(app)) {
            if (file.path().filename() != "torvanel-setup") sources[file.path().filename()] = read_file(file);
        }
        ASSERT_EQ(sources.size(), 8u);
    }
    void TearDown() override {
        for (const auto& [name, bytes] : sources) EXPECT_TRUE(read_file(app / name) == bytes) << name << " changed";
    }
    ~SetupProgram() override {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    // The shell command that runs the program in `dir` with only `vars` and the offscreen driver.
    std::string command_line(const std::string& vars) const {
        std::string command = "cd " + dir.string() + " && exec env -i PATH=/usr/bin:/bin SDL_VIDEODRIVER=offscreen";
        // The sanitizers' settings of this run.
        for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "LD_PRELOAD", "LP_NUM_THREADS",
                                 "MESA_SHADER_CACHE_DISABLE"}) {
            if (const char* value = std::getenv(name)) command += std::string(" ") + name + "='" + value + "'";
        }
        return command + " " + vars;
    }
    // The exit code of the program run with `vars`; 124 after `seconds`.
    int run(const std::string& vars, int seconds = 60) {
        const std::string timeout = " timeout " + std::to_string(seconds);
        const std::string command = command_line(vars + timeout + " ./app/torvanel-setup >output.txt 2>&1");
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // The program started with `vars` in the background; its process id.
    pid_t start(const std::string& vars) {
        const std::string command = command_line(vars + " ./app/torvanel-setup >output.txt 2>&1");
        const pid_t pid = fork();
        if (pid == 0) {
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        return pid;
    }
    // The screenshot of a run with `vars`: it must exit 0 and leave a 24-bit BMP of the whole 960 x 600 drawable.
    Picture shot(const std::string& vars) {
        fs::remove(dir / "shot.bmp");
        EXPECT_EQ(run(vars + " ZR_SHOT=shot.bmp"), 0) << vars;
        SDL_Surface* bmp = SDL_LoadBMP((dir / "shot.bmp").c_str());
        const bool whole = bmp && bmp->format->BitsPerPixel == 24 && bmp->w == WINDOW_WIDTH && bmp->h == WINDOW_HEIGHT;
        EXPECT_TRUE(whole) << "not a 24-bit 960 x 600 BMP: " << SDL_GetError();
        SDL_Surface* rgb = whole ? SDL_ConvertSurfaceFormat(bmp, SDL_PIXELFORMAT_RGB24, 0) : nullptr;
        Picture picture;
        if (rgb && rgb->pitch == WINDOW_WIDTH * 3) {
            const auto* px = static_cast<const uint8_t*>(rgb->pixels);
            picture.rgb.assign(px, px + WINDOW_WIDTH * WINDOW_HEIGHT * 3);
        }
        SDL_FreeSurface(rgb);
        SDL_FreeSurface(bmp);
        return picture;
    }
    // Removes a game file from the program's folder.
    void remove_game_file(const std::string& name) {
        fs::remove(app / name);
        sources.erase(name);
    }

    const fs::path dir = make_temp_dir("torvanel-program");
    const fs::path app = dir / "app";
    const fs::path installed = dir / "Programs/Torvanel";  // where LOCALAPPDATA=. installs
    std::map<fs::path, std::string> sources;               // the game files the program's folder must still hold
};

// The frame of every page: the step list on the sidebar with `step` current, and the heading in `heading`.
void expect_chrome(const Picture& p, int step, Rgb heading) {
    ASSERT_FALSE(p.rgb.empty()) << "no picture";
    for (int i = 0; i < STEP_COUNT; ++i) {
        SCOPED_TRACE(testing::Message() << "step " << i);
        const int y = FIRST_STEP_MARKER_CENTRE_Y + i * STEP_SPACING;
        const Rgb centre = i == step ? ACCENT : i < step ? TEXT : panel(y);
        EXPECT_TRUE(p.looks(STEP_MARKER_CENTRE_X, y, centre)) << "centre";
        if (i > step) {
            EXPECT_TRUE(p.looks(STEP_MARKER_LEFT_X, y, MUTED)) << "outline";
        }
    }
    const int right = static_cast<int>(CONTENT.x + CONTENT.w / 2);
    EXPECT_TRUE(p.area_has(static_cast<int>(CONTENT.x), HEADING_TOP, right, HEADING_BOTTOM, heading)) << "heading";
    EXPECT_FALSE(p.area_has(static_cast<int>(CONTENT.x), 30, right, HEADING_TOP - 2, heading)) << "above the heading";
}

// [SECTION] The pages

TEST_F(SetupProgram, EachPageShowsItsStepItsHeadingAndItsControls) {
    const UiRect licence = license_box(CONTENT, 1.0f);
    const UiRect check = license_check_box(CONTENT, 1.0f);
    const int check_y = static_cast<int>(LICENSE_CHECK_BOX_AT_SCALE_1.y);
    const struct {
        const char* what;
        int page;
        int frames;
        int step;
        std::vector<PixelProbe> probes;
    } rows[] = {
        {"Welcome",
         PAGE_WELCOME,
         2,
         WELCOME_STEP,
         {PRIMARY_BUTTON, NO_BACK_BUTTON, {"the language button", 310, 440, NORMAL_FACE}}},
        {"License",
         PAGE_LICENSE,
         2,
         LICENSE_STEP,
         {PRIMARY_BUTTON,
          BACK_BUTTON,
          {"the licence box", static_cast<int>(licence.x) + 4, 404, well(404)},
          {"the check box's row", static_cast<int>(check.x + check.w) - 22, check_y, PRIMARY_FACE},
          {"the check box's mark", static_cast<int>(check.x) + 21, check_y, rgb_of(COLOR_MARK_PRIMARY)}}},
        {"Location",
         PAGE_LOCATION,
         2,
         LOCATION_STEP,
         {PRIMARY_BUTTON, BACK_BUTTON, {"the folder box", 898, 155, well(155)}}},
        {"Install, after its first frame",
         PAGE_INSTALL,
         1,
         INSTALL_STEP,
         {NO_PRIMARY_BUTTON,
          NO_BACK_BUTTON,
          {"the progress bar's fill", 310, 117, PRIMARY_FACE},
          {"the progress bar's track", 900, 117, rgb_of(COLOR_PROGRESS_TRACK)}}},
        {"Done",
         PAGE_DONE,
         2,
         LAST_STEP,
         {PRIMARY_BUTTON, {"the start-game box", 742, 200, NORMAL_FACE}, {"no progress bar", 900, 117, panel(117)}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const Picture p = shot(start_page(row.page, row.frames));
        expect_chrome(p, row.step, ACCENT);
        for (const PixelProbe& probe : row.probes) p.expect(probe);
    }
}

TEST_F(SetupProgram, APageNumberBeyondIntOpensTheWelcomePage) {
    expect_chrome(shot("ZR_SETUP_PAGE=4294967299 ZR_FRAMES=2"), WELCOME_STEP, ACCENT);
}

// [SECTION] Install folders that must not harm a game file

TEST_F(SetupProgram, InstallingIntoALinkToTheProgramsOwnFolderFinishesAndKeepsEveryGameFile) {
    fs::create_directories(installed.parent_path());
    fs::create_directory_symlink(app, installed);
    expect_chrome(shot(start_page(PAGE_INSTALL, 30)), LAST_STEP, ACCENT);
    EXPECT_TRUE(fs::is_symlink(installed));
}

// A 4000-byte install folder, the end of which the pages show readable in the panel: no black bar, nothing outside.
std::string deep_folder(const fs::path& dir) {
    std::string deep = dir.string();
    while (deep.size() < 4000) deep += "/Torvanel_Spiele";
    return deep;
}
void expect_path_ends_readable(const Picture& p, Rgb colour) {
    p.expect(AreaProbe{"the path's end", 600, 132, 930, 156, colour, true});
    p.expect(AreaProbe{"a black bar", static_cast<int>(CONTENT.x), 132, WINDOW_WIDTH, 156, BLACK, false});
    p.expect(PixelProbe{"right of the panel", 945, 140, background(140)});
}

TEST_F(SetupProgram, ALongInstallFolderEndsReadableInThePanel) {
    const Picture p = shot("LOCALAPPDATA='" + deep_folder(dir) + "' " + start_page(PAGE_DONE, 2));
    expect_chrome(p, LAST_STEP, ACCENT);
    expect_path_ends_readable(p, ACCENT);
}

TEST_F(SetupProgram, AnInstallFolderTheSystemRefusesEndsOnTheFailurePageNamingIt) {
    const std::string deep = deep_folder(dir);
    const std::string refused = dir.string() + "/" + std::string(300, 'y') + deep.substr(dir.string().size());
    const Picture p = shot("LOCALAPPDATA='" + refused + "' " + start_page(PAGE_INSTALL, 2));
    expect_chrome(p, LAST_STEP, ERROR_RED);
    expect_path_ends_readable(p, TEXT);
}

TEST_F(SetupProgram, AMissingGameFileShowsTheFailurePageWhicheverPageIsAsked) {
    remove_game_file("SDL2.dll");
    for (int page : {PAGE_INSTALL, PAGE_DONE}) {
        SCOPED_TRACE(testing::Message() << "page " << page);
        const Picture p = shot("LOCALAPPDATA=none " + start_page(page, 2));
        expect_chrome(p, LAST_STEP, ERROR_RED);
        p.expect(NO_BACK_BUTTON);
        p.expect(AreaProbe{"the message under the heading", static_cast<int>(CONTENT.x), 112, 900, 140, TEXT, true});
        EXPECT_FALSE(fs::exists(dir / "none")) << "installed without every game file";
    }
}

// [SECTION] Pictures and languages

TEST_F(SetupProgram, AFrameNumberBeyondIntTakesNoPicture) {
    EXPECT_EQ(run("ZR_SHOT=shot.bmp ZR_FRAMES=4294967298", 3), 124);
    EXPECT_FALSE(fs::exists(dir / "shot.bmp"));
}

TEST_F(SetupProgram, APicturePathThatCannotBeWrittenIsNoFailure) {
    EXPECT_EQ(run("ZR_SHOT=missing/shot.bmp ZR_FRAMES=1"), 0);
    EXPECT_FALSE(fs::exists(dir / "missing"));
}

TEST_F(SetupProgram, AScreenshotPathThatIsAFifoIsRefusedAtOnce) {
    ASSERT_EQ(mkfifo((dir / "shot.fifo").c_str(), 0600), 0);
    EXPECT_EQ(run("ZR_SHOT=shot.fifo ZR_FRAMES=2", 20), 0);
}

class SetupProgramLanguage : public SetupProgram {
protected:
    std::vector<uint8_t> welcome(const std::string& vars) { return shot(vars + " " + start_page(PAGE_WELCOME, 2)).rgb; }
};

TEST_F(SetupProgramLanguage, WithoutZrLangTheLocaleChoosesTheLanguage) {
    const std::vector<uint8_t> german = welcome("ZR_LANG=de");
    ASSERT_FALSE(german == welcome("ZR_LANG=en"));
    EXPECT_TRUE(welcome("LANG=de_DE.UTF-8") == german);
}

TEST_F(SetupProgramLanguage, AnUnknownZrLangMeansEnglishWhateverTheLocale) {
    const std::vector<uint8_t> english = welcome("ZR_LANG=en");
    ASSERT_FALSE(english == welcome("ZR_LANG=de"));
    EXPECT_TRUE(welcome("ZR_LANG=xx LANG=de_DE.UTF-8") == english);
}

// [SECTION] Interrupted installations

// A game whose music1.mp3 takes about a hundred frames to copy, so a signal can reach the copy midway.
class InterruptedProgram : public SetupProgram {
protected:
    static constexpr uintmax_t BIG = 320 * 1048576;
    const fs::path partial = installed / ".music1.mp3.partial";

    void SetUp() override {
        SetupProgram::SetUp();
        fs::resize_file(app / "music1.mp3", BIG);  // a sparse file: quick to make and to read
        sources.erase("music1.mp3");
    }
    void TearDown() override {
        SetupProgram::TearDown();
        EXPECT_EQ(fs::file_size(app / "music1.mp3"), BIG) << "music1.mp3 changed";
    }
    // Starts an installation and sends `signal` while music1.mp3 is being copied; the exit status.
    int install_and_interrupt(int signal) {
        const pid_t pid = start("LOCALAPPDATA=. ZR_SETUP_PAGE=" + std::to_string(PAGE_INSTALL));
        bool seen = false;
        for (int i = 0; i < 20000 && !seen; ++i) {
            std::error_code error;
            seen = fs::file_size(partial, error) > 0 && !error;
            if (!seen) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_TRUE(seen) << "the copy of music1.mp3 was never seen under way";
        kill(pid, signal);
        int status = 0;
        waitpid(pid, &status, 0);
        return status;
    }
    // Every game file in the install folder is absent or whole; music1.mp3 is absent.
    void expect_only_whole_files() {
        EXPECT_FALSE(fs::exists(installed / "music1.mp3"));
        for (const auto& [name, bytes] : sources) {
            EXPECT_TRUE(!fs::exists(installed / name) || read_file(installed / name) == bytes) << name << " cut short";
        }
    }
};

TEST_F(InterruptedProgram, ATerminatedCopyEndsTheProgramWellAndLeavesOnlyWholeFiles) {
    const int status = install_and_interrupt(SIGTERM);

    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    expect_only_whole_files();
    EXPECT_FALSE(fs::exists(partial)) << "the unfinished copy stayed";
}

TEST_F(InterruptedProgram, TheNextInstallationRemovesWhatAKilledCopyLeftAndCompletes) {
    install_and_interrupt(SIGKILL);
    expect_only_whole_files();
    ASSERT_TRUE(fs::exists(partial));

    const Picture done = shot("LOCALAPPDATA=. " + start_page(PAGE_INSTALL, 400));

    expect_chrome(done, LAST_STEP, ACCENT);
    EXPECT_FALSE(fs::exists(partial));
    EXPECT_EQ(fs::file_size(installed / "music1.mp3"), BIG);
    for (const auto& [name, bytes] : sources) EXPECT_TRUE(read_file(installed / name) == bytes) << name;
}

// [SECTION] A window that changes size

// A window moved to a monitor of another scale gets a new drawable size (here: the test hook resizes it after the
// first frame, under Xvfb, since the offscreen driver keeps its first size). The picture fills the new drawable,
// laid out at its scale.
TEST_F(SetupProgram, AfterTheDrawableGrowsThePictureFillsItAtTheNewScale) {
    const int width = 1200;  // scale 1.25
    const int height = 750;
    const std::string shot_path = (dir / "resized.bmp").string();
    const std::string command = "cd " + dir.string() + " && xvfb-run -a -s '-screen 0 1920x1200x24' env " +
                                "ZR_LANG=en ZR_TEST_WINDOW_SIZE=1200x750 ZR_FRAMES=10 ZR_SHOT=" + shot_path +
                                " LOCALAPPDATA=. timeout 60 ./app/torvanel-setup >output.txt 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    SDL_Surface* bmp = SDL_LoadBMP(shot_path.c_str());
    ASSERT_NE(bmp, nullptr) << SDL_GetError();
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(bmp, SDL_PIXELFORMAT_RGB24, 0);
    SDL_FreeSurface(bmp);
    ASSERT_NE(rgb, nullptr);
    const auto looks = [&](int x, int y, Rgb want) {
        const auto* px = static_cast<const uint8_t*>(rgb->pixels) + y * rgb->pitch + x * 3;
        return std::abs(px[0] - want.r * 255) <= 3 && std::abs(px[1] - want.g * 255) <= 3 &&
               std::abs(px[2] - want.b * 255) <= 3;
    };
    const Rgb top_background = background(5, height);

    EXPECT_EQ(rgb->w, width);
    EXPECT_EQ(rgb->h, height);
    EXPECT_TRUE(looks(width - 10, 5, top_background)) << "the top right corner is not drawn";
    EXPECT_TRUE(looks(PRIMARY_X * width / WINDOW_WIDTH, ROW_Y * height / WINDOW_HEIGHT, PRIMARY_FACE))
        << "Next is not at 1.25 times";
    EXPECT_FALSE(looks(PRIMARY_X, ROW_Y, PRIMARY_FACE)) << "Next is still at its place of scale 1";
    SDL_FreeSurface(rgb);
}

}  // namespace
