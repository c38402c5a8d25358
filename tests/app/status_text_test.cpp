#include "app/status_text.h"

#include <gtest/gtest.h>

#include "../texts/language_guard.h"

namespace fan {
namespace {

using StatusTextTest = LanguageTest;

// The window's own tests see the ready, stopped and error lines; these are the rest.
TEST_F(StatusTextTest, LinesTheWindowTestsDoNotReach) {
    Tree noNodes;
    noNodes.seconds = 0.96;
    struct Case {
        StatusFacts facts;
        std::string english, russian;
    } cases[] = {
        {{true, false, 1523, 2587712717, &noNodes, "x", true}, "Scanning…   1523 files   ·   2.41 GiB",
         "Сканирование…   1523 файлов   ·   2.41 ГиБ"},
        {{false, false, 9, 9, &noNodes, "", true},
         "Ready   ·   0 files   ·   0 errors   ·   0 mount points scanned separately   ·   1.0 s   ·   Could not "
         "read /proc/self/mountinfo; file-system boundaries are unknown.",
         "Готово   ·   0 файлов   ·   0 ошибок   ·   0 точек монтирования отдельно   ·   1.0 с   ·   Не удалось "
         "прочитать /proc/self/mountinfo; границы файловых систем неизвестны."},
    };
    for (const Case& c : cases) {
        uiLanguage = 1;
        EXPECT_EQ(statusText(c.facts), c.english);
        uiLanguage = 0;
        EXPECT_EQ(statusText(c.facts), c.russian);
    }
    EXPECT_EQ(formatSeconds(0.0), "0.0");
}

}  // namespace
}  // namespace fan
