// The system's UI language and app theme, read when asked, never cached.
#include <windows.h>

#include "settings/settings_store.h"

namespace fan {

bool systemPrefersEnglish() {
    return PRIMARYLANGID(GetUserDefaultUILanguage()) != LANG_RUSSIAN;
}

bool systemUsesDarkTheme() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD light = 1;
    DWORD size = sizeof light;
    const bool read = RegQueryValueExW(key, L"AppsUseLightTheme", nullptr, &type, reinterpret_cast<BYTE*>(&light),
                                       &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return read && type == REG_DWORD && light == 0;
}

}  // namespace fan
