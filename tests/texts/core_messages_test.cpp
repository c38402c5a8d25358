// The failure texts the core writes come out in English through
// localizeMessage: the producer and the translator share their prefixes.
#include <gtest/gtest.h>

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
    lister.folders["/data"] = {};
    lister.openFaults["/data"] = ListOpen::Failed;
    const std::string notAFolder = scanTree("/missing", progress, &noMounts, lister).errorText;
    const std::string refused = scanTree("/data", progress, &noMounts, lister).errorText;
    // As the scan worker reports an exception out of the walk.
    const std::string failed = kScanErrorPrefix + std::string("disk gone");
    uiLanguage = 1;
    EXPECT_EQ(localizeMessage(notAFolder), "Could not open folder: /missing");
    EXPECT_EQ(localizeMessage(refused), "Cannot access folder: /data");
    EXPECT_EQ(localizeMessage(failed), "Scan error: disk gone");
    EXPECT_EQ(localizeMessage(kMountTableUnreadable),
              "Could not read /proc/self/mountinfo; file-system boundaries are unknown.");
}

}  // namespace
}  // namespace fan
