#include <FL/Fl.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <system_error>

#include "app/app.h"
#include "app/scan_worker_launch.h"
#include "app/status_text.h"
#include "core/temp_tree.h"
#include "texts/ui_texts.h"
#include "ui/soft_button.h"
#include "ui/ui_test_support.h"

namespace fan {
namespace {

using testing::TempTree;

// Runs the event loop (and so the poll timer) until `done` or the deadline.
bool waitFor(const std::function<bool()>& done, double seconds = 30.0) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        Fl::wait(0.02);
    }
    return true;
}

class AppScanTest : public ::testing::Test {
protected:
    AppScanTest() {
        // The App loads and saves the user's settings: keep them in a temporary folder.
        setenv("XDG_CONFIG_HOME", config.root().c_str(), 1);
        app = std::make_unique<App>();
        app->show();
        testing::settle(0.1);
    }
    ~AppScanTest() override {
        app.reset();
        scanWorkerLauncher = launchScanWorkerThread;
        uiLanguage = savedLanguage;
    }

    void click(Fl_Widget* widget) { testing::sendClick(app.get(), widget->x() + 5, widget->y() + 5); }

    // Types nothing: puts the bytes in the field, then presses Enter in it.
    void enterPath(const std::string& path) {
        app->pathInput->value(path.c_str());
        Fl::focus(app->pathInput);
        testing::sendKey(app.get(), FL_Enter);
    }

    bool finish() {
        return waitFor([this] { return !app->scanning; });
    }

    // The status line in English and in Russian.
    std::pair<std::string, std::string> statusInBothLanguages() {
        app->setLanguage(1);
        std::string english = app->statusText;
        app->setLanguage(0);
        std::string russian = app->statusText;
        return {english, russian};
    }

    int savedLanguage = uiLanguage;
    TempTree config;
    TempTree data;
    std::unique_ptr<App> app;
};

TEST_F(AppScanTest, ScanOfATreeIsAdopted) {
    data.file("tree/a/one", 1000);
    data.file("tree/a/two", 1000);
    data.file("tree/b/three", 3000);
    data.file("tree/top", 10);
    data.folder("tree/mnt");
    // The worker takes the window's mount list: a mount inside the tree is not walked.
    MountEntry inside;
    inside.mountPoint = (data.root() / "tree/mnt").string();
    app->mountEntries = {inside};
    app->nodeHistory = {3};
    app->rootHistory = {"/somewhere"};

    enterPath((data.root() / "tree/b/..").string());
    EXPECT_TRUE(app->scanning);
    EXPECT_TRUE(app->cancelButton->active());
    ASSERT_TRUE(finish());

    ASSERT_NE(app->result, nullptr);
    EXPECT_EQ(app->resultTree(), app->result.get());
    EXPECT_EQ(app->currentNode, 0u);
    EXPECT_TRUE(app->nodeHistory.empty());
    EXPECT_TRUE(app->rootHistory.empty());
    EXPECT_EQ(app->result->nodes[0].size, 5010u);
    EXPECT_EQ(std::string(app->pathInput->value()), (data.root() / "tree").string());
    EXPECT_FALSE(app->preview.valid);
    EXPECT_FALSE(app->cancelButton->active());
    EXPECT_TRUE(app->scanButton->active());

    // The list the scan was given is replaced by the system's and the menu follows it.
    EXPECT_TRUE(app->mountEntries.empty() || app->mountEntries[0].mountPoint != inside.mountPoint);
    EXPECT_EQ(app->fileSystemsChoice->size() - 2, static_cast<int>(app->fileSystemPaths.size()));

    const std::string seconds = formatSeconds(app->result->seconds);
    auto [english, russian] = statusInBothLanguages();
    EXPECT_EQ(english, "Ready   ·   4 files   ·   0 errors   ·   1 mount points scanned separately   ·   " + seconds + " s");
    EXPECT_EQ(russian, "Готово   ·   4 файлов   ·   0 ошибок   ·   1 точек монтирования отдельно   ·   " + seconds + " с");
}

TEST_F(AppScanTest, CancelStopsAtOnceAndAdoptsThePartialTree) {
    // Big enough that the walk is still busy when Cancel is pressed, in
    // memory where there is a memory file system (a disk makes it slow to build).
    const char* savedTmp = std::getenv("TMPDIR");
    std::string keptTmp = savedTmp ? savedTmp : "";
    if (std::filesystem::is_directory("/dev/shm")) setenv("TMPDIR", "/dev/shm", 1);
    TempTree big;
    savedTmp ? setenv("TMPDIR", keptTmp.c_str(), 1) : unsetenv("TMPDIR");
    constexpr int kFolders = 100, kFilesEach = 1000;
    for (int folder = 0; folder < kFolders; ++folder) {
        const int dir = ::open(big.folder("d" + std::to_string(folder)).c_str(), O_DIRECTORY | O_RDONLY);
        ASSERT_GE(dir, 0);
        for (int file = 0; file < kFilesEach; ++file)
            ::close(::openat(dir, std::to_string(file).c_str(), O_WRONLY | O_CREAT, 0644));
        ::close(dir);
    }
    app->setLanguage(1);
    click(app->scanButton);  // an empty field starts nothing
    EXPECT_FALSE(app->scanning);

    enterPath(big.root().string());
    ASSERT_TRUE(app->scanning);
    while (app->scanProgress.files.load() == 0 && !app->workerDone.load()) {
    }
    click(app->cancelButton);
    EXPECT_EQ(app->statusText.rfind("Stopping scan…   ", 0), 0u) << app->statusText;
    EXPECT_FALSE(app->cancelButton->active());

    // A request while the scan runs changes nothing, not even the history.
    app->rootHistory = {"/kept"};
    app->start(data.root(), false);
    EXPECT_EQ(app->rootHistory.size(), 1u);

    ASSERT_TRUE(finish());
    ASSERT_NE(app->result, nullptr);
    EXPECT_TRUE(app->result->stopped);
    const uint64_t files = app->result->nodes[0].fileCount;
    EXPECT_GT(files, 0u);
    EXPECT_LT(files, uint64_t{kFolders} * kFilesEach);
    EXPECT_EQ(app->statusText.rfind("Stopped · partial result   ·   " + std::to_string(files) + " files   ·   ", 0), 0u)
        << app->statusText;
}

TEST_F(AppScanTest, FailedScansShowTheirErrorUntilTheNextScan) {
    const std::string file = data.write("plain-file", "x").string();
    const std::string missing = (data.root() / "missing").string();
    const std::string odd = data.folder("caf\xE9-\xFF").string();
    data.file("caf\xE9-\xFF/inside", 7);
    const std::string good = data.folder("good").string();
    struct Case {
        std::string path;
        bool adopted;
        std::string english;
        std::string russian;
    } cases[] = {
        {file, false, "Could not open folder: " + file, "Не удалось открыть папку: " + file},
        {missing, false, "Could not open folder: " + missing, "Не удалось открыть папку: " + missing},
        {odd, true, "Ready   ·   1 files", "Готово   ·   1 файлов"},
    };
    for (const Case& c : cases) {
        enterPath(c.path);
        ASSERT_TRUE(finish()) << c.path;
        EXPECT_EQ(app->result != nullptr, c.adopted) << c.path;
        EXPECT_EQ(std::string(app->pathInput->value()), c.path);
        EXPECT_FALSE(app->upButton->active());
        EXPECT_EQ(app->analysisButton->active() != 0, c.adopted);
        auto [english, russian] = statusInBothLanguages();
        EXPECT_EQ(english.rfind(c.english, 0), 0u) << english;
        EXPECT_EQ(russian.rfind(c.russian, 0), 0u) << russian;

        enterPath(good);
        EXPECT_TRUE(app->lastError.empty());
        EXPECT_EQ(app->result, nullptr);
        ASSERT_TRUE(finish());
        EXPECT_EQ(app->statusText.rfind(uiText(txtReady), 0), 0u) << app->statusText;
    }
}

std::thread failingLauncher(App&, std::filesystem::path) {
    throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
}

TEST_F(AppScanTest, AWorkerThatCannotStartFailsTheScanOnly) {
    scanWorkerLauncher = failingLauncher;
    enterPath(data.root().string());
    EXPECT_FALSE(app->scanning);
    EXPECT_FALSE(app->cancelButton->active());
    EXPECT_TRUE(app->scanButton->active());
    auto [english, russian] = statusInBothLanguages();
    EXPECT_EQ(english.rfind("Could not start the scan thread: ", 0), 0u) << english;
    EXPECT_EQ(russian.rfind("Не удалось запустить поток сканирования: ", 0), 0u) << russian;

    scanWorkerLauncher = launchScanWorkerThread;
    click(app->scanButton);
    ASSERT_TRUE(finish());
    EXPECT_NE(app->result, nullptr);
}

TEST_F(AppScanTest, FileSystemsMenuShowsLabelsLiterallyAndScansTheChosenOne) {
    auto mount = [](std::string point, std::string source) {
        MountEntry e;
        e.mountPoint = std::move(point);
        e.source = std::move(source);
        e.fsType = "ext4";
        return e;
    };
    MountEntry pseudo = mount("/proc", "proc");
    pseudo.pseudo = true;
    const std::string target = data.folder("R&D").string();
    app->mountEntries = {mount("/a/b", "x"), pseudo, mount(target, "R&D/disk@home"), mount("", "")};
    app->mountEntries.back().fsType.clear();
    app->fileSystemsChoice->value(2);
    app->refreshFileSystems();

    Fl_Choice& menu = *app->fileSystemsChoice;
    ASSERT_EQ(menu.size(), 5);  // the header, three items, the terminator
    EXPECT_EQ(menu.value(), 2);
    EXPECT_EQ(std::string(menu.text(1)), "/a/b · ext4 · x");
    EXPECT_EQ(std::string(menu.text(2)), data.root().string() + "/R&&D · ext4 · R&&D/disk@@home");
    EXPECT_EQ(std::string(menu.text(3)), "");

    menu.value(3);  // the empty item: no path, nothing starts
    menu.do_callback();
    EXPECT_FALSE(app->scanning);
    menu.value(2);
    menu.do_callback();
    EXPECT_TRUE(app->scanning);
    EXPECT_EQ(std::string(app->pathInput->value()), target);
    ASSERT_TRUE(finish());

    // The adopted scan brought the system's table; a selection past its end falls back to the header.
    app->mountEntries.resize(1);
    app->mountEntries[0].pseudo = false;
    menu.value(2);
    app->refreshFileSystems();
    EXPECT_EQ(menu.value(), 0);
}

}  // namespace
}  // namespace fan
