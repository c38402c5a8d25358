// What the benchmarks that drive the real main window share: a private
// settings folder, the display set up as the program sets it up, the event
// loop run until a scan is adopted, a generated tree, and the order
// statistics of the timings.
//
// These programs need an X server and start none; every function here runs
// on the GUI thread. Failures to set up print a message and end the program:
// a benchmark that cannot run its case has no figure to give.
#pragma once

#include <filesystem>
#include <vector>

namespace fan {
class App;
}

namespace fan::bench {

// A fresh folder under the system's temporary folder, removed with all it
// holds when the object goes.
class TemporaryFolder {
public:
    explicit TemporaryFolder(const char* prefix);
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Points XDG_CONFIG_HOME at `folder`, so the App reads the default settings
// and its save at exit lands there instead of in the user's own settings.
void useConfigHome(const TemporaryFolder& folder);

// Opens the display and checks that its screen holds a window of
// width x height at 24 bits; then fonts, scheme and palette as main sets
// them. `program` names the benchmark in the messages.
void openDisplay(const char* program, int width, int height);

// Fills `folder` (missing or empty) with make_tree, the generator built next
// to this program, so every run measures the same tree.
void makeTree(const std::filesystem::path& folder, unsigned long files, unsigned long folders, unsigned long seed);

// Runs the event loop until the App has adopted a result, or `seconds` pass;
// returns whether it has one.
bool waitForResult(App& app, double seconds);

// Runs the event loop for about `seconds`; then everything pending is drawn
// and the server has caught up.
void settle(double seconds);

// Flushes the toolkit's drawing and waits until the X server has done it.
void flushAndSync();

// "WxH" into its two numbers; false for anything else or for a size below
// the main window's smallest.
bool parseWindowSize(const char* text, int& width, int& height);

// Milliseconds on a steady clock.
double nowMs();

// The q-quantile (0..1) of `values`, interpolated between neighbouring
// order statistics; 0 for no values.
double quantile(std::vector<double> values, double q);

}  // namespace fan::bench
