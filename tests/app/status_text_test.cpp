#include "app/status_text.h"

#include <gtest/gtest.h>

#include "../texts/language_guard.h"

namespace fan {
namespace {

using StatusTextTest = LanguageTest;

Tree summaryTree(uint64_t files, uint64_t errors, uint64_t mounts, double seconds, bool stopped) {
    Tree tree;
    tree.nodes.resize(1);
    tree.nodes[0].fileCount = files;
    tree.nodes[0].isFolder = true;
    tree.errorCount = errors;
    tree.mountPointCount = mounts;
    tree.seconds = seconds;
    tree.stopped = stopped;
    return tree;
}

TEST_F(StatusTextTest, EachStateInBothLanguages) {
    Tree ready = summaryTree(1523, 3, 1, 12.43, false);
    Tree partial = summaryTree(7, 0, 0, 0.0, true);
    Tree noNodes;
    noNodes.seconds = 0.96;
    const uint64_t bytes = 2587712717;  // 2.41 GiB
    struct Case {
        const char* name;
        StatusFacts facts;
        const char* english;
        const char* russian;
    } cases[] = {
        {"idle", {}, "Choose a folder or drive to see where the space goes.",
         "Выберите папку или диск, чтобы увидеть, куда уходит место."},
        {"scanning", {true, false, 1523, bytes, nullptr, "", false}, "Scanning…   1523 files   ·   2.41 GiB",
         "Сканирование…   1523 файлов   ·   2.41 ГиБ"},
        {"stopping, a result and an error are not looked at", {true, true, 0, 0, &ready, "x", true},
         "Stopping scan…   0 files   ·   0 B", "Останавливаю сканирование…   0 файлов   ·   0 Б"},
        {"ready", {false, false, 9, 9, &ready, "", false},
         "Ready   ·   1523 files   ·   3 errors   ·   1 mount points scanned separately   ·   12.4 s",
         "Готово   ·   1523 файлов   ·   3 ошибок   ·   1 точек монтирования отдельно   ·   12.4 с"},
        {"stopped", {false, false, 0, 0, &partial, "", false},
         "Stopped · partial result   ·   7 files   ·   0 errors   ·   0 mount points scanned separately   ·   0.0 s",
         "Остановлено · неполный результат   ·   7 файлов   ·   0 ошибок   ·   0 точек монтирования отдельно   ·   0.0 с"},
        {"a tree without nodes", {false, false, 0, 0, &noNodes, "", false},
         "Ready   ·   0 files   ·   0 errors   ·   0 mount points scanned separately   ·   1.0 s",
         "Готово   ·   0 файлов   ·   0 ошибок   ·   0 точек монтирования отдельно   ·   1.0 с"},
        {"the core's error", {false, false, 0, 0, nullptr, "Не удалось открыть папку: /tmp/x", false},
         "Could not open folder: /tmp/x", "Не удалось открыть папку: /tmp/x"},
        {"an unknown error", {false, false, 0, 0, nullptr, "Scan failed", false}, "Scan failed", "Scan failed"},
        {"the worker thread did not start",
         {false, false, 0, 0, nullptr, workerStartFailure("Resource temporarily unavailable"), false},
         "Could not start the scan thread: Resource temporarily unavailable",
         "Не удалось запустить поток сканирования: Resource temporarily unavailable"},
        {"no mount table", {false, false, 0, 0, nullptr, "", true},
         "Choose a folder or drive to see where the space goes.   ·   Could not read /proc/self/mountinfo; "
         "file-system boundaries are unknown.",
         "Выберите папку или диск, чтобы увидеть, куда уходит место.   ·   Не удалось прочитать "
         "/proc/self/mountinfo; границы файловых систем неизвестны."},
    };
    for (const Case& c : cases) {
        uiLanguage = 1;
        EXPECT_EQ(statusText(c.facts), c.english) << c.name;
        uiLanguage = 0;
        EXPECT_EQ(statusText(c.facts), c.russian) << c.name;
    }
}

TEST(FormatSecondsTest, OneDecimalRoundedToNearest) {
    struct Case {
        double seconds;
        const char* text;
    } cases[] = {{0.0, "0.0"}, {0.04, "0.0"}, {0.06, "0.1"}, {9.96, "10.0"}, {12.43, "12.4"}, {3600.25, "3600.2"}};
    for (const Case& c : cases) EXPECT_EQ(formatSeconds(c.seconds), c.text) << c.seconds;
}

}  // namespace
}  // namespace fan
