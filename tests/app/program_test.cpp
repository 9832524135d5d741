// Whole-program runs of the built setup program under SDL's offscreen driver:
// a temp folder holds a copy of the program beside generated game files, the
// program runs with the automation variables and its screenshot is checked
// pixel by pixel at known places of the 960 x 600 window.
#include <SDL.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// [SECTION] Running the program

struct RunResult {
    int exit_code = -1;
    bool timed_out = false;
};

struct Rgb {
    float r, g, b;
};

struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // top row first
    std::array<int, 3> at(int x, int y) const {
        const size_t i = (static_cast<size_t>(y) * width + x) * 3;
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }
};

class SetupProgram : public ::testing::Test {
protected:
    fs::path dir, app, shot;

    void SetUp() override {
        char pattern[] = "/tmp/torvanel-program-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        app = dir / "app";
        shot = dir / "shot.bmp";
        fs::create_directories(app);
        fs::copy_file(SETUP_PROGRAM, app / "torvanel-setup");
        fs::permissions(app / "torvanel-setup", fs::perms::owner_all, fs::perm_options::add);
        write_game_files(512);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    void write_game_files(int kib) {
        const std::string command = std::string("'") + SAMPLE_FILES_PROGRAM + "' '" +
                                    app.string() + "' " + std::to_string(kib);
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    // Runs the program with the current folder `dir`, a clean environment
    // (offscreen video, no locale, no LOCALAPPDATA) plus `env`.
    RunResult run(std::vector<std::string> env, double timeout_seconds = 60) {
        env.push_back("SDL_VIDEODRIVER=offscreen");
        env.push_back("PATH=/usr/bin:/bin");
        std::vector<char*> envp;
        for (std::string& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        const std::string exe = (app / "torvanel-setup").string();
        const std::string log = (dir / "output.txt").string();

        const pid_t pid = fork();
        if (pid == 0) {
            const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
            if (fd >= 0) {
                dup2(fd, 1);
                dup2(fd, 2);
            }
            if (chdir(dir.c_str()) != 0) _exit(126);
            char* argv[] = {const_cast<char*>(exe.c_str()), nullptr};
            execve(exe.c_str(), argv, envp.data());
            _exit(127);
        }
        RunResult result;
        const auto deadline = std::chrono::steady_clock::now() +
                              std::chrono::duration<double>(timeout_seconds);
        int status = 0;
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                result.timed_out = true;
                return result;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return result;
    }

    RunResult run_page(int page, const char* frames = "2", std::vector<std::string> env = {}) {
        env.push_back("ZR_SETUP_PAGE=" + std::to_string(page));
        env.push_back("ZR_SHOT=" + shot.string());
        env.push_back(std::string("ZR_FRAMES=") + frames);
        return run(env);
    }

    Picture picture() {
        Picture p;
        SDL_Surface* loaded = SDL_LoadBMP(shot.c_str());
        if (!loaded) {
            ADD_FAILURE() << "no screenshot: " << SDL_GetError();
            return p;
        }
        SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0);
        p.width = rgb->w;
        p.height = rgb->h;
        for (int y = 0; y < rgb->h; ++y) {
            const auto* row = static_cast<const uint8_t*>(rgb->pixels) + y * rgb->pitch;
            p.rgb.insert(p.rgb.end(), row, row + rgb->w * 3);
        }
        SDL_FreeSurface(rgb);
        SDL_FreeSurface(loaded);
        return p;
    }

    std::string output() {
        std::ifstream in(dir / "output.txt");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

// [SECTION] Expected colours at scale 1

constexpr Rgb ACCENT = {0.95f, 0.78f, 0.36f};
constexpr Rgb TEXT = {0.96f, 0.92f, 0.82f};
constexpr Rgb MUTED = {0.72f, 0.68f, 0.58f};
constexpr Rgb ERROR_RED = {0.95f, 0.45f, 0.40f};
constexpr Rgb PRIMARY_FACE = {0.8f, 0.58f, 0.2f};
constexpr Rgb NORMAL_FACE = {0.3f, 0.26f, 0.22f};

Rgb background(int y) {
    const float t = (y + 0.5f) / 600.0f;
    return {0.14f + (0.05f - 0.14f) * t, 0.11f + (0.04f - 0.11f) * t, 0.08f + (0.03f - 0.08f) * t};
}
Rgb over(Rgb top, float alpha, Rgb under) {
    return {top.r * alpha + under.r * (1 - alpha), top.g * alpha + under.g * (1 - alpha),
            top.b * alpha + under.b * (1 - alpha)};
}
Rgb panel(int y) { return over({0.11f, 0.09f, 0.07f}, 0.92f, background(y)); }

::testing::AssertionResult looks(const Picture& p, int x, int y, Rgb want, int tolerance = 3) {
    const std::array<int, 3> got = p.at(x, y);
    const float want_bytes[3] = {want.r * 255, want.g * 255, want.b * 255};
    for (int c = 0; c < 3; ++c)
        if (std::abs(got[c] - want_bytes[c]) > tolerance)
            return ::testing::AssertionFailure()
                   << "(" << x << ", " << y << ") is " << got[0] << "," << got[1] << "," << got[2]
                   << " instead of " << want_bytes[0] << "," << want_bytes[1] << ","
                   << want_bytes[2];
    return ::testing::AssertionSuccess();
}

// Whether any pixel of the area has (nearly) the colour: for text, whose
// glyph cores carry the full colour.
bool area_has(const Picture& p, int x0, int y0, int x1, int y1, Rgb want) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (looks(p, x, y, want, 10)) return true;
    return false;
}

constexpr int STEP_CENTRE_X = 34, PRIMARY_PROBE_X = 800, BUTTON_PROBE_Y = 545, BACK_PROBE_X = 290;
int step_centre_y(int i) { return 280 + 34 * i; }

// The chrome every page shares, with `step` the current step of the list.
void expect_chrome(const Picture& p, int step, Rgb heading) {
    ASSERT_EQ(p.width, 960);
    ASSERT_EQ(p.height, 600);
    EXPECT_TRUE(looks(p, 10, 580, panel(580)));  // the sidebar
    for (int i = 0; i < 5; ++i) {
        const int y = step_centre_y(i);
        if (i == step) {
            EXPECT_TRUE(looks(p, STEP_CENTRE_X, y, ACCENT)) << "current step " << i;
        } else if (i < step) {
            EXPECT_TRUE(looks(p, STEP_CENTRE_X, y, TEXT)) << "finished step " << i;
        } else {
            EXPECT_TRUE(looks(p, STEP_CENTRE_X, y, panel(y))) << "later step " << i;
            EXPECT_TRUE(looks(p, 28, y, MUTED)) << "outline of step " << i;
        }
    }
    EXPECT_TRUE(area_has(p, 302, 52, 600, 86, heading)) << "no heading at the content's top";
    EXPECT_FALSE(area_has(p, 302, 30, 600, 50, heading)) << "heading above its place";
}

// [SECTION] Every page

TEST_F(SetupProgram, WelcomePage) {
    ASSERT_EQ(run_page(0).exit_code, 0);
    const Picture p = picture();
    expect_chrome(p, 0, ACCENT);
    EXPECT_TRUE(looks(p, PRIMARY_PROBE_X, BUTTON_PROBE_Y, PRIMARY_FACE));
    EXPECT_TRUE(looks(p, BACK_PROBE_X, BUTTON_PROBE_Y, background(BUTTON_PROBE_Y)));  // no Back
    EXPECT_TRUE(looks(p, 310, 440, NORMAL_FACE));                                   // language
}

TEST_F(SetupProgram, LicensePageWithTheTermsAllowed) {
    ASSERT_EQ(run_page(1).exit_code, 0);
    const Picture p = picture();
    expect_chrome(p, 1, ACCENT);
    EXPECT_TRUE(looks(p, PRIMARY_PROBE_X, BUTTON_PROBE_Y, PRIMARY_FACE));  // Next enabled
    EXPECT_TRUE(looks(p, BACK_PROBE_X, BUTTON_PROBE_Y, NORMAL_FACE));
    EXPECT_TRUE(looks(p, 306, 404, over({0.06f, 0.05f, 0.04f}, 0.9f, panel(404))));  // the box
    EXPECT_TRUE(looks(p, 700, 442, PRIMARY_FACE));               // ticked row, primary style
    EXPECT_TRUE(looks(p, 323, 442, {0.12f, 0.09f, 0.06f}));      // the tick
}

TEST_F(SetupProgram, LocationPage) {
    ASSERT_EQ(run_page(2).exit_code, 0);
    const Picture p = picture();
    expect_chrome(p, 2, ACCENT);
    EXPECT_TRUE(looks(p, PRIMARY_PROBE_X, BUTTON_PROBE_Y, PRIMARY_FACE));
    EXPECT_TRUE(looks(p, BACK_PROBE_X, BUTTON_PROBE_Y, NORMAL_FACE));
    EXPECT_TRUE(looks(p, 898, 155, over({0.06f, 0.05f, 0.04f}, 0.9f, panel(155))));  // folder
}

TEST_F(SetupProgram, InstallPageOnItsFirstFrame) {
    ASSERT_EQ(run_page(3, "1").exit_code, 0);
    const Picture p = picture();
    expect_chrome(p, 3, ACCENT);
    EXPECT_TRUE(looks(p, 310, 117, PRIMARY_FACE));          // progress made in frame 1
    EXPECT_TRUE(looks(p, 900, 117, {0.05f, 0.04f, 0.03f}));  // the rest of the track
    EXPECT_TRUE(looks(p, PRIMARY_PROBE_X, BUTTON_PROBE_Y, background(BUTTON_PROBE_Y)));
    EXPECT_TRUE(looks(p, BACK_PROBE_X, BUTTON_PROBE_Y, background(BUTTON_PROBE_Y)));
}

TEST_F(SetupProgram, DonePage) {
    ASSERT_EQ(run_page(4).exit_code, 0);
    const Picture p = picture();
    expect_chrome(p, 4, ACCENT);
    EXPECT_TRUE(looks(p, PRIMARY_PROBE_X, BUTTON_PROBE_Y, PRIMARY_FACE));
    EXPECT_TRUE(looks(p, 742, 200, NORMAL_FACE));  // the start-game box
    EXPECT_TRUE(looks(p, 900, 117, panel(117)));    // no progress bar
}

TEST_F(SetupProgram, FailurePageWithoutAFailure) {
    ASSERT_EQ(run_page(5).exit_code, 0);
    const Picture p = picture();
    expect_chrome(p, 4, ERROR_RED);
    EXPECT_TRUE(looks(p, PRIMARY_PROBE_X, BUTTON_PROBE_Y, PRIMARY_FACE));  // Close
    EXPECT_TRUE(looks(p, BACK_PROBE_X, BUTTON_PROBE_Y, background(BUTTON_PROBE_Y)));
    EXPECT_FALSE(area_has(p, 302, 112, 900, 140, TEXT));  // an empty message
}

// [SECTION] Installing

void expect_same_file(const fs::path& a, const fs::path& b) {
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    ASSERT_TRUE(fa && fb) << b;
    const std::string da(std::istreambuf_iterator<char>(fa), {});
    const std::string db(std::istreambuf_iterator<char>(fb), {});
    EXPECT_TRUE(da == db) << b << " differs from its source";
}

TEST_F(SetupProgram, UnattendedInstallCopiesEveryFileAndEndsOnDone) {
    write_game_files(8192);  // the biggest file spans two frames of copying
    ASSERT_EQ(run({"ZR_SETUP_PAGE=3", "ZR_SHOT=" + shot.string()}).exit_code, 0);
    const fs::path installed = dir / "Programs" / "Torvanel";
    int count = 0;
    for (const auto& entry : fs::directory_iterator(app)) {
        if (entry.path().filename() == "torvanel-setup") continue;
        expect_same_file(entry.path(), installed / entry.path().filename());
        ++count;
    }
    EXPECT_EQ(count, 8);
    const std::string log = output();
    EXPECT_NE(log.find("Desktop/Torvanel.lnk"), std::string::npos) << log;
    EXPECT_NE(log.find("Start Menu/Programs/Torvanel.lnk"), std::string::npos) << log;

    const Picture p = picture();  // the 30th frame
    expect_chrome(p, 4, ACCENT);
    EXPECT_TRUE(looks(p, PRIMARY_PROBE_X, BUTTON_PROBE_Y, PRIMARY_FACE));  // Finish
}

TEST_F(SetupProgram, MissingGameFileOpensTheFailurePage) {
    fs::remove(app / "SDL2.dll");
    ASSERT_EQ(run({"ZR_SHOT=" + shot.string(), "ZR_FRAMES=2"}).exit_code, 0);
    const Picture p = picture();
    expect_chrome(p, 4, ERROR_RED);
    EXPECT_TRUE(looks(p, BACK_PROBE_X, BUTTON_PROBE_Y, background(BUTTON_PROBE_Y)));  // no Back
    EXPECT_TRUE(area_has(p, 302, 112, 900, 140, TEXT)) << "no message under the heading";
    EXPECT_FALSE(fs::exists(dir / "Programs"));
}

TEST_F(SetupProgram, ChosenPageReplacesTheFailurePage) {
    fs::remove(app / "README.txt");
    ASSERT_EQ(run_page(0).exit_code, 0);
    expect_chrome(picture(), 0, ACCENT);
}

// [SECTION] Automation limits

TEST_F(SetupProgram, NoPictureWithoutAValidFrameNumber) {
    for (const char* frames : {"0", "text"}) {
        const RunResult result = run({"ZR_SHOT=" + shot.string(),
                                      std::string("ZR_FRAMES=") + frames}, 3);
        EXPECT_TRUE(result.timed_out) << frames;
        EXPECT_FALSE(fs::exists(shot)) << frames;
    }
}

TEST_F(SetupProgram, UnwritablePicturePathIsSilent) {
    const fs::path nowhere = dir / "missing" / "shot.bmp";
    const RunResult result = run({"ZR_SHOT=" + nowhere.string(), "ZR_FRAMES=1"});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_FALSE(fs::exists(nowhere));
}

TEST_F(SetupProgram, WithoutOpenGl33ItEndsWithCodeOne) {
    const RunResult result = run({"MESA_GL_VERSION_OVERRIDE=3.2", "ZR_SHOT=" + shot.string(),
                                  "ZR_FRAMES=1"});
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_FALSE(fs::exists(shot));
}

// [SECTION] Language

TEST_F(SetupProgram, LanguageFromZrLangOrElseTheLocale) {
    auto welcome = [&](std::vector<std::string> env) {
        fs::remove(shot);
        EXPECT_EQ(run_page(0, "2", env).exit_code, 0);
        return picture().rgb;
    };
    const auto english = welcome({"ZR_LANG=en"});
    const auto french = welcome({"ZR_LANG=fr"});
    const auto german = welcome({"ZR_LANG=de"});
    EXPECT_TRUE(welcome({"ZR_LANG=xx", "LANG=de_DE.UTF-8"}) == english);
    EXPECT_TRUE(welcome({"ZR_LANG=", "LANG=de_DE.UTF-8"}) == english);
    EXPECT_TRUE(welcome({"ZR_LANG=fr-CA", "LANG=de_DE.UTF-8"}) == french);
    EXPECT_TRUE(welcome({"LANG=de_DE.UTF-8"}) == german);
    EXPECT_TRUE(welcome({}) == english);
    // The language button shows each language's own name, so the pages differ.
    EXPECT_FALSE(english == german);
    EXPECT_FALSE(french == german);
}

}  // namespace
