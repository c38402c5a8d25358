// The Russian failure texts of a scan, as the core and the scan worker write
// them into Tree::errorText and the status line. They are always Russian;
// the interface translates them at display time by these very prefixes
// (localizeMessage), so producer and translator share one spelling.
#pragma once

namespace fan {

// Followed by the root exactly as it was passed in: it is not an existing folder.
inline constexpr char kOpenFolderFailedPrefix[] = "Не удалось открыть папку: ";
// Followed by the normalised root: it exists but refused to be listed.
inline constexpr char kFolderAccessDeniedPrefix[] = "Нет доступа к папке: ";
// The whole text: the mount table could not be read.
inline constexpr char kMountTableUnreadable[] =
    "Не удалось прочитать /proc/self/mountinfo; границы файловых систем неизвестны.";
// The whole text: the device of the scanned folder is unknown.
inline constexpr char kFolderDeviceUnknown[] = "Не удалось определить устройство папки.";
// Followed by the text of the exception that ended the scan.
inline constexpr char kScanErrorPrefix[] = "Ошибка сканирования: ";

}  // namespace fan
