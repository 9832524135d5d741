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
#include <thread>

#include "app/setup_state.h"
#include "app/wizard_layout.h"
#include "tests/support/portable.h"
#include "ui/palette.h"

namespace fs = std::filesystem;

namespace {

struct Rgb { float r, g, b; };
constexpr Rgb rgb_of(const UiColor& c) { return {c.r, c.g, c.b}; }
Rgb over(Rgb t, float a, Rgb u) { return {t.r * a + u.r * (1 - a), t.g * a + u.g * (1 - a), t.b * a + u.b * (1 - a)}; }
// The window's vertical gradient, the panels laid over it and the colours drawn on them.
Rgb background(int y) {
    return over(rgb_of(COLOR_BACKGROUND_BOTTOM), (y + .5f) / WINDOW_HEIGHT, rgb_of(COLOR_BACKGROUND_TOP));
}
Rgb panel(int y) { return over(rgb_of(COLOR_PANEL), COLOR_PANEL.a, background(y)); }
Rgb well(int y) { return over(rgb_of(COLOR_WELL), COLOR_WELL.a, panel(y)); }
constexpr Rgb ACCENT = rgb_of(COLOR_ACCENT), TEXT = rgb_of(COLOR_TEXT), MUTED = rgb_of(COLOR_MUTED);
constexpr Rgb ERROR_RED = rgb_of(COLOR_ERROR);
constexpr Rgb PRIMARY_FACE = rgb_of(COLOR_FACE_PRIMARY), NORMAL_FACE = rgb_of(COLOR_FACE_NORMAL);
// Probes of the bottom buttons: on the face, clear of the border and the label.
constexpr int ROW_Y = static_cast<int>(FRAME_AT_SCALE_1.primary_button.y) + 7;
constexpr int PRIMARY_X = static_cast<int>(FRAME_AT_SCALE_1.primary_button.x) + 8;
constexpr int BACK_X = static_cast<int>(FRAME_AT_SCALE_1.back_button.x) + 12;

// The variables that start the program on `page`, pictured after `frames` frames.
std::string start_page(int page, int frames) {
    return "ZR_SETUP_PAGE=" + std::to_string(page) + " ZR_FRAMES=" + std::to_string(frames);
}

// The pixel (x, y) has the colour; with x1 set, some pixel of the area up to (x1, y1) has it, or with `none` not one.
struct Probe { int x, y; Rgb want; int x1 = 0, y1 = 0; bool none = false; };

struct Picture {
    std::vector<uint8_t> rgb;  // 960 x 600, top row first; empty when the run left no such picture
    bool looks(int x, int y, Rgb want, int tolerance = 3) const {
        const uint8_t* px = rgb.empty() ? nullptr : &rgb[(y * 960 + x) * 3];
        return px && std::abs(px[0] - want.r * 255) <= tolerance && std::abs(px[1] - want.g * 255) <= tolerance &&
               std::abs(px[2] - want.b * 255) <= tolerance;
    }
    bool area_has(int x0, int y0, int x1, int y1, Rgb want) const {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (looks(x, y, want, 10)) return true;
        return false;
    }
    bool shows(const Probe& p) const {
        return (p.x1 ? area_has(p.x, p.y, p.x1, p.y1, p.want) : looks(p.x, p.y, p.want)) != p.none;
    }
};

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct SetupProgram : testing::Test {
    fs::path dir = make_temp_dir("torvanel-program"), app = dir / "app";
    std::map<fs::path, std::string> sources;  // the game files the program's folder must still hold

    void SetUp() override {
        fs::create_directories(app);
        fs::copy_file(SETUP_PROGRAM, app / "torvanel-setup");
        const std::string files = std::string(SAMPLE_FILES_PROGRAM) + " " + app.string() + " 8192";
        ASSERT_EQ(std::system(files.c_str()), 0);  // 8 MiB: the first frame of the copy does a part
        for (const auto& file : fs::directory_iterator(app))
            if (file.path().filename() != "torvanel-setup") sources[file.path().filename()] = read_file(file);
        ASSERT_EQ(sources.size(), 8u);
    }
    void TearDown() override {
        for (const auto& [name, bytes] : sources) EXPECT_TRUE(read_file(app / name) == bytes) << name << " changed";
    }
    ~SetupProgram() override { std::error_code ignored; fs::remove_all(dir, ignored); }
    // The shell command that runs the program in `dir` with only `vars` and the offscreen driver.
    std::string command_line(const std::string& vars) const {
        std::string command = "cd " + dir.string() + " && exec env -i PATH=/usr/bin:/bin SDL_VIDEODRIVER=offscreen";
        for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "LD_PRELOAD", "LP_NUM_THREADS",
                                 "MESA_SHADER_CACHE_DISABLE"})  // the sanitizers' settings of this run
            if (const char* value = std::getenv(name)) command += std::string(" ") + name + "='" + value + "'";
        return command + " " + vars;
    }
    // The exit code of the program run with `vars`; 124 after `seconds`.
    int run(const std::string& vars, int seconds = 60) {
        const std::string command =
            command_line(vars + " timeout " + std::to_string(seconds) + " ./app/torvanel-setup >output.txt 2>&1");
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
        const bool whole = bmp && bmp->format->BitsPerPixel == 24 && bmp->w == 960 && bmp->h == 600;
        EXPECT_TRUE(whole) << "not a 24-bit 960 x 600 BMP: " << SDL_GetError();
        SDL_Surface* rgb = whole ? SDL_ConvertSurfaceFormat(bmp, SDL_PIXELFORMAT_RGB24, 0) : nullptr;
        const auto* px = rgb && rgb->pitch == 960 * 3 ? static_cast<const uint8_t*>(rgb->pixels) : nullptr;
        Picture p = {px ? std::vector<uint8_t>(px, px + 960 * 600 * 3) : std::vector<uint8_t>()};
        SDL_FreeSurface(rgb), SDL_FreeSurface(bmp);
        return p;
    }
};

// The chrome of every page: the step list on the sidebar with `step` current, and the heading.
void expect_chrome(const Picture& p, int step, Rgb heading) {
    ASSERT_FALSE(p.rgb.empty()) << "no picture";
    for (int i = 0, y = 280; i < 5; ++i, y += 34) {
        EXPECT_TRUE(p.looks(34, y, i == step ? ACCENT : i < step ? TEXT : panel(y))) << "centre of step " << i;
        EXPECT_TRUE(i <= step || p.looks(28, y, MUTED)) << "outline of step " << i;
    }
    EXPECT_TRUE(p.area_has(302, 52, 600, 86, heading) && !p.area_has(302, 30, 600, 50, heading)) << "heading";
}

// Every page, then settings that must not harm a game file: a link to the program's own folder, a page number
// beyond int, a 4 KiB install folder, one the system refuses and, whatever page is asked, a game file missing.
TEST_F(SetupProgram, EveryPageAndHostileSettingsDrawWhatTheyMustAndKeepEveryGameFile) {
    std::string deep = dir.string();
    while (deep.size() < 4000) deep += "/Torvanel_Spiele";
    const std::string refused = dir.string() + "/" + std::string(300, 'y') + deep.substr(dir.string().size());
    const fs::path installed = dir / "Programs/Torvanel";
    const Rgb bare = background(ROW_Y);  // no button drawn
    const Probe primary = {PRIMARY_X, ROW_Y, PRIMARY_FACE}, back = {BACK_X, ROW_Y, NORMAL_FACE};
    const Probe no_primary = {PRIMARY_X, ROW_Y, bare}, no_back = {BACK_X, ROW_Y, bare};
    const Probe message = {302, 112, TEXT, 900, 140};  // under the heading
    const auto path = [](Rgb c) -> std::vector<Probe> {  // a long path ends readable in the panel: no black bar
        return {{600, 132, c, 930, 156}, {302, 132, {0, 0, 0}, 960, 156, true}, {945, 140, background(140)}};
    };
    const auto link = [&] { fs::remove_all(installed), fs::create_directory_symlink(app, installed); };
    const auto missing = [&] { fs::remove(app / "SDL2.dll"), sources.erase("SDL2.dll"); };
    const struct { std::function<void()> arrange; std::string vars; int step; Rgb heading; std::vector<Probe> probes; }
        rows[] = {
        {{}, start_page(PAGE_WELCOME, 2), 0, ACCENT, {primary, no_back, {310, 440, NORMAL_FACE}}},  // language
        {{}, start_page(PAGE_LICENSE, 2), 1, ACCENT, {primary, back, {306, 404, well(404)},  // licence box,
                                                      {700, 442, PRIMARY_FACE},
                                                      {323, 442, rgb_of(COLOR_MARK_PRIMARY)}}},
        {{}, start_page(PAGE_LOCATION, 2), 2, ACCENT, {primary, back, {898, 155, well(155)}}},  // the folder box
        {{}, start_page(PAGE_INSTALL, 1), 3, ACCENT, {no_primary, no_back, {310, 117, PRIMARY_FACE},  // progress
                                                      {900, 117, rgb_of(COLOR_PROGRESS_TRACK)}}},
        {{}, start_page(PAGE_DONE, 2), 4, ACCENT, {primary, {742, 200, NORMAL_FACE}, {900, 117, panel(117)}}},
        {link, start_page(PAGE_INSTALL, 30), 4, ACCENT, {}},
        {{}, "ZR_SETUP_PAGE=4294967299 ZR_FRAMES=2", 0, ACCENT, {}},
        {{}, "LOCALAPPDATA='" + deep + "' " + start_page(PAGE_DONE, 2), 4, ACCENT, path(ACCENT)},
        {{}, "LOCALAPPDATA='" + refused + "' " + start_page(PAGE_INSTALL, 2), 4, ERROR_RED, path(TEXT)},
        {missing, "LOCALAPPDATA=none " + start_page(PAGE_INSTALL, 2), 4, ERROR_RED, {no_back, message}},
        {{}, "LOCALAPPDATA=none " + start_page(PAGE_DONE, 2), 4, ERROR_RED, {no_back, message}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.vars.substr(row.vars.size() < 100 ? 0 : row.vars.rfind('\'') + 1));
        if (row.arrange) row.arrange();
        const Picture p = shot(row.vars);
        expect_chrome(p, row.step, row.heading);
        for (const Probe& probe : row.probes) EXPECT_TRUE(p.shows(probe)) << probe.x << ", " << probe.y;
        EXPECT_FALSE(fs::exists(dir / "none")) << "installed without every game file";
    }
    EXPECT_TRUE(fs::is_symlink(installed));
}

// A frame number beyond int takes no picture; an unwritable one is no failure; ZR_LANG or else the locale.
TEST_F(SetupProgram, LanguageAndPictureSettings) {
    EXPECT_EQ(run("ZR_SHOT=shot.bmp ZR_FRAMES=4294967298", 3), 124);
    EXPECT_FALSE(fs::exists(dir / "shot.bmp"));
    EXPECT_EQ(run("ZR_SHOT=missing/shot.bmp ZR_FRAMES=1"), 0);
    EXPECT_FALSE(fs::exists(dir / "missing"));
    const auto welcome = [&](const std::string& vars) { return shot(vars + " " + start_page(PAGE_WELCOME, 2)).rgb; };
    const auto english = welcome("ZR_LANG=en"), german = welcome("ZR_LANG=de");
    ASSERT_FALSE(english == german);
    EXPECT_TRUE(welcome("ZR_LANG=xx LANG=de_DE.UTF-8") == english);
    EXPECT_TRUE(welcome("LANG=de_DE.UTF-8") == german);
}

// [SECTION] Interrupted installations

// A game whose music1.mp3 takes about a hundred frames to copy, so a signal can reach the copy midway.
struct InterruptedProgram : SetupProgram {
    static constexpr uintmax_t BIG = 320 * 1048576;
    const fs::path installed = dir / "Programs/Torvanel";
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
        for (const auto& [name, bytes] : sources)
            EXPECT_TRUE(!fs::exists(installed / name) || read_file(installed / name) == bytes) << name << " cut short";
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

    expect_chrome(done, 4, ACCENT);
    EXPECT_FALSE(fs::exists(partial));
    EXPECT_EQ(fs::file_size(installed / "music1.mp3"), BIG);
    for (const auto& [name, bytes] : sources) EXPECT_TRUE(read_file(installed / name) == bytes) << name;
}

TEST_F(SetupProgram, AScreenshotPathThatIsAFifoIsRefusedAtOnce) {
    ASSERT_EQ(mkfifo((dir / "shot.fifo").c_str(), 0600), 0);

    EXPECT_EQ(run("ZR_SHOT=shot.fifo ZR_FRAMES=2", 20), 0);
}

// [SECTION] A window that changes size

// A window moved to a monitor of another scale gets a new drawable size (here: the test hook resizes it after the
// first frame, under Xvfb, since the offscreen driver keeps its first size). The picture fills the new drawable,
// laid out at its scale.
TEST_F(SetupProgram, AfterTheDrawableGrowsThePictureFillsItAtTheNewScale) {
    const int width = 1200, height = 750;  // scale 1.25
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
    const Rgb top_background = over(rgb_of(COLOR_BACKGROUND_BOTTOM), 5.5f / height, rgb_of(COLOR_BACKGROUND_TOP));

    EXPECT_EQ(rgb->w, width);
    EXPECT_EQ(rgb->h, height);
    EXPECT_TRUE(looks(width - 10, 5, top_background)) << "the top right corner is not drawn";
    EXPECT_TRUE(looks(PRIMARY_X * width / WINDOW_WIDTH, ROW_Y * height / WINDOW_HEIGHT, PRIMARY_FACE))
        << "Next is not at 1.25 times";
    EXPECT_FALSE(looks(PRIMARY_X, ROW_Y, PRIMARY_FACE)) << "Next is still at its place of scale 1";
    SDL_FreeSurface(rgb);
}

}  // namespace
