// How the texts a disk reports about itself become one model line; shared by
// the Windows descriptor reader and the Linux sysfs reader.
#pragma once

#include <string>

namespace fan {

// Removes tab, line feed, carriage return and blank from both ends; no other
// byte counts as white space.
std::string trimDriveText(const std::string& text);

// vendor + " " + product, either alone when the other is empty, else the
// revision (possibly empty). Expects trimmed texts.
std::string composeDriveModel(const std::string& vendor, const std::string& product, const std::string& revision);

}  // namespace fan
