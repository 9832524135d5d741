// Start-up cost of the setup program against a bare SDL + OpenGL window.
//
// Usage: startup_bench [runs per program, default 7] [language codes..., default en]
// The programs are started in turn beside small sample game files, under
// the offscreen driver (unless SDL_VIDEODRIVER says otherwise) with
// ZR_FRAMES=1 and a screenshot, so each one draws one frame, reads it back
// and ends. Per language it prints the medians of the wall time from start
// to exit, the CPU time and the peak resident memory of each program, and
// their ratios to the bare window. The third program, the GL floor, draws
// its frame the setup program's way without any content (see gl_floor.cpp):
// what lies between it and the bare window is the driver's cost of that way
// of drawing, what lies beyond it is the program's own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct RunResult {
    bool ok = false;
    double wall_ms = 0;
    double cpu_ms = 0;
    double peak_mb = 0;
};

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

RunResult run_once(const std::string& program, const fs::path& dir, const std::string& language, const fs::path& shot) {
    fs::remove(shot);
    RunResult result;
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) return result;
    if (child == 0) {
        if (chdir(dir.c_str()) != 0) _exit(127);
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("ZR_FRAMES", "1", 1);
        setenv("ZR_SHOT", shot.c_str(), 1);
        setenv("ZR_LANG", language.c_str(), 1);
        if (!freopen("/dev/null", "w", stderr)) _exit(127);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return result;
    const auto end = std::chrono::steady_clock::now();
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && fs::exists(shot);
    result.wall_ms = std::chrono::duration<double, std::milli>(end - start).count();
    auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec * 1e-3; };
    result.cpu_ms = ms(usage.ru_utime) + ms(usage.ru_stime);
    result.peak_mb = usage.ru_maxrss / 1024.0;  // kilobytes on Linux
    return result;
}

struct Series {
    std::vector<double> wall, cpu, peak;
    int failures = 0;
    void add(const RunResult& r) {
        if (!r.ok) {
            ++failures;
            return;
        }
        wall.push_back(r.wall_ms);
        cpu.push_back(r.cpu_ms);
        peak.push_back(r.peak_mb);
    }
};

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    std::vector<std::string> languages;
    for (int i = 2; i < argc; ++i) languages.push_back(argv[i]);
    if (languages.empty()) languages.push_back("en");

    char pattern[] = "/tmp/torvanel-startup-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const fs::path dir = pattern;
    // The setup program checks its game files beside itself; small ones do.
    const fs::path setup = dir / "torvanel-setup";
    fs::copy_file(SETUP_PROGRAM, setup);
    const std::string files = std::string(SAMPLE_FILES_PROGRAM) + " " + dir.string() + " 64";
    if (std::system(files.c_str()) != 0) return 1;
    const fs::path shot = dir / "shot.bmp";

    std::printf("start-up to the first finished frame, %d runs of each program in turn, medians\n", runs);
    std::printf(
        "        ------ wall ms -------  to bare      ------ CPU ms --------  to bare      "
        "-- peak MB --  to bare   setup beyond\n");
    std::printf(
        "lang     bare  floor  setup  floor setup     bare  floor  setup  floor setup     "
        " bare  setup  setup   floor, ms\n");
    int exit_code = 0;
    for (const std::string& language : languages) {
        Series bare, floor, real;
        for (int i = 0; i < runs; ++i) {
            bare.add(run_once(BARE_PROGRAM, dir, language, shot));
            floor.add(run_once(FLOOR_PROGRAM, dir, language, shot));
            real.add(run_once(setup.string(), dir, language, shot));
        }
        if (bare.failures || floor.failures || real.failures) {
            std::printf("%-5s %d bare, %d floor and %d setup runs failed\n", language.c_str(), bare.failures,
                        floor.failures, real.failures);
            exit_code = 1;
            if (bare.wall.empty() || floor.wall.empty() || real.wall.empty()) continue;
        }
        const double bw = median(bare.wall), fw = median(floor.wall), rw = median(real.wall);
        const double bc = median(bare.cpu), fc = median(floor.cpu), rc = median(real.cpu);
        const double bm = median(bare.peak), rm = median(real.peak);
        std::printf(
            "%-5s %6.1f %6.1f %6.1f  %5.2f %5.2f   %6.1f %6.1f %6.1f  %5.2f %5.2f   "
            "%6.1f %6.1f  %5.2f   %6.1f\n",
            language.c_str(), bw, fw, rw, fw / bw, rw / bw, bc, fc, rc, fc / bc, rc / bc, bm, rm, rm / bm, rw - fw);
        std::fflush(stdout);
    }
    std::printf("goals: wall-time ratio <= 1.5, peak-memory ratio <= 1.3\n");
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return exit_code;
}
