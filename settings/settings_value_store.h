// Where the preferences are kept: a store of named signed 32-bit values and
// the legacy text file that came before it. One implementation per platform
// (the registry on Windows, a small file in the user's config folder on
// Linux); the rules for what the values mean live in settings_store.cpp.
//
// Called on the GUI thread by loadSettings and saveSettings only. Nothing
// here reports a failure other than through its result.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace fan {

struct StoredValue {
    const char* name;
    int32_t value;
};

// Reads each of the `count` named values into `values`. A value that is
// missing, or is not a whole signed 32-bit number, is left empty, as is every
// value when the store does not exist or cannot be read.
void readStoredValues(const char* const* names, std::optional<int32_t>* values, size_t count);

// Writes the `count` values in their order. True only when the store was
// opened and every value was written; on false the store may hold some, none
// or (where the platform writes all at once) all of its old values.
bool writeStoredValues(const StoredValue* values, size_t count);

// The whole text of the legacy settings file, its line ends as written (LF or
// CR LF); nullopt when it is missing, unreadable, or not a regular file of
// at most kMaxRegularFileSize bytes.
std::optional<std::string> readLegacySettingsFile();

// Renames the legacy file so that it is not read again; a failure is ignored.
void retireLegacySettingsFile();

}  // namespace fan
