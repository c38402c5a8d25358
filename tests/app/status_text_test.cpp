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
    const StatusFacts scanning{true, false, 1523, 2587712717, &noNodes, "x", true};
    const StatusFacts ready{false, false, 9, 9, &noNodes, "", true};
    uiLanguage = 1;
    EXPECT_EQ(statusText(scanning), "Scanning…   1523 files   ·   2.41 GiB");
    EXPECT_EQ(statusText(ready),
              "Ready   ·   0 files   ·   0 errors   ·   0 mount points scanned separately   ·   1.0 s   ·   "
              "Could not read /proc/self/mountinfo; file-system boundaries are unknown.");
}

}  // namespace
}  // namespace fan
