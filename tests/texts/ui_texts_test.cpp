// Text tables, language selection, size formatting and message translation.
#include "ui/ui_texts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "texts/language_guard.h"

namespace fan {
namespace {

bool isValidUtf8(const char* text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        int follow = 0;
        if (*p < 0x80)
            follow = 0;
        else if ((*p & 0xE0) == 0xC0 && *p >= 0xC2)
            follow = 1;
        else if ((*p & 0xF0) == 0xE0)
            follow = 2;
        else if ((*p & 0xF8) == 0xF0 && *p <= 0xF4)
            follow = 3;
        else
            return false;
        ++p;
        for (int i = 0; i < follow; ++i, ++p) {
            if ((*p & 0xC0) != 0x80)
                return false;
        }
    }
    return true;
}

// The printf-style conversions in a text, in order ("%%" excluded).
std::string placeholders(const char* text) {
    std::string found;
    for (const char* p = text; *p; ++p) {
        if (*p != '%' || p[1] == '\0')
            continue;
        if (p[1] == '%') {
            ++p;
            continue;
        }
        // "%" at the end of a label ("transparency, %") is a sign, not a
        // conversion: only a letter right after it counts.
        if ((p[1] >= 'a' && p[1] <= 'z') || (p[1] >= 'A' && p[1] <= 'Z'))
            found += p[1];
    }
    return found;
}

struct TableView {
    const char* name;
    const TextEntry* entries;
    int count;
    int unusedSlot;
};

const TableView tables[] = {
    {"uiTexts", uiTexts, uiTextCount, 27},
    {"settingsTexts", settingsTexts, settingsTextCount, 0},
};

TEST(TextTables, HaveTheirSizes) {
    EXPECT_EQ(uiTextCount, 86);
    EXPECT_EQ(settingsTextCount, 24);
    EXPECT_EQ(sizeof uiTexts / sizeof uiTexts[0], 86u);
    EXPECT_EQ(sizeof settingsTexts / sizeof settingsTexts[0], 24u);
}

TEST(TextTables, AreCompleteAndParallel) {
    for (const TableView& table : tables) {
        for (int i = 0; i < table.count; ++i) {
            SCOPED_TRACE(std::string(table.name) + " entry " + std::to_string(i));
            const TextEntry& entry = table.entries[i];
            EXPECT_EQ(entry.key, i);
            ASSERT_NE(entry.english, nullptr);
            ASSERT_NE(entry.russian, nullptr);
            if (i == table.unusedSlot) {
                EXPECT_STREQ(entry.english, "");
                EXPECT_STREQ(entry.russian, "");
                continue;
            }
            EXPECT_STRNE(entry.english, "");
            EXPECT_STRNE(entry.russian, "");
            EXPECT_TRUE(isValidUtf8(entry.english));
            EXPECT_TRUE(isValidUtf8(entry.russian));
            EXPECT_EQ(placeholders(entry.english), placeholders(entry.russian));
        }
    }
}

// A Russian text copied from the English column is the likeliest slip when
// the tables are edited; only the name of the English language itself is
// the same in both.
TEST(TextTables, RussianDiffersFromEnglishExceptTheLanguageName) {
    for (const TableView& table : tables) {
        for (int i = 0; i < table.count; ++i) {
            if (i == table.unusedSlot || (table.entries == settingsTexts && i == stxtEnglish))
                continue;
            SCOPED_TRACE(std::string(table.name) + " entry " + std::to_string(i));
            EXPECT_STRNE(table.entries[i].english, table.entries[i].russian);
        }
    }
    EXPECT_STREQ(settingsTexts[stxtEnglish].russian, "English");
}

TEST(TextTables, SharedAndDivergentEntries) {
    EXPECT_STREQ(uiTexts[txtFree].english, uiTexts[txtVolumeFree].english);
    EXPECT_STREQ(uiTexts[txtFree].russian, uiTexts[txtVolumeFree].russian);
    EXPECT_STREQ(uiTexts[txtMoveToTrash].english, uiTexts[txtMoveToTrashTitle].english);
    EXPECT_STRNE(uiTexts[txtMoveToTrash].russian, uiTexts[txtMoveToTrashTitle].russian);
}

// Keys and texts that other windows and tests rely on, with the bytes that
// are easy to lose: trailing blanks, the ellipsis, the middle dot, the dash
// and the Cyrillic "ОК".
TEST(TextTables, KeysNameTheirTexts) {
    struct Row {
        const TextEntry& entry;
        const char* english;
        const char* russian;
    };
    const Row rows[] = {
        {uiTexts[txtOpenFolder], "Open folder", "Открыть папку"},
        {uiTexts[txtSeconds], "s", "с"},
        {uiTexts[txtWelcomeTagline], "Every byte has a place.", "У каждого байта есть место."},
        {uiTexts[txtScanning], "Scanning\xE2\x80\xA6", "Сканирование\xE2\x80\xA6"},
        {uiTexts[txtNavigationHint], "Folder \xE2\x80\x94 open \xC2\xB7 Center \xE2\x80\x94 up",
         "Папка \xE2\x80\x94 подробнее \xC2\xB7 Центр \xE2\x80\x94 вверх"},
        {uiTexts[txtFilesPrefix], "Files: ", "Файлы: "},
        {uiTexts[txtFound], "Found: ", "Найдено: "},
        {uiTexts[txtFolderTag], "[folder] ", "[папка] "},
        {uiTexts[txtNetwork], "network", "сеть"},
        {uiTexts[txtDisk], "disk", "диск"},
        {uiTexts[txtSource], "source", "источник"},
        {uiTexts[txtTotalFree], "total free", "всего свободно"},
        {uiTexts[txtFreeSpaceUnknown], "Free space unavailable", "Свободное место неизвестно"},
        {uiTexts[txtPathCopied], "Path copied", "Путь скопирован"},
        {settingsTexts[stxtSettingsTooltip], "fanOrbiter settings", "Настройки fanOrbiter"},
        {settingsTexts[stxtTransparencyLabel], "Map background transparency, %",
         "Прозрачность фона карты, %"},
        {settingsTexts[stxtOk], "OK", "\xD0\x9E\xD0\x9A"},
        {settingsTexts[stxtTrashEmptied], "Trash emptied", "Корзина очищена"},
    };
    for (const Row& row : rows) {
        EXPECT_STREQ(row.entry.english, row.english);
        EXPECT_STREQ(row.entry.russian, row.russian);
    }
}

TEST(TextTables, WelcomeHelpHasSixLinesWithTheThirdEmpty) {
    for (const char* text : {uiTexts[txtWelcomeHelp].english, uiTexts[txtWelcomeHelp].russian}) {
        std::vector<std::string> lines(1);
        for (const char* p = text; *p; ++p) {
            if (*p == '\n')
                lines.emplace_back();
            else
                lines.back() += *p;
        }
        ASSERT_EQ(lines.size(), 6u) << text;
        EXPECT_TRUE(lines[2].empty());
        for (int i : {0, 1, 3, 4, 5})
            EXPECT_FALSE(lines[i].empty());
    }
}

TEST_F(LanguageTest, LookupFollowsTheLanguage) {
    uiLanguage = 1;
    EXPECT_STREQ(uiText(txtScan), "Scan");
    EXPECT_STREQ(settingsText(stxtDefaults), "Defaults");
    EXPECT_STREQ(pickText("yes", "да"), "yes");
    EXPECT_STREQ(pickText(uiTexts[txtReady]), "Ready");

    uiLanguage = 0;
    EXPECT_STREQ(uiText(txtScan), "Сканировать");
    EXPECT_STREQ(settingsText(stxtDefaults), "По умолчанию");
    EXPECT_STREQ(pickText("yes", "да"), "да");
    EXPECT_STREQ(pickText(uiTexts[txtReady]), "Готово");

    // Only 1 is English.
    uiLanguage = 2;
    EXPECT_STREQ(uiText(txtScan), "Сканировать");
}

TEST_F(LanguageTest, LookupOutsideTheTablesGivesAnEmptyText) {
    uiLanguage = 1;
    EXPECT_STREQ(uiText(static_cast<UiTextKey>(uiTextCount)), "");
    EXPECT_STREQ(uiText(static_cast<UiTextKey>(-1)), "");
    EXPECT_STREQ(settingsText(static_cast<SettingsTextKey>(settingsTextCount)), "");
}

struct SizeRow {
    uint64_t bytes;
    const char* english;
    const char* russian;
};

const SizeRow sizeRows[] = {
    {0, "0 B", "0 Б"},
    {1, "1 B", "1 Б"},
    {1023, "1023 B", "1023 Б"},
    {1024, "1.00 KiB", "1.00 КиБ"},
    {1536, "1.50 KiB", "1.50 КиБ"},
    // 1029 B is 1.0048828125 KiB, 1030 B is 1.005859375 KiB.
    {1029, "1.00 KiB", "1.00 КиБ"},
    {1030, "1.01 KiB", "1.01 КиБ"},
    // The precision is chosen before rounding: 9.9951 KiB keeps two decimals.
    {10 * 1024 - 6, "9.99 KiB", "9.99 КиБ"},
    {10 * 1024 - 5, "10.00 KiB", "10.00 КиБ"},
    {10240, "10.0 KiB", "10.0 КиБ"},
    {102348, "99.9 KiB", "99.9 КиБ"},
    {102349, "100.0 KiB", "100.0 КиБ"},
    {1048575, "1024.0 KiB", "1024.0 КиБ"},
    {1048576, "1.00 MiB", "1.00 МиБ"},
    {uint64_t{5} << 30, "5.00 GiB", "5.00 ГиБ"},
    {uint64_t{1} << 40, "1.00 TiB", "1.00 ТиБ"},
    {uint64_t{3} << 50, "3.00 PiB", "3.00 ПиБ"},
    {uint64_t{1} << 60, "1.00 EiB", "1.00 ЭиБ"},
    {uint64_t{1} << 63, "8.00 EiB", "8.00 ЭиБ"},
    // Rounds to 2^64 as a double: exactly 16 EiB.
    {UINT64_MAX, "16.0 EiB", "16.0 ЭиБ"},
};

TEST(FormatSize, GivesTheTableTexts) {
    for (const SizeRow& row : sizeRows) {
        SCOPED_TRACE(row.bytes);
        EXPECT_EQ(formatSize(row.bytes, 1), row.english);
        EXPECT_EQ(formatSize(row.bytes, 0), row.russian);
    }
}

TEST(FormatSize, AnyLanguageButOneIsRussian) {
    for (int language : {0, 2, -1, 1000})
        EXPECT_EQ(formatSize(1536, language), "1.50 КиБ") << language;
}

// The argument decides, not the process-wide language.
TEST_F(LanguageTest, FormatSizeIgnoresTheInterfaceLanguage) {
    uiLanguage = 0;
    EXPECT_EQ(formatSize(1024, 1), "1.00 KiB");
    uiLanguage = 1;
    EXPECT_EQ(formatSize(1024, 0), "1.00 КиБ");
}

struct MessageRow {
    std::string message;
    std::string english;
};

const std::vector<MessageRow> messageRows = {
    {"Не удалось открыть папку: /home/user/Документы", "Could not open folder: /home/user/Документы"},
    {"Нет доступа к папке: /root/secret", "Cannot access folder: /root/secret"},
    {"Не удалось прочитать /proc/self/mountinfo; границы файловых систем неизвестны.",
     "Could not read /proc/self/mountinfo; file-system boundaries are unknown."},
    {"Не удалось определить устройство папки.", "Could not determine the folder device."},
    {"Ошибка сканирования: std::bad_alloc", "Scan error: std::bad_alloc"},
    // The prefix alone, with nothing behind it.
    {"Ошибка сканирования: ", "Scan error: "},
    // Only the leading prefix is replaced, and only once.
    {"Ошибка сканирования: Нет доступа к папке: /x", "Scan error: Нет доступа к папке: /x"},
    {"Нет доступа к папке: Нет доступа к папке: ", "Cannot access folder: Нет доступа к папке: "},
    // Not at the start, incomplete, or not Russian at all: unchanged.
    {"Сбой. Нет доступа к папке: /x", "Сбой. Нет доступа к папке: /x"},
    {" Нет доступа к папке: /x", " Нет доступа к папке: /x"},
    {"Нет доступа к папке /x", "Нет доступа к папке /x"},
    {"Нет доступа", "Нет доступа"},
    {"Cannot access folder: /x", "Cannot access folder: /x"},
    {"", ""},
};

TEST_F(LanguageTest, LocalizeMessageTranslatesKnownPrefixesInEnglish) {
    uiLanguage = 1;
    for (const MessageRow& row : messageRows)
        EXPECT_EQ(localizeMessage(row.message), row.english) << row.message;
}

TEST_F(LanguageTest, LocalizeMessageKeepsEverythingInRussian) {
    uiLanguage = 0;
    for (const MessageRow& row : messageRows)
        EXPECT_EQ(localizeMessage(row.message), row.message);
}

// A message already on show follows a later language switch.
TEST_F(LanguageTest, LocalizeMessageFollowsALanguageSwitch) {
    const std::string stored = "Нет доступа к папке: /srv";
    uiLanguage = 1;
    EXPECT_EQ(localizeMessage(stored), "Cannot access folder: /srv");
    uiLanguage = 0;
    EXPECT_EQ(localizeMessage(stored), stored);
}

}  // namespace
}  // namespace fan
