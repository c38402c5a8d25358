// The helpers of app_bench_support.h.
#include "app_bench_support.h"

#include <FL/Fl.H>
#include <FL/x.H>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>

#include "app/app.h"
#include "ui/fonts.h"
#include "ui/palette.h"

// Read by LeakSanitizer at exit in a sanitizer build. The toolkit keeps
// the Xft fonts it opened until the process ends, and fontconfig's data
// behind them shows as leaked: not ours, and not growing.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace fan::bench {

TemporaryFolder::TemporaryFolder(const char* prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("cannot create a temporary folder");
        std::exit(1);
    }
    path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void useConfigHome(const TemporaryFolder& folder) {
    ::setenv("XDG_CONFIG_HOME", folder.path().c_str(), 1);
}

void openDisplay(const char* program, int width, int height) {
    const char* name = std::getenv("DISPLAY");
    Display* display = XOpenDisplay(name);
    if (display == nullptr) {
        std::fprintf(stderr, "%s: no X display (DISPLAY=%s); run it under xvfb-run\n", program,
                     name != nullptr ? name : "");
        std::exit(1);
    }
    const int screen = DefaultScreen(display);
    const int depth = DefaultDepth(display, screen);
    if (DisplayWidth(display, screen) < width || DisplayHeight(display, screen) < height || depth < 24) {
        std::fprintf(stderr, "%s: the screen is %dx%dx%d; it needs at least %dx%dx24\n", program,
                     DisplayWidth(display, screen), DisplayHeight(display, screen), depth, width, height);
        std::exit(1);
    }
    fl_open_display(display);
    installInterfaceFonts();
    Fl::scheme("gtk+");
    applyPalette(true);
}

void makeTree(const std::filesystem::path& folder, unsigned long files, unsigned long folders, unsigned long seed) {
    std::error_code error;
    const std::filesystem::path generator =
        std::filesystem::read_symlink("/proc/self/exe", error).parent_path() / "make_tree";
    if (error || !std::filesystem::exists(generator)) {
        std::fprintf(stderr, "cannot find make_tree next to this program\n");
        std::exit(1);
    }
    const std::string counts[] = {std::to_string(files), std::to_string(folders), std::to_string(seed)};
    const pid_t child = ::fork();
    if (child == 0) {
        // Its summary line would mix with the figures: it goes to stderr.
        ::dup2(STDERR_FILENO, STDOUT_FILENO);
        ::execl(generator.c_str(), generator.c_str(), folder.c_str(), counts[0].c_str(), counts[1].c_str(),
                counts[2].c_str(), static_cast<char*>(nullptr));
        std::perror("cannot run make_tree");
        ::_exit(127);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "make_tree failed\n");
        std::exit(1);
    }
}

bool waitForResult(App& app, double seconds) {
    const double end = nowMs() + seconds * 1000.0;
    while ((app.scanning || app.result == nullptr) && nowMs() < end)
        Fl::wait(0.05);
    return !app.scanning && app.result != nullptr;
}

void settle(double seconds) {
    const double end = nowMs() + seconds * 1000.0;
    while (nowMs() < end)
        Fl::wait(0.02);
    flushAndSync();
}

void flushAndSync() {
    Fl::flush();
    XSync(fl_display, False);
}

bool parseWindowSize(const char* text, int& width, int& height) {
    int w = 0, h = 0;
    char rest = 0;
    if (std::sscanf(text, "%dx%d%c", &w, &h, &rest) != 2 || w < 900 || h < 640) return false;
    width = w;
    height = h;
    return true;
}

double nowMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double quantile(std::vector<double> values, double q) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const double at = q * static_cast<double>(values.size() - 1);
    const size_t below = static_cast<size_t>(std::floor(at));
    const size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (values[above] - values[below]) * (at - static_cast<double>(below));
}

}  // namespace fan::bench
