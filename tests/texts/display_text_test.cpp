// Odd file names drawn readably: bad bytes and control characters.
#include "texts/display_text.h"

#include <gtest/gtest.h>

#include <string>

namespace fan {
namespace {

TEST(DisplayText, BadBytesAndControlCharactersBecomeVisible) {
    const struct {
        const char* name;
        std::string text, shown;
    } rows[] = {
        {"valid text unchanged", "Дом/\xF0\x9F\x98\x80 a\\b", "Дом/\xF0\x9F\x98\x80 a\\b"},
        {"Latin-1 bytes", "bad\xFF\xFEname", "bad\xEF\xBF\xBD\xEF\xBF\xBDname"},
        {"overlong form", "\xE0\x80\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"surrogate", "\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"named escapes", "a\tb\nc\rd", "a\\tb\\nc\\rd"},
        {"other controls in hex", std::string("\x01\x1F\x7F\0z", 5), "\\x01\\x1f\\x7f\\x00z"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(displayText(row.text), row.shown);
    }
}

}  // namespace
}  // namespace fan
