// The failure texts the core writes come out in English through
// localizeMessage: the producer and the translator share their prefixes.
#include <gtest/gtest.h>

#include <stdexcept>

#include "core/core_messages.h"
#include "core/scan_engine.h"
#include "language_guard.h"
#include "tests/core/fake_directory_lister.h"

namespace fan {
namespace {

TEST_F(LanguageTest, CoreFailureTextsComeOutTranslated) {
    const std::vector<MountEntry> noMounts;
    ScanProgress progress;
    testing::FakeDirectoryLister lister;
    lister.folders["/data"] = {{"x", EntryKind::File, 1}};
    lister.openFaults["/data"] = ListOpen::Failed;
    const std::string notAFolder = scanTree("/missing", progress, &noMounts, lister).errorText;
    const std::string refused = scanTree("/data", progress, &noMounts, lister).errorText;
    // An exception out of the walk, as the scan worker reports it.
    lister.openFaults.clear();
    lister.onEntry = [](const std::string&, const std::string&) { throw std::runtime_error("disk gone"); };
    std::string failed;
    try {
        scanTree("/data", progress, &noMounts, lister);
    } catch (const std::exception& error) {
        failed = kScanErrorPrefix + std::string(error.what());
    }
    uiLanguage = 1;
    EXPECT_EQ(localizeMessage(notAFolder), "Could not open folder: /missing");
    EXPECT_EQ(localizeMessage(refused), "Cannot access folder: /data");
    EXPECT_EQ(localizeMessage(failed), "Scan error: disk gone");
    EXPECT_EQ(localizeMessage(kMountTableUnreadable),
              "Could not read /proc/self/mountinfo; file-system boundaries are unknown.");
    EXPECT_EQ(localizeMessage(kFolderDeviceUnknown), "Could not determine the folder device.");
    uiLanguage = 0;
    for (const std::string& text : {notAFolder, refused, failed})
        EXPECT_EQ(localizeMessage(text), text);
}

}  // namespace
}  // namespace fan
