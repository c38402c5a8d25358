// The state the scan worker and the GUI thread share: what a reset before the
// next scan clears (snapshots copied while the worker stores: the stop test).
#include "core/scan_progress.h"

#include <gtest/gtest.h>

namespace fan {
namespace {

TEST(ScanProgress, ResetClearsStopCountersAndSnapshotButKeepsLivePreview) {
    ScanProgress p;
    p.livePreview = false;  // the setting, not the default
    p.stop = true;
    p.files = 12;
    p.bytes = 3456;
    ScanSnapshot s;
    s.valid = true;
    p.store(std::move(s));
    p.reset();
    EXPECT_FALSE(p.stop);
    EXPECT_FALSE(p.livePreview);
    EXPECT_EQ(p.files, 0u);
    EXPECT_EQ(p.bytes, 0u);
    EXPECT_FALSE(p.snapshot().valid);
}

}  // namespace
}  // namespace fan
