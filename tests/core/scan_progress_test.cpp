// The state the scan worker and the GUI thread share: reset, and snapshots
// that are whole copies of the latest store, never torn.
#include "core/scan_progress.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace fan {
namespace {

TEST(ScanProgress, ResetClearsStopCountersAndSnapshotButKeepsLivePreview) {
    for (const bool preview : {true, false}) {
        ScanProgress p;
        p.livePreview = preview;
        p.stop = true;
        p.files = 12;
        p.bytes = 3456;
        ScanSnapshot s;
        s.items.push_back({"docs", 300, 4, true, PreviewState::Scanning});
        s.valid = true;
        p.store(std::move(s));
        p.reset();
        EXPECT_FALSE(p.stop);
        EXPECT_EQ(p.livePreview, preview);
        EXPECT_EQ(p.files, 0u);
        EXPECT_EQ(p.bytes, 0u);
        s = p.snapshot();
        EXPECT_FALSE(s.valid);
        EXPECT_TRUE(s.items.empty());
    }
}

// The worker stores while the GUI thread copies: every copy must be one whole
// published snapshot, never a mix (bytes always matches the item count here).
TEST(ScanProgress, ConcurrentStoreAndSnapshotNeverTear) {
    ScanProgress p;
    std::atomic<uint64_t> seen{0};
    std::atomic<bool> done{false};
    uint64_t last = 0;
    std::thread worker([&] {
        while (seen < 1000) {  // until the reader has really overlapped the writer
            ScanSnapshot s;
            s.items.resize(++last % 50);
            s.bytes = last % 50;
            s.valid = true;
            p.store(std::move(s));
        }
        done = true;
    });
    while (!done) {
        const ScanSnapshot s = p.snapshot();
        if (!s.valid) continue;
        EXPECT_EQ(s.items.size(), s.bytes);
        ++seen;
    }
    worker.join();
    EXPECT_EQ(p.snapshot().bytes, last % 50);  // the latest store wins
}

}  // namespace
}  // namespace fan
