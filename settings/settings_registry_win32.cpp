// The Windows settings store: DWORD values under the current user's key
// Software\fanOrbiter, and the legacy settings.ini in the roaming
// application data folder.
#include <windows.h>

#include "settings/regular_file.h"
#include "settings/settings_value_store.h"
#include "core/path_text.h"

namespace fan {
namespace {

const wchar_t kKey[] = L"Software\\fanOrbiter";

// The value of an environment variable; nullopt when it is not set at all
// (a variable set to the empty string is set).
std::optional<std::wstring> environmentValue(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return std::nullopt;  // a set variable needs room for its NUL at least
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    value.resize(length < size ? length : 0);
    return value;
}

// APPDATA\fanOrbiter, else USERPROFILE\AppData\Roaming\fanOrbiter, else the
// current folder; the first variable that is set wins, even when empty.
std::filesystem::path legacyFilePath() {
    if (const auto appData = environmentValue(L"APPDATA"))
        return std::filesystem::path(*appData) / L"fanOrbiter" / L"settings.ini";
    if (const auto profile = environmentValue(L"USERPROFILE"))
        return std::filesystem::path(*profile) / L"AppData" / L"Roaming" / L"fanOrbiter" / L"settings.ini";
    return L"settings.ini";
}

}  // namespace

void readStoredValues(const char* const* names, std::optional<int32_t>* values, size_t count) {
    for (size_t i = 0; i < count; ++i)
        values[i].reset();
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
    for (size_t i = 0; i < count; ++i) {
        DWORD type = 0;
        DWORD data = 0;
        DWORD size = sizeof data;
        // Only a DWORD of exactly four bytes counts; any other type or size
        // (a longer value fails with ERROR_MORE_DATA) is as good as absent.
        if (RegQueryValueExW(key, nativeText(names[i]).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data),
                             &size) == ERROR_SUCCESS &&
            type == REG_DWORD && size == sizeof data)
            values[i] = static_cast<int32_t>(data);
    }
    RegCloseKey(key);
}

bool writeStoredValues(const StoredValue* values, size_t count) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    bool all = true;
    for (size_t i = 0; i < count; ++i) {
        const DWORD data = static_cast<DWORD>(values[i].value);
        // A failed write does not stop the others: as much as possible is kept.
        if (RegSetValueExW(key, nativeText(values[i].name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                           sizeof data) != ERROR_SUCCESS)
            all = false;
    }
    RegCloseKey(key);
    return all;
}

std::optional<std::string> readLegacySettingsFile() {
    return readRegularFile(legacyFilePath());
}

void retireLegacySettingsFile() {
    const std::filesystem::path path = legacyFilePath();
    MoveFileW(path.c_str(), (path.native() + L".migrated").c_str());
}

}  // namespace fan
