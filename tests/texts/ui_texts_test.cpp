// Text tables, language selection, size formatting and message translation.
#include "texts/ui_texts.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "texts/language_guard.h"

namespace fan {
namespace {

// One entry as the interface is meant to show it: index, key, English,
// Russian. The lists below hold every entry of both tables, written out
// independently of the tables themselves, with the bytes that are easy to
// lose (trailing blanks, "…", "·", "—", the Cyrillic "ОК"); "\n" is a line
// feed.
struct ListedText {
    int index;
    int key;
    const char* english;
    const char* russian;
};

const ListedText listedUiTexts[] = {
    {0, txtOpenFolder, "Open folder", "Открыть папку"},
    {1, txtBackTooltip, "Back (Alt+Left)", "Назад (Alt+Left)"},
    {2, txtUpTooltip, "Up one level (Backspace)", "На уровень выше (Backspace)"},
    {3, txtScan, "Scan", "Сканировать"},
    {4, txtCancel, "Cancel", "Отмена"},
    {5, txtFileSystems, "File systems", "Файловые системы"},
    {6, txtOverview, "Overview", "Обзор"},
    {7, txtNormal, "Normal", "Обычный"},
    {8, txtDetailed, "Detailed", "Подробнее"},
    {9, txtAnalysis, "Analysis", "Анализ"},
    {10, txtHelp, "Help", "Справка"},
    {11, txtAnalysisTooltip, "Largest files and search (Ctrl+F)", "Крупнейшие файлы и поиск (Ctrl+F)"},
    {12, txtHelpTooltip, "Help (F1)", "Справка (F1)"},
    {13, txtDetailTooltip, "Overview: 4 levels and large objects. Open a folder to reveal more detail.", "Обзор: 4 уровня, крупные объекты. Детали раскрываются при переходе в папку."},
    {14, txtFileSystemsTooltip, "Mount point, file system, and physical or network source", "Точка монтирования, файловая система и физический или сетевой источник"},
    {15, txtSubtitle, "DISK SPACE MAP", "КАРТА МЕСТА НА ДИСКЕ"},
    {16, txtNavigationHint, "Folder — open · Center — up", "Папка — подробнее · Центр — вверх"},
    {17, txtChooseFolderTitle, "Choose a folder to scan", "Выберите папку для сканирования"},
    {18, txtIdlePrompt, "Choose a folder or drive to see where the space goes.", "Выберите папку или диск, чтобы увидеть, куда уходит место."},
    {19, txtScanning, "Scanning…", "Сканирование…"},
    {20, txtStopping, "Stopping scan…", "Останавливаю сканирование…"},
    {21, txtReady, "Ready", "Готово"},
    {22, txtStoppedPartial, "Stopped · partial result", "Остановлено · неполный результат"},
    {23, txtFiles, "files", "файлов"},
    {24, txtErrors, "errors", "ошибок"},
    {25, txtMountsSeparately, "mount points scanned separately", "точек монтирования отдельно"},
    {26, txtSeconds, "s", "с"},
    {28, txtWelcomeTagline, "Every byte has a place.", "У каждого байта есть место."},
    {29, txtWelcomeHint, "Choose a folder with the button above", "Выберите папку кнопкой сверху"},
    {30, txtWelcomeTitle, "Folder and file sizes", "Размеры папок и файлов"},
    {31, txtWelcomeHelp, "Rings show nesting.\nSector angle shows relative size.\n\nHover for details.\nClick a folder to open it.\nUse the mouse wheel to scroll the list.", "Кольца показывают вложенность.\nУгол сектора — долю размера.\n\nНаведите курсор для подробностей.\nНажмите на папку, чтобы войти.\nКолесо прокручивает список."},
    {32, txtVolumeCapacity, "volume capacity", "ёмкость тома"},
    {33, txtInThisFolder, "in this folder", "в этой папке"},
    {34, txtUsed, "used", "занято"},
    {35, txtFree, "free", "свободно"},
    {36, txtReserveQuota, "reserve / quota", "резерв / квота"},
    {37, txtFreeSpaceUnknown, "Free space unavailable", "Свободное место неизвестно"},
    {38, txtFilesPrefix, "Files: ", "Файлы: "},
    {39, txtGreyLegend, "Grey — files and small folders", "Серое — файлы и мелкие папки"},
    {40, txtContents, "Contents", "Содержимое"},
    {41, txtObjectsBySize, "objects · by size", "объектов · по размеру"},
    {42, txtFolder, "folder", "папка"},
    {43, txtFolderEmpty, "Folder is empty or inaccessible", "Папка пуста или недоступна"},
    {44, txtMouseWheel, "Mouse wheel", "Колесо мыши"},
    {45, txtHoverHint, "Hover a sector or an item on the right to see details.", "Наведите курсор на сектор или объект справа, чтобы увидеть детали."},
    {46, txtClickScanSeparately, "click: scan separately", "клик: сканировать отдельно"},
    {47, txtFilesAndSmallFolders, "Files and small folders", "Файлы и мелкие папки"},
    {48, txtLargestFiles, "Largest files", "Крупнейшие файлы"},
    {49, txtSearchByName, "Search by name", "Поиск по имени"},
    {50, txtShowOnMap, "Show on map", "Показать на карте"},
    {51, txtSearchTooltip, "Part of a file or folder name; Latin and Cyrillic search is case-insensitive", "Часть имени файла или папки; латиница и русская кириллица — без учёта регистра"},
    {52, txtScanFirst, "Scan a folder or drive first.", "Сначала просканируйте папку или диск."},
    {53, txtLargestFilesStatus, "largest files in the snapshot. Double-click to reveal the location.", "крупнейших файлов во всём снимке. Двойной щелчок открывает расположение."},
    {54, txtEnterQuery, "Enter part of a file or folder name.", "Введите часть имени файла или папки."},
    {55, txtFound, "Found: ", "Найдено: "},
    {56, txtShowingFirst500, "(showing first 500)", "(показаны первые 500)"},
    {57, txtFolderTag, "[folder] ", "[папка] "},
    {58, txtAnalysisTitle, "Analysis - fanOrbiter", "Анализ - fanOrbiter"},
    {59, txtHelpTitle, "Help - fanOrbiter", "Справка - fanOrbiter"},
    {60, txtCouldNotOpenLink, "Could not open link:", "Не удалось открыть ссылку:"},
    {61, txtNetwork, "network", "сеть"},
    {62, txtDisk, "disk", "диск"},
    {63, txtSource, "source", "источник"},
    {64, txtVolumeFree, "free", "свободно"},
    {65, txtTotalFree, "total free", "всего свободно"},
    {66, txtObjectsDiscovered, "objects discovered", "объектов обнаружено"},
    {67, txtLivePreview, "Live preview", "Предварительная карта"},
    {68, txtReadingStructure, "Reading drive structure…", "Читаем структуру диска…"},
    {69, txtPreviewNote, "Dim sectors have not been fully scanned yet. Sizes and angles are refined as the scan progresses.", "Приглушённые сектора ещё не просканированы. Размеры и углы уточняются по мере обхода."},
    {70, txtStatePending, "pending", "ожидает"},
    {71, txtStateScanning, "scanning", "сканируется"},
    {72, txtStateComplete, "complete", "готово"},
    {73, txtStateAccessError, "access error", "ошибка доступа"},
    {74, txtStateOtherFileSystem, "other file system", "другая ФС"},
    {75, txtRootFiles, "Root files", "Файлы корня"},
    {76, txtShowInFileManager, "Show in file manager", "Показать в файловом менеджере"},
    {77, txtCopyPath, "Copy path", "Копировать путь"},
    {78, txtOpenTerminal, "Open terminal here", "Открыть терминал здесь"},
    {79, txtRescan, "Rescan", "Пересканировать"},
    {80, txtScanSeparately, "Scan separately", "Сканировать отдельно"},
    {81, txtMoveToTrash, "Move to Trash", "Удалить в корзину"},
    {82, txtMoveToTrashTitle, "Move to Trash", "Удаление в корзину"},
    {83, txtMoveToTrashQuestion, "Move this item to Trash?", "Переместить в корзину?"},
    {84, txtActionFailed, "Action failed", "Не удалось выполнить действие"},
    {85, txtPathCopied, "Path copied", "Путь скопирован"},
};

const ListedText listedSettingsTexts[] = {
    {1, stxtSettingsTooltip, "fanOrbiter settings", "Настройки fanOrbiter"},
    {2, stxtWindowTitle, "Settings - fanOrbiter", "Настройки - fanOrbiter"},
    {3, stxtLanguageLabel, "Interface language", "Язык интерфейса"},
    {4, stxtLanguageAuto, "Automatic (system)", "Автоматически (системный)"},
    {5, stxtRussian, "Russian", "Русский"},
    {6, stxtEnglish, "English", "English"},
    {7, stxtThemeLabel, "Interface theme", "Тема интерфейса"},
    {8, stxtThemeSystem, "System", "Системная"},
    {9, stxtThemeLight, "Light", "Светлая"},
    {10, stxtThemeDark, "Dark", "Тёмная"},
    {11, stxtStartupDetailLabel, "Detail mode at startup", "Режим детализации при запуске"},
    {12, stxtRememberDetail, "Restore the last selected detail mode at startup", "Запоминать последний выбранный режим"},
    {13, stxtLivePreview, "Show live preview while scanning", "Показывать живую предварительную карту во время сканирования"},
    {14, stxtTransparencyLabel, "Map background transparency, %", "Прозрачность фона карты, %"},
    {15, stxtStorageNote, "Changes are stored in the current user profile.", "Изменения сохраняются в профиле текущего пользователя."},
    {16, stxtOk, "OK", "ОК"},
    {17, stxtDefaults, "Defaults", "По умолчанию"},
    {18, stxtEmptyTrashTooltip, "Empty Trash permanently. A confirmation will be requested first.", "Очистить корзину безвозвратно. Перед очисткой будет запрошено подтверждение."},
    {19, stxtOpenTrashTooltip, "Open Trash in the system file manager.", "Открыть корзину в системном файловом менеджере."},
    {20, stxtEmptyTrashTitle, "Empty Trash", "Очистка корзины"},
    {21, stxtEmptyTrashQuestion, "Permanently delete everything currently in Trash?", "Безвозвратно удалить всё содержимое корзины?"},
    {22, stxtEmptyButton, "Empty", "Очистить"},
    {23, stxtTrashEmptied, "Trash emptied", "Корзина очищена"},
};

template <std::size_t N>
void expectEveryEntryAsListed(const char* name, const TextEntry* table, int count,
                              int unusedSlot, const ListedText (&listed)[N]) {
    // The lists skip only the unused slot, so together with it they cover
    // the whole table.
    ASSERT_EQ(int(N) + 1, count) << name;
    int next = 0;
    for (const ListedText& row : listed) {
        if (next == unusedSlot) ++next;
        SCOPED_TRACE(std::string(name) + " entry " + std::to_string(row.index));
        ASSERT_EQ(row.index, next);
        ++next;
        EXPECT_EQ(row.key, row.index);
        EXPECT_EQ(table[row.index].key, row.index);
        EXPECT_STREQ(table[row.index].english, row.english);
        EXPECT_STREQ(table[row.index].russian, row.russian);
    }
    // Shown nowhere, but present and empty in both languages.
    EXPECT_STREQ(table[unusedSlot].english, "") << name;
    EXPECT_STREQ(table[unusedSlot].russian, "") << name;
}

TEST(TextTables, EveryEntryReadsAsListed) {
    expectEveryEntryAsListed("uiTexts", uiTexts, uiTextCount, 27, listedUiTexts);
    expectEveryEntryAsListed("settingsTexts", settingsTexts, settingsTextCount, 0,
                             listedSettingsTexts);
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
