// The English and Russian texts of the interface, one entry per line, and
// the helpers that pick, format and translate them.
#include "texts/ui_texts.h"

#include <cstddef>

#include "core/byte_size_text.h"
#include "core/core_messages.h"

namespace fan {

int uiLanguage = 0;

// Entry i must carry key i and two texts; a missing or misplaced line would
// silently shift every later text, so the build checks the order.
template <std::size_t N>
constexpr bool tableIsInOrder(const TextEntry (&table)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        if (table[i].key != static_cast<int>(i) || table[i].english == nullptr || table[i].russian == nullptr)
            return false;
    }
    return true;
}

constexpr TextEntry uiTexts[uiTextCount] = {
    {txtOpenFolder, "Open folder", "Открыть папку"},
    {txtBackTooltip, "Back (Alt+Left)", "Назад (Alt+Left)"},
    {txtUpTooltip, "Up one level (Backspace)", "На уровень выше (Backspace)"},
    {txtScan, "Scan", "Сканировать"},
    {txtCancel, "Cancel", "Отмена"},
    {txtFileSystems, "File systems", "Файловые системы"},
    {txtOverview, "Overview", "Обзор"},
    {txtNormal, "Normal", "Обычный"},
    {txtDetailed, "Detailed", "Подробнее"},
    {txtAnalysis, "Analysis", "Анализ"},
    {txtHelp, "Help", "Справка"},
    {txtAnalysisTooltip, "Largest files and search (Ctrl+F)", "Крупнейшие файлы и поиск (Ctrl+F)"},
    {txtHelpTooltip, "Help (F1)", "Справка (F1)"},
    {txtDetailTooltip, "Overview: 4 levels and large objects. Open a folder to reveal more detail.",
     "Обзор: 4 уровня, крупные объекты. Детали раскрываются при переходе в папку."},
    {txtFileSystemsTooltip, "Mount point, file system, and physical or network source",
     "Точка монтирования, файловая система и физический или сетевой источник"},
    {txtSubtitle, "DISK SPACE MAP", "КАРТА МЕСТА НА ДИСКЕ"},
    {txtNavigationHint, "Folder — open · Center — up", "Папка — подробнее · Центр — вверх"},
    {txtChooseFolderTitle, "Choose a folder to scan", "Выберите папку для сканирования"},
    {txtIdlePrompt, "Choose a folder or drive to see where the space goes.",
     "Выберите папку или диск, чтобы увидеть, куда уходит место."},
    {txtScanning, "Scanning…", "Сканирование…"},
    {txtStopping, "Stopping scan…", "Останавливаю сканирование…"},
    {txtReady, "Ready", "Готово"},
    {txtStoppedPartial, "Stopped · partial result", "Остановлено · неполный результат"},
    {txtFiles, "files", "файлов"},
    {txtErrors, "errors", "ошибок"},
    {txtMountsSeparately, "mount points scanned separately", "точек монтирования отдельно"},
    {txtSeconds, "s", "с"},
    {27, "", ""},  // shown nowhere
    {txtWelcomeTagline, "Every byte has a place.", "У каждого байта есть место."},
    {txtWelcomeHint, "Choose a folder with the button above", "Выберите папку кнопкой сверху"},
    {txtWelcomeTitle, "Folder and file sizes", "Размеры папок и файлов"},
    {txtWelcomeHelp,
     "Rings show nesting.\nSector angle shows relative size.\n\nHover for details.\nClick a folder to open it.\nUse "
     "the mouse wheel to scroll the list.",
     "Кольца показывают вложенность.\nУгол сектора — долю размера.\n\nНаведите курсор для подробностей.\nНажмите на "
     "папку, чтобы войти.\nКолесо прокручивает список."},
    {txtVolumeCapacity, "volume capacity", "ёмкость тома"},
    {txtInThisFolder, "in this folder", "в этой папке"},
    {txtUsed, "used", "занято"},
    {txtFree, "free", "свободно"},
    {txtReserveQuota, "reserve / quota", "резерв / квота"},
    {txtFreeSpaceUnknown, "Free space unavailable", "Свободное место неизвестно"},
    {txtFilesPrefix, "Files: ", "Файлы: "},
    {txtGreyLegend, "Grey — files and small folders", "Серое — файлы и мелкие папки"},
    {txtContents, "Contents", "Содержимое"},
    {txtObjectsBySize, "objects · by size", "объектов · по размеру"},
    {txtFolder, "folder", "папка"},
    {txtFolderEmpty, "Folder is empty or inaccessible", "Папка пуста или недоступна"},
    {txtMouseWheel, "Mouse wheel", "Колесо мыши"},
    {txtHoverHint, "Hover a sector or an item on the right to see details.",
     "Наведите курсор на сектор или объект справа, чтобы увидеть детали."},
    {txtClickScanSeparately, "click: scan separately", "клик: сканировать отдельно"},
    {txtFilesAndSmallFolders, "Files and small folders", "Файлы и мелкие папки"},
    {txtLargestFiles, "Largest files", "Крупнейшие файлы"},
    {txtSearchByName, "Search by name", "Поиск по имени"},
    {txtShowOnMap, "Show on map", "Показать на карте"},
    {txtSearchTooltip, "Part of a file or folder name; Latin and Cyrillic search is case-insensitive",
     "Часть имени файла или папки; латиница и русская кириллица — без учёта регистра"},
    {txtScanFirst, "Scan a folder or drive first.", "Сначала просканируйте папку или диск."},
    {txtLargestFilesStatus, "largest files in the snapshot. Double-click to reveal the location.",
     "крупнейших файлов во всём снимке. Двойной щелчок открывает расположение."},
    {txtEnterQuery, "Enter part of a file or folder name.", "Введите часть имени файла или папки."},
    {txtFound, "Found: ", "Найдено: "},
    {txtShowingFirst500, "(showing first 500)", "(показаны первые 500)"},
    {txtFolderTag, "[folder] ", "[папка] "},
    {txtAnalysisTitle, "Analysis - fanOrbiter", "Анализ - fanOrbiter"},
    {txtHelpTitle, "Help - fanOrbiter", "Справка - fanOrbiter"},
    {txtCouldNotOpenLink, "Could not open link:", "Не удалось открыть ссылку:"},
    {txtNetwork, "network", "сеть"},
    {txtDisk, "disk", "диск"},
    {txtSource, "source", "источник"},
    {txtVolumeFree, "free", "свободно"},
    {txtTotalFree, "total free", "всего свободно"},
    {txtObjectsDiscovered, "objects discovered", "объектов обнаружено"},
    {txtLivePreview, "Live preview", "Предварительная карта"},
    {txtReadingStructure, "Reading drive structure…", "Читаем структуру диска…"},
    {txtPreviewNote,
     "Dim sectors have not been fully scanned yet. Sizes and angles are refined as the scan progresses.",
     "Приглушённые сектора ещё не просканированы. Размеры и углы уточняются по мере обхода."},
    {txtStatePending, "pending", "ожидает"},
    {txtStateScanning, "scanning", "сканируется"},
    {txtStateComplete, "complete", "готово"},
    {txtStateAccessError, "access error", "ошибка доступа"},
    {txtStateOtherFileSystem, "other file system", "другая ФС"},
    {txtRootFiles, "Root files", "Файлы корня"},
    {txtShowInFileManager, "Show in file manager", "Показать в файловом менеджере"},
    {txtCopyPath, "Copy path", "Копировать путь"},
    {txtOpenTerminal, "Open terminal here", "Открыть терминал здесь"},
    {txtRescan, "Rescan", "Пересканировать"},
    {txtScanSeparately, "Scan separately", "Сканировать отдельно"},
    {txtMoveToTrash, "Move to Trash", "Удалить в корзину"},
    {txtMoveToTrashTitle, "Move to Trash", "Удаление в корзину"},
    {txtMoveToTrashQuestion, "Move this item to Trash?", "Переместить в корзину?"},
    {txtActionFailed, "Action failed", "Не удалось выполнить действие"},
    {txtPathCopied, "Path copied", "Путь скопирован"},
};
static_assert(tableIsInOrder(uiTexts), "uiTexts: every entry on its own index");

constexpr TextEntry settingsTexts[settingsTextCount] = {
    {0, "", ""},  // shown nowhere
    {stxtSettingsTooltip, "fanOrbiter settings", "Настройки fanOrbiter"},
    {stxtWindowTitle, "Settings - fanOrbiter", "Настройки - fanOrbiter"},
    {stxtLanguageLabel, "Interface language", "Язык интерфейса"},
    {stxtLanguageAuto, "Automatic (system)", "Автоматически (системный)"},
    {stxtRussian, "Russian", "Русский"},
    {stxtEnglish, "English", "English"},
    {stxtThemeLabel, "Interface theme", "Тема интерфейса"},
    {stxtThemeSystem, "System", "Системная"},
    {stxtThemeLight, "Light", "Светлая"},
    {stxtThemeDark, "Dark", "Тёмная"},
    {stxtStartupDetailLabel, "Detail mode at startup", "Режим детализации при запуске"},
    {stxtRememberDetail, "Restore the last selected detail mode at startup", "Запоминать последний выбранный режим"},
    {stxtLivePreview, "Show live preview while scanning",
     "Показывать живую предварительную карту во время сканирования"},
    {stxtTransparencyLabel, "Map background transparency, %", "Прозрачность фона карты, %"},
    {stxtStorageNote, "Changes are stored in the current user profile.",
     "Изменения сохраняются в профиле текущего пользователя."},
    {stxtOk, "OK", "ОК"},
    {stxtDefaults, "Defaults", "По умолчанию"},
    {stxtEmptyTrashTooltip, "Empty Trash permanently. A confirmation will be requested first.",
     "Очистить корзину безвозвратно. Перед очисткой будет запрошено подтверждение."},
    {stxtOpenTrashTooltip, "Open Trash in the system file manager.", "Открыть корзину в системном файловом менеджере."},
    {stxtEmptyTrashTitle, "Empty Trash", "Очистка корзины"},
    {stxtEmptyTrashQuestion, "Permanently delete everything currently in Trash?",
     "Безвозвратно удалить всё содержимое корзины?"},
    {stxtEmptyButton, "Empty", "Очистить"},
    {stxtTrashEmptied, "Trash emptied", "Корзина очищена"},
};
static_assert(tableIsInOrder(settingsTexts), "settingsTexts: every entry on its own index");

const char* pickText(const char* english, const char* russian) {
    return uiLanguage == 1 ? english : russian;
}

const char* pickText(const TextEntry& entry) {
    return pickText(entry.english, entry.russian);
}

const char* uiText(UiTextKey key) {
    if (key < 0 || key >= uiTextCount) return "";
    return pickText(uiTexts[key]);
}

const char* settingsText(SettingsTextKey key) {
    if (key < 0 || key >= settingsTextCount) return "";
    return pickText(settingsTexts[key]);
}

std::string formatSize(uint64_t bytes, int language) {
    return byteSizeText(bytes, language == 1 ? SizeUnits::English : SizeUnits::Russian);
}

namespace {

struct MessageTranslation {
    const char* russianPrefix;
    const char* english;
};

// Tried in this order; the first prefix that starts the message wins.
const MessageTranslation messageTranslations[] = {
    {kOpenFolderFailedPrefix, "Could not open folder: "},
    {kFolderAccessDeniedPrefix, "Cannot access folder: "},
    {kMountTableUnreadable, "Could not read /proc/self/mountinfo; file-system boundaries are unknown."},
    {kFolderDeviceUnknown, "Could not determine the folder device."},
    {kScanErrorPrefix, "Scan error: "},
};

}  // namespace

std::string localizeMessage(const std::string& message) {
    if (message.empty() || uiLanguage != 1) return message;
    for (const MessageTranslation& translation : messageTranslations) {
        const std::string prefix = translation.russianPrefix;
        if (message.compare(0, prefix.size(), prefix) == 0) return translation.english + message.substr(prefix.size());
    }
    return message;
}

}  // namespace fan
