// Text tables, language selection, size formatting and message translation.
#include "texts/ui_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>

#include "texts/language_guard.h"

namespace fan {
namespace {

namespace fs = std::filesystem;

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
            if (i == unusedSlot) {
                EXPECT_EQ(english, "");
                EXPECT_EQ(russian, "");
                continue;
            }
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

// Every key named in the interface's sources, the tables themselves left
// out, and the keys of screens still being built (drop a name once its
// screen shows it).
std::set<std::string> keysShown() {
    std::set<std::string> names{"txtFree"};
    const std::regex key(R"(\bs?txt\w+)");
    for (const char* dir : {"ui", "app", "texts"})
        for (const auto& file : fs::recursive_directory_iterator(fs::path(FAN_SOURCE_DIR) / dir)) {
            if (file.path().stem() == "ui_texts" || !file.is_regular_file()) continue;
            std::ostringstream text;
            text << std::ifstream(file.path()).rdbuf();
            const std::string s = text.str();
            for (std::sregex_iterator k(s.begin(), s.end(), key), end; k != end; ++k)
                names.insert(k->str());
        }
    return names;
}

TEST(TextTables, EveryKeyHasASlotOfItsOwnAndSomeScreenShowsIt) {
    std::ifstream header(FAN_SOURCE_DIR "/texts/ui_texts.h");
    ASSERT_TRUE(header) << "cannot read the key declarations";
    const std::set<std::string> shown = keysShown();
    const std::regex declaration(R"(^\s*(s?txt\w+) = (\d+),)");
    std::set<std::pair<char, int>> slots;
    for (std::string line; std::getline(header, line);) {
        std::smatch key;
        if (!std::regex_search(line, key, declaration)) continue;
        const std::string name = key[1];
        EXPECT_TRUE(slots.insert({name[0], std::stoi(key[2])}).second) << name << " shares a slot";
        EXPECT_TRUE(shown.count(name)) << name << " is shown nowhere";
    }
    EXPECT_EQ(slots.size(), size_t(uiTextCount - 1 + settingsTextCount - 1));
}

TEST_F(LanguageTest, LookupFollowsTheLanguage) {
    for (int language : {1, 0, 2}) {  // only 1 is English
        SCOPED_TRACE(language);
        uiLanguage = language;
        const bool english = language == 1;
        EXPECT_EQ(std::string(uiText(txtScan)), english ? "Scan" : "Сканировать");
        EXPECT_EQ(std::string(settingsText(stxtDefaults)), english ? "Defaults" : "По умолчанию");
        EXPECT_EQ(std::string(pickText("yes", "да")), english ? "yes" : "да");
    }
    // Out of range: no text.
    EXPECT_EQ(std::string(uiText(UiTextKey(uiTextCount))), "");
    EXPECT_EQ(std::string(uiText(UiTextKey(-1))), "");
    EXPECT_EQ(std::string(settingsText(SettingsTextKey(settingsTextCount))), "");
}

TEST_F(LanguageTest, FormatSizeChoosesUnitAndDecimalsBeforeRounding) {
    const std::pair<uint64_t, const char*> rows[] = {
        {0, "0 B"},
        {1023, "1023 B"},
        {1024, "1.00 KiB"},
        {1029, "1.00 KiB"},
        {1030, "1.01 KiB"},  // 1.0048828125 and 1.005859375
        {10 * 1024 - 6, "9.99 KiB"},
        {10 * 1024 - 5, "10.00 KiB"},  // 9.9951: still two
        {10240, "10.0 KiB"},
        {102348, "99.9 KiB"},
        {102349, "100.0 KiB"},
        {1048575, "1024.0 KiB"},
        {UINT64_MAX, "16.0 EiB"},  // rounds to 2^64
    };
    uiLanguage = 0;  // the argument decides, not the interface language
    for (const auto& [bytes, english] : rows)
        EXPECT_EQ(formatSize(bytes, 1), english) << bytes;
    uiLanguage = 1;
    const char* const units[][2] = {{"B", "Б"},     {"KiB", "КиБ"}, {"MiB", "МиБ"}, {"GiB", "ГиБ"},
                                    {"TiB", "ТиБ"}, {"PiB", "ПиБ"}, {"EiB", "ЭиБ"}};
    for (int unit = 0; unit < 7; ++unit)
        for (int language : {1, 0, 2, -1})
            EXPECT_EQ(formatSize(uint64_t{3} << (10 * unit), language),
                      std::string(unit == 0 ? "3 " : "3.00 ") + units[unit][language != 1]);
}

// Each prefix's translation, and the Russian interface leaving the core's
// texts alone, are checked against the core's own texts; here the edges:
// one leading prefix, replaced once, and nothing else.
TEST_F(LanguageTest, LocalizeMessageReplacesOneLeadingPrefix) {
    const std::pair<std::string, std::string> rows[] = {
        {"Ошибка сканирования: ", "Scan error: "},
        {"Ошибка сканирования: Нет доступа к папке: /x", "Scan error: Нет доступа к папке: /x"},
        {"Сбой. Нет доступа к папке: /x", "Сбой. Нет доступа к папке: /x"},
        {"Нет доступа к папке /x", "Нет доступа к папке /x"},
        {"Cannot access folder: /x", "Cannot access folder: /x"},
        {"", ""},
    };
    uiLanguage = 1;
    for (const auto& [message, english] : rows)
        EXPECT_EQ(localizeMessage(message), english) << message;
}

}  // namespace
}  // namespace fan
