// Whole-program runs under the offscreen driver: a copy of the program beside generated game
// files, started with the automation variables; its 960 x 600 screenshot is probed pixel by pixel.
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Rgb { float r, g, b; };
Rgb over(Rgb top, float alpha, Rgb under) {
    return {top.r * alpha + under.r * (1 - alpha), top.g * alpha + under.g * (1 - alpha),
            top.b * alpha + under.b * (1 - alpha)};
}
// The window's vertical gradient, the panels laid over it and the colours drawn on them.
Rgb background(int y) { return over({.05f, .04f, .03f}, (y + .5f) / 600, {.14f, .11f, .08f}); }
Rgb panel(int y) { return over({0.11f, 0.09f, 0.07f}, 0.92f, background(y)); }
Rgb well(int y) { return over({0.06f, 0.05f, 0.04f}, 0.9f, panel(y)); }
constexpr Rgb ACCENT = {0.95f, 0.78f, 0.36f}, TEXT = {0.96f, 0.92f, 0.82f},
              MUTED = {0.72f, 0.68f, 0.58f}, ERROR_RED = {0.95f, 0.45f, 0.40f},
              PRIMARY_FACE = {0.8f, 0.58f, 0.2f}, NORMAL_FACE = {0.3f, 0.26f, 0.22f};
constexpr int ROW_Y = 545, PRIMARY_X = 800, BACK_X = 290;  // probes of the bottom buttons

struct Probe { int x, y; Rgb want; };

struct Picture {
    std::vector<uint8_t> rgb;  // 960 x 600, top row first; empty when the run left no such picture
    bool looks(int x, int y, Rgb want, int tolerance = 3) const {
        if (rgb.empty()) return false;
        const uint8_t* px = &rgb[(y * 960 + x) * 3];
        const float want_bytes[3] = {want.r * 255, want.g * 255, want.b * 255};
        for (int c = 0; c < 3; ++c)
            if (std::abs(px[c] - want_bytes[c]) > tolerance) return false;
        return true;
    }
    // Whether some pixel of the area nearly has the colour (glyph cores carry the full colour).
    bool area_has(int x0, int y0, int x1, int y1, Rgb want) const {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (looks(x, y, want, 10)) return true;
        return false;
    }
};

const char* const GAME_FILES[] = {"Torvanel.exe", "SDL2.dll", "SDL2_ttf.dll", "music1.mp3",
                                  "music2.mp3", "music3.mp3", "README.txt", "LICENSE.txt"};

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct SetupProgram : testing::Test {
    fs::path dir, app;
    std::map<std::string, std::string> sources;  // what the program's folder must still hold

    void SetUp() override {
        char pattern[] = "/tmp/torvanel-program-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        fs::create_directories(app = dir / "app");
        fs::copy_file(SETUP_PROGRAM, app / "torvanel-setup");
        const std::string files = std::string(SAMPLE_FILES_PROGRAM) + " " + app.string() + " 8192";
        ASSERT_EQ(std::system(files.c_str()), 0);  // the biggest file takes two frames to copy
        for (const char* f : GAME_FILES) sources[f] = read_file(app / f);
    }
    void TearDown() override {
        expect_sources_unchanged();
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    void expect_sources_unchanged() {
        for (const auto& [name, bytes] : sources)
            EXPECT_TRUE(read_file(app / name) == bytes) << "game file " << name << " changed";
    }
    // Runs the program in `dir` with only `vars` and the offscreen driver in its environment;
    // the exit code, or 124 when it was ended after `seconds`.
    int run(const std::string& vars, int seconds = 60) {
        std::string command = "cd " + dir.string() + " && env -i PATH=/usr/bin:/bin SDL_VIDEODRIVER=offscreen";
        for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "LD_PRELOAD", "LP_NUM_THREADS",
                                 "MESA_SHADER_CACHE_DISABLE"})  // the sanitizers' settings of this run
            if (const char* value = std::getenv(name)) command += std::string(" ") + name + "='" + value + "'";
        command += " " + vars + " timeout " + std::to_string(seconds) + " ./app/torvanel-setup >output.txt 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // The screenshot of a run with `vars`: it must exit 0 and leave a 24-bit BMP of the whole 960 x 600 drawable.
    Picture shot(const std::string& vars) {
        fs::remove(dir / "shot.bmp");
        EXPECT_EQ(run(vars + " ZR_SHOT=shot.bmp"), 0) << vars;
        SDL_Surface* bmp = SDL_LoadBMP((dir / "shot.bmp").c_str());
        const bool whole = bmp && bmp->format->BitsPerPixel == 24 && bmp->w == 960 && bmp->h == 600;
        EXPECT_TRUE(whole) << "not a 24-bit 960 x 600 BMP: " << SDL_GetError();
        SDL_Surface* rgb = whole ? SDL_ConvertSurfaceFormat(bmp, SDL_PIXELFORMAT_RGB24, 0) : nullptr;
        Picture p;
        if (const auto* px = rgb ? static_cast<const uint8_t*>(rgb->pixels) : nullptr; px && rgb->pitch == 960 * 3)
            p.rgb.assign(px, px + 960 * 600 * 3);
        SDL_FreeSurface(rgb);
        SDL_FreeSurface(bmp);
        return p;
    }
};

// The chrome of every page: its sidebar, the step list with `step` current and the heading.
void expect_chrome(const Picture& p, int step, Rgb heading) {
    ASSERT_FALSE(p.rgb.empty()) << "no picture";
    EXPECT_TRUE(p.looks(10, 580, panel(580))) << "sidebar";
    for (int i = 0; i < 5; ++i) {
        const int y = 280 + 34 * i;
        const Rgb centre = i == step ? ACCENT : i < step ? TEXT : panel(y);
        EXPECT_TRUE(p.looks(34, y, centre)) << "centre of step " << i;
        EXPECT_TRUE(i <= step || p.looks(28, y, MUTED)) << "outline of step " << i;
    }
    EXPECT_TRUE(p.area_has(302, 52, 600, 86, heading)) << "no heading at the content's top";
    EXPECT_FALSE(p.area_has(302, 30, 600, 50, heading)) << "heading above its place";
}

TEST_F(SetupProgram, EveryPageDrawsItsChromeAndControls) {
    const Rgb bare = background(ROW_Y);  // no button drawn
    const Probe primary = {PRIMARY_X, ROW_Y, PRIMARY_FACE}, back = {BACK_X, ROW_Y, NORMAL_FACE};
    const Probe no_primary = {PRIMARY_X, ROW_Y, bare}, no_back = {BACK_X, ROW_Y, bare};
    const struct {
        int page, frames, step;
        Rgb heading;
        std::vector<Probe> probes;
    } rows[] = {
        {0, 2, 0, ACCENT, {primary, no_back, {310, 440, NORMAL_FACE}}},  // the language button
        {1, 2, 1, ACCENT, {primary, back, {306, 404, well(404)}, {700, 442, PRIMARY_FACE},
                           {323, 442, {0.12f, 0.09f, 0.06f}}}},  // licence box, ticked row, tick
        {2, 2, 2, ACCENT, {primary, back, {898, 155, well(155)}}},  // the folder box
        {3, 1, 3, ACCENT, {no_primary, no_back, {310, 117, PRIMARY_FACE},  // progress of frame 1
                           {900, 117, {0.05f, 0.04f, 0.03f}}}},
        {4, 2, 4, ACCENT, {primary, {742, 200, NORMAL_FACE}, {900, 117, panel(117)}}},
        {5, 2, 4, ERROR_RED, {primary, no_back}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("page " + std::to_string(row.page));
        const Picture p = shot("ZR_SETUP_PAGE=" + std::to_string(row.page) +
                               " ZR_FRAMES=" + std::to_string(row.frames));
        expect_chrome(p, row.step, row.heading);
        for (const Probe& probe : row.probes)
            EXPECT_TRUE(p.looks(probe.x, probe.y, probe.want)) << probe.x << ", " << probe.y;
    }
}

TEST_F(SetupProgram, UnattendedInstallCopiesEveryFileAndEndsOnDone) {
    const Picture p = shot("ZR_SETUP_PAGE=3");
    for (const auto& [name, bytes] : sources)
        EXPECT_TRUE(read_file(dir / "Programs/Torvanel" / name) == bytes) << name << " not installed byte for byte";
    expect_chrome(p, 4, ACCENT);
}

TEST_F(SetupProgram, MissingGameFileOpensTheFailurePageWithoutBackWhateverPageIsAsked) {
    fs::remove(app / "SDL2.dll");
    sources.erase("SDL2.dll");
    for (const char* page : {"", "ZR_SETUP_PAGE=2", "ZR_SETUP_PAGE=3", "ZR_SETUP_PAGE=4"}) {
        SCOPED_TRACE(page);
        const Picture p = shot(std::string(page) + " ZR_FRAMES=2");
        expect_chrome(p, 4, ERROR_RED);
        EXPECT_TRUE(p.looks(BACK_X, ROW_Y, background(ROW_Y))) << "Back";
        EXPECT_TRUE(p.area_has(302, 112, 900, 140, TEXT)) << "no message under the heading";
        EXPECT_FALSE(fs::exists(dir / "Programs"));
    }
}

TEST_F(SetupProgram, HostileSettingsKeepEveryGameFileAndEndOnAPageThatSaysSo) {
    std::string deep = dir.string();  // a 4 KiB install folder, and one the system refuses
    while (deep.size() < 4000) deep += "/Torvanel_Spiele";
    const std::string refused = dir.string() + "/" + std::string(300, 'y') + deep.substr(dir.string().size());
    struct Row {
        const char* what;
        std::function<void()> arrange;
        std::string vars;
        int step, path_y;  // path_y: the row of a long install path, 0 for none
        Rgb heading, path;
    };
    const Row rows[] = {
        {"the install folder is the program's own, through a link",
         [&] { fs::create_directories(dir / "Programs"), fs::create_directory_symlink(app, dir / "Programs/Torvanel"); },
         "ZR_SETUP_PAGE=3 ZR_FRAMES=30", 4, 0, ACCENT, {}},
        {"a page number beyond int", [] {}, "ZR_SETUP_PAGE=4294967299 ZR_FRAMES=2", 0, 0, ACCENT, {}},
        {"a 4 KiB install folder", [] {}, "LOCALAPPDATA='" + deep + "' ZR_SETUP_PAGE=4 ZR_FRAMES=2", 4, 140, ACCENT, ACCENT},
        {"a folder that cannot be made", [] {}, "LOCALAPPDATA='" + refused + "' ZR_SETUP_PAGE=3 ZR_FRAMES=2", 4, 140,
         ERROR_RED, TEXT},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        row.arrange();
        const Picture p = shot(row.vars);
        expect_chrome(p, row.step, row.heading);
        expect_sources_unchanged();
        if (row.path_y == 0) continue;
        // The path's line ends readable inside the panel: no black bar, no text past the panel.
        EXPECT_TRUE(p.area_has(600, row.path_y - 8, 930, row.path_y + 16, row.path)) << "no path";
        EXPECT_FALSE(p.area_has(302, row.path_y - 8, 960, row.path_y + 16, {0, 0, 0})) << "a black bar";
        EXPECT_TRUE(p.looks(945, row.path_y, background(row.path_y))) << "past the panel";
    }
    EXPECT_TRUE(fs::is_symlink(dir / "Programs/Torvanel"));
}

TEST_F(SetupProgram, PictureLimitsAndAMissingOpenGlContext) {
    for (const char* frames : {"0", "text", "4294967298"}) {  // the last does not fit an int
        EXPECT_EQ(run(std::string("ZR_SHOT=shot.bmp ZR_FRAMES=") + frames, 3), 124) << frames;
        EXPECT_FALSE(fs::exists(dir / "shot.bmp")) << frames;
    }
    EXPECT_EQ(run("ZR_SHOT=missing/shot.bmp ZR_FRAMES=1"), 0);
    EXPECT_FALSE(fs::exists(dir / "missing"));
    EXPECT_EQ(run("MESA_GL_VERSION_OVERRIDE=3.2 ZR_SHOT=shot.bmp ZR_FRAMES=1"), 1);
    EXPECT_FALSE(fs::exists(dir / "shot.bmp"));
}

TEST_F(SetupProgram, LanguageFromZrLangOrElseTheLocale) {
    const auto welcome = [&](const std::string& vars) { return shot(vars + " ZR_SETUP_PAGE=0 ZR_FRAMES=2").rgb; };
    const auto english = welcome("ZR_LANG=en"), french = welcome("ZR_LANG=fr"),
               german = welcome("ZR_LANG=de");
    ASSERT_FALSE(english == german || french == german || english == french);
    EXPECT_TRUE(welcome("ZR_LANG=xx LANG=de_DE.UTF-8") == english);
    EXPECT_TRUE(welcome("ZR_LANG=fr-CA LANG=de_DE.UTF-8") == french);
    EXPECT_TRUE(welcome("LANG=de_DE.UTF-8") == german);
}

}  // namespace
