// Text tables, language selection, size formatting and message translation.
#include "texts/ui_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>

#include "texts/language_guard.h"

namespace fan {
namespace {

bool hasCyrillic(const std::string& text) {
    return text.find_first_of("\xD0\xD1") != std::string::npos;
}

TEST(TextTables, BothLanguagesFilledForEveryShownEntry) {
    for (const auto& [table, size, unusedSlot] :
         {std::tuple{uiTexts, int(uiTextCount), 27}, {settingsTexts, int(settingsTextCount), 0}})
        for (int i = 0; i < size; ++i) {
            const std::string english = table[i].english;
            const std::string russian = table[i].russian;
            SCOPED_TRACE("entry " + std::to_string(i) + ": " + english);
            if (i == unusedSlot) continue;
            ASSERT_FALSE(english.empty());
            ASSERT_FALSE(russian.empty());
            EXPECT_FALSE(hasCyrillic(english));
            // The one Russian text without Cyrillic names English in English.
            EXPECT_TRUE(hasCyrillic(russian) || &table[i] == &settingsTexts[stxtEnglish]);
            // Callers append to a trailing blank and rely on the line count.
            EXPECT_EQ(english.back() == ' ', russian.back() == ' ');
            const auto lines = [](const std::string& text) { return std::count(text.begin(), text.end(), '\n'); };
            EXPECT_EQ(lines(english), lines(russian));
        }
}

TEST_F(LanguageTest, FormatSizeChoosesUnitAndDecimalsBeforeRounding) {
    const std::pair<uint64_t, const char*> rows[] = {
        {1023, "1023 B"},
        {10 * 1024 - 5, "10.00 KiB"},  // 9.9951: still two
        {UINT64_MAX, "16.0 EiB"},      // rounds to 2^64
    };
    uiLanguage = 0;  // the argument decides, not the interface language
    for (const auto& [bytes, english] : rows)
        EXPECT_EQ(formatSize(bytes, 1), english) << bytes;
    EXPECT_EQ(formatSize(10240, 2), "10.0 КиБ");  // any language but English is Russian
}

}  // namespace
}  // namespace fan
