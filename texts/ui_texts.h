// The interface's two languages: the language selector, the English and
// Russian text tables, byte-count formatting and the translation of the
// core's Russian failure messages.
//
// Everything here is used on the GUI thread only; the scan worker never reads
// uiLanguage. The tables are constant for the whole process, so the pointers
// they hand out never dangle. No toolkit header is included: this file is
// shared with the toolkit-free test programs.
#pragma once

#include <cstdint>
#include <string>

namespace fan {

// 1 means English, every other value Russian; only 0 and 1 are ever stored.
// Set at start-up before the first widget is built and afterwards only by the
// language switch. Nothing keeps a looked-up text beyond the widget showing it.
extern int uiLanguage;

// One entry of a text table: its index and the same text in both languages.
struct TextEntry {
    int key;
    const char* english;
    const char* russian;
};

// Index of each entry of uiTexts. Slot 27 is shown nowhere and has no name.
enum UiTextKey : int {
    txtOpenFolder = 0,
    txtBackTooltip = 1,
    txtUpTooltip = 2,
    txtScan = 3,
    txtCancel = 4,
    txtFileSystems = 5,
    txtOverview = 6,
    txtNormal = 7,
    txtDetailed = 8,
    txtAnalysis = 9,
    txtHelp = 10,
    txtAnalysisTooltip = 11,
    txtHelpTooltip = 12,
    txtDetailTooltip = 13,
    txtFileSystemsTooltip = 14,
    txtSubtitle = 15,
    txtNavigationHint = 16,
    txtChooseFolderTitle = 17,
    txtIdlePrompt = 18,
    txtScanning = 19,
    txtStopping = 20,
    txtReady = 21,
    txtStoppedPartial = 22,
    txtFiles = 23,
    txtErrors = 24,
    txtMountsSeparately = 25,
    txtSeconds = 26,
    txtWelcomeTagline = 28,
    txtWelcomeHint = 29,
    txtWelcomeTitle = 30,
    txtWelcomeHelp = 31,
    txtVolumeCapacity = 32,
    txtInThisFolder = 33,
    txtUsed = 34,
    txtFree = 35,
    txtReserveQuota = 36,
    txtFreeSpaceUnknown = 37,
    txtFilesPrefix = 38,
    txtGreyLegend = 39,
    txtContents = 40,
    txtObjectsBySize = 41,
    txtFolder = 42,
    txtFolderEmpty = 43,
    txtMouseWheel = 44,
    txtHoverHint = 45,
    txtClickScanSeparately = 46,
    txtFilesAndSmallFolders = 47,
    txtLargestFiles = 48,
    txtSearchByName = 49,
    txtShowOnMap = 50,
    txtSearchTooltip = 51,
    txtScanFirst = 52,
    txtLargestFilesStatus = 53,
    txtEnterQuery = 54,
    txtFound = 55,
    txtShowingFirst500 = 56,
    txtFolderTag = 57,
    txtAnalysisTitle = 58,
    txtHelpTitle = 59,
    txtCouldNotOpenLink = 60,
    txtNetwork = 61,
    txtDisk = 62,
    txtSource = 63,
    txtVolumeFree = 64,
    txtTotalFree = 65,
    txtObjectsDiscovered = 66,
    txtLivePreview = 67,
    txtReadingStructure = 68,
    txtPreviewNote = 69,
    txtStatePending = 70,
    txtStateScanning = 71,
    txtStateComplete = 72,
    txtStateAccessError = 73,
    txtStateOtherFileSystem = 74,
    txtRootFiles = 75,
    txtShowInFileManager = 76,
    txtCopyPath = 77,
    txtOpenTerminal = 78,
    txtRescan = 79,
    txtScanSeparately = 80,
    txtMoveToTrash = 81,       // the action: menu item and confirm button
    txtMoveToTrashTitle = 82,  // the confirmation dialog's title
    txtMoveToTrashQuestion = 83,
    txtActionFailed = 84,
    txtPathCopied = 85,
};
constexpr int uiTextCount = 86;

// Index of each entry of settingsTexts. Slot 0 is shown nowhere.
enum SettingsTextKey : int {
    stxtSettingsTooltip = 1,
    stxtWindowTitle = 2,
    stxtLanguageLabel = 3,
    stxtLanguageAuto = 4,
    stxtRussian = 5,
    stxtEnglish = 6,
    stxtThemeLabel = 7,
    stxtThemeSystem = 8,
    stxtThemeLight = 9,
    stxtThemeDark = 10,
    stxtStartupDetailLabel = 11,
    stxtRememberDetail = 12,
    stxtLivePreview = 13,
    stxtTransparencyLabel = 14,
    stxtStorageNote = 15,
    stxtOk = 16,
    stxtDefaults = 17,
    stxtEmptyTrashTooltip = 18,
    stxtOpenTrashTooltip = 19,
    stxtEmptyTrashTitle = 20,
    stxtEmptyTrashQuestion = 21,
    stxtEmptyButton = 22,
    stxtTrashEmptied = 23,
};
constexpr int settingsTextCount = 24;

// The tables, indexed by the keys above (entry i has key i). Both languages
// are complete; the unused slots hold empty texts.
extern const TextEntry uiTexts[uiTextCount];
extern const TextEntry settingsTexts[settingsTextCount];

// The text of `english` / `russian` that the current uiLanguage selects; also
// for paired literals that are not in the tables.
const char* pickText(const char* english, const char* russian);
const char* pickText(const TextEntry& entry);

// Entry `key` of a table in the current language. Never null.
const char* uiText(UiTextKey key);
const char* settingsText(SettingsTextKey key);

// `bytes` in 1024-based units with 0 (bytes), 2 (below 10) or 1 decimals and
// a full stop as the decimal point, e.g. "1.50 KiB". `language` 1 selects the
// English unit names, anything else the Russian ones; callers pass uiLanguage.
std::string formatSize(uint64_t bytes, int language);

// `message` as the user should read it: the core writes its failure texts in
// Russian, so with an English interface a known Russian prefix at the start
// is replaced by its English form and the rest kept. Anything else, and every
// text under a Russian interface, comes back unchanged.
std::string localizeMessage(const std::string& message);

}  // namespace fan
