#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>

#include <system_error>

#include "app/scan_worker_launch.h"
#include "app/status_text.h"
#include "app_test_support.h"
#include "ui/soft_button.h"

namespace fan::testing {
namespace {

class AppScanTest : public ::testing::Test {
protected:
    ~AppScanTest() override { scanWorkerLauncher = launchScanWorkerThread; }

    void enterPath(const std::string& path) {
        app.pathInput->value(path.c_str());
        Fl::focus(app.pathInput);
        sendKey(&app, FL_Enter);
    }
    void finish() { ASSERT_TRUE(scanEnded(app)); }
    void expectStatus(const std::string& english, const std::string& russian) {
        app.setLanguage(1);
        EXPECT_EQ(app.statusText.substr(0, english.size()), english);
        app.setLanguage(0);
        EXPECT_EQ(app.statusText.substr(0, russian.size()), russian);
    }

    TempTree data;
    ShownApp shown;
    App& app = *shown.app;
};

TEST_F(AppScanTest, AScanIsAdopted) {
    data.file("t/a/one", 1000), data.file("t/b/two", 3000), data.file("t/top", 10), data.folder("t/mnt");
    MountEntry inside;  // the worker walks with the window's table: this mount is not descended
    inside.mountPoint = (data.root() / "t/mnt").string();
    app.mountEntries = {inside}, app.refreshFileSystems();
    app.nodeHistory = {3}, app.rootHistory = {"/x"};
    enterPath((data.root() / "t/b/..").string());
    EXPECT_TRUE(app.cancelButton->active());
    finish();
    ASSERT_NE(app.result, nullptr);
    EXPECT_EQ(app.result->nodes[0].size, 4010u);
    EXPECT_TRUE(app.currentNode == 0 && app.nodeHistory.empty() && app.rootHistory.empty());
    EXPECT_EQ(app.pathFieldText(), (data.root() / "t").string());
    EXPECT_NE(app.fileSystemPaths.at(0), inside.mountPoint);  // the mounts listed afresh
    const std::string s = formatSeconds(app.result->seconds);
    expectStatus("Ready   ·   3 files   ·   0 errors   ·   1 mount points scanned separately   ·   " + s + " s",
                 "Готово   ·   3 файлов   ·   0 ошибок   ·   1 точек монтирования отдельно   ·   " + s + " с");
}

TEST_F(AppScanTest, CancelShowsStoppingAtOnceThenThePartialResult) {
    app.setLanguage(1), enterPath("/");
    while (app.scanProgress.files.load() == 0 && !app.workerDone.load()) {
    }
    click(app.cancelButton);
    EXPECT_EQ(app.statusText.rfind("Stopping scan…   ", 0), 0u);
    EXPECT_FALSE(app.cancelButton->active());
    app.rootHistory = {"/kept"}, app.start(data.root(), false);  // ignored while a scan runs
    EXPECT_EQ(app.rootHistory.size(), 1u);
    finish();
    ASSERT_NE(app.result, nullptr);
    const std::string files = std::to_string(app.result->nodes[0].fileCount);
    EXPECT_TRUE(app.result->stopped && files != "0") << files;
    expectStatus("Stopped · partial result   ·   " + files + " files   ·   ",
                 "Остановлено · неполный результат   ·   " + files + " файлов   ·   ");
}

std::thread failingLauncher(App&, std::filesystem::path) {
    throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
}

TEST_F(AppScanTest, FailuresShowTheirTextUntilTheNextScan) {
    const std::string file = data.write("file", "x").string(), missing = (data.root() / "no").string();
    const std::string odd = data.file("caf\xE9\xFF/in", 7).parent_path().string();
    const struct {
        std::string path;
        bool launches, adopted;
        std::string english, russian;
    } cases[] = {
        {file, true, false, "Could not open folder: " + file, "Не удалось открыть папку: " + file},
        {missing, true, false, "Could not open folder: " + missing, "Не удалось открыть папку: " + missing},
        {odd, true, true, "Ready   ·   1 files", "Готово   ·   1 файлов"},
        {odd, false, false, "Could not start the scan thread: ", "Не удалось запустить поток сканирования: "},
    };
    for (const auto& c : cases) {
        scanWorkerLauncher = c.launches ? launchScanWorkerThread : failingLauncher;
        enterPath(c.path);
        finish();
        EXPECT_EQ(app.result != nullptr, c.adopted) << c.path;
        EXPECT_EQ(app.pathFieldText(), c.path);
        EXPECT_TRUE(app.scanButton->active() && !app.cancelButton->active() && !app.upButton->active());
        expectStatus(c.english, c.russian);
        scanWorkerLauncher = launchScanWorkerThread;
        app.pathInput->value(data.root().c_str()), click(app.scanButton);
        EXPECT_TRUE(app.lastError.empty());
        finish();
        expectStatus("Ready", "Готово");
    }
}

TEST_F(AppScanTest, FileSystemsMenuItemsAreCutAndShownLiterally) {
    const std::string a51(51, 'a'), cyr26 = "жжжжжжжжжжжжжжжжжжжжжжжжжж", target = data.folder("R&D").string();
    // Mount point, type, source, device, model; the item shown.
    const struct {
        std::vector<std::string> fields;
        std::string item;
    } cases[] = {
        {{target, "x", "a/b@c", "", ""}, data.root().string() + "/R&&D · x · a/b@@c"},
        {{"/", "ext4", "/dev/sda1", "8:1", "ACME"}, "/ · ext4 · ACME"},
        {{"/home", "ext4", "/dev/sda2", "8:2", ""}, "/home · ext4 · 8:2"},
        {{"/n", "nfs4", "nas:/export", "0:52", "ACME"}, "/n · nfs4 · NFS nas"},
        {{"/same", "", "/same", "", ""}, "/same"},
        {{a51 + "b", "", "", "", ""}, a51 + "b"},
        {{a51 + "bc", "", "", "", ""}, a51 + "b…"},
        {{cyr26 + cyr26, "", "", "", ""}, cyr26 + cyr26},
        {{a51 + "😀x", "", "", "", ""}, a51 + "😀…"},
        {{a51 + "\xE2" + "bcd", "", "", "", ""}, a51 + "\uFFFD…"},  // not UTF-8
        {{"", "", "", "", ""}, ""},
    };
    app.mountEntries.assign(1, MountEntry{});
    app.mountEntries[0].pseudo = true;
    for (const auto& c : cases) {
        MountEntry& e = app.mountEntries.emplace_back();
        e.mountPoint = c.fields[0], e.fsType = c.fields[1], e.source = c.fields[2];
        e.device = c.fields[3], e.model = c.fields[4];
    }
    Fl_Choice& menu = *app.fileSystemsChoice;
    const int last = std::size(cases);
    app.refreshFileSystems(), menu.value(last), app.refreshFileSystems();  // keeps the choice
    ASSERT_EQ(menu.size(), last + 2);                                      // the header and the end mark besides
    EXPECT_EQ(menu.value(), last);
    for (int i = 0; i < last; ++i)
        EXPECT_EQ(menu.text(i + 1), cases[i].item);
    menu.do_callback();  // the empty item starts nothing
    EXPECT_FALSE(app.scanning);
    menu.value(1), menu.do_callback();
    EXPECT_EQ(app.pathFieldText(), target);
    finish();
    menu.value(2), app.mountEntries.resize(1), app.refreshFileSystems();  // the choice is past the end now
    EXPECT_EQ(menu.value(), 0);
}

}  // namespace
}  // namespace fan::testing
