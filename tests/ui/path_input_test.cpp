// The path field keeps a path of any length on one line.
#include <gtest/gtest.h>

#include <string>

#include "ui/path_input.h"
#include "ui_test_support.h"

namespace fan {
namespace {

using testing::Canvas;

TEST(PathInput, APathOfThousandsOfBytesStaysOnOneLine) {
    PathInput input(0, 0, 700, 36);
    input.box(FL_BORDER_BOX);
    input.color(FL_WHITE);
    input.textsize(14);
    std::string path;
    while (path.size() < 5000)
        path += "/folder";
    input.value(path.c_str());
    input.clear_damage(FL_DAMAGE_ALL);  // drawn whole, as when the window is exposed
    const Canvas c(700, 36, [&] { input.draw(); });
    EXPECT_LT(c.countIn(1, 12, 698, 12, FL_WHITE), 698 * 12);  // text on the first line
    EXPECT_EQ(c.countIn(1, 28, 698, 7, FL_WHITE), 698 * 7);    // nothing below it
}

}  // namespace
}  // namespace fan
