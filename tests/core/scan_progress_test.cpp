#include "core/scan_progress.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <utility>

namespace fan {
namespace {

ScanSnapshot sampleSnapshot() {
    ScanSnapshot s;
    s.root = "/data";
    s.rootVolume.mountPoint = "/data";
    s.rootVolume.totalBytes = 1000;
    s.items.push_back({"docs", 300, 4, true, PreviewState::Scanning});
    s.items.push_back({"", 20, 2, false, PreviewState::Complete});
    s.bytes = 320;
    s.valid = true;
    return s;
}

void expectEmpty(const ScanSnapshot& s) {
    EXPECT_FALSE(s.valid);
    EXPECT_TRUE(s.root.empty());
    EXPECT_TRUE(s.items.empty());
    EXPECT_EQ(s.bytes, 0u);
    EXPECT_TRUE(s.rootVolume.mountPoint.empty());
    EXPECT_EQ(s.rootVolume.totalBytes, 0u);
}

TEST(ScanProgress, StartsStoppedFalsePreviewOnAndEmpty) {
    ScanProgress p;
    EXPECT_FALSE(p.stop.load());
    EXPECT_TRUE(p.livePreview.load());
    EXPECT_EQ(p.files.load(), 0u);
    EXPECT_EQ(p.bytes.load(), 0u);
    expectEmpty(p.snapshot());
}

TEST(ScanProgress, ResetClearsStopCountersAndSnapshotButKeepsLivePreview) {
    for (const bool preview : {true, false}) {
        ScanProgress p;
        p.livePreview = preview;
        p.stop = true;
        p.files = 12;
        p.bytes = 3456;
        p.store(sampleSnapshot());

        p.reset();
        EXPECT_FALSE(p.stop.load());
        EXPECT_EQ(p.livePreview.load(), preview);
        EXPECT_EQ(p.files.load(), 0u);
        EXPECT_EQ(p.bytes.load(), 0u);
        expectEmpty(p.snapshot());
    }
}

TEST(ScanProgress, StoreThenSnapshotGivesAnIndependentCopy) {
    ScanProgress p;
    p.store(sampleSnapshot());

    ScanSnapshot copy = p.snapshot();
    EXPECT_TRUE(copy.valid);
    EXPECT_EQ(copy.root, "/data");
    EXPECT_EQ(copy.rootVolume.totalBytes, 1000u);
    EXPECT_EQ(copy.bytes, 320u);
    ASSERT_EQ(copy.items.size(), 2u);
    EXPECT_EQ(copy.items[0].name, "docs");
    EXPECT_EQ(copy.items[0].state, PreviewState::Scanning);
    EXPECT_TRUE(copy.items[1].name.empty());
    EXPECT_FALSE(copy.items[1].isFolder);

    // Changing the copy must not reach the shared snapshot.
    copy.items.clear();
    copy.bytes = 0;
    const ScanSnapshot again = p.snapshot();
    EXPECT_EQ(again.items.size(), 2u);
    EXPECT_EQ(again.bytes, 320u);
}

TEST(ScanProgress, LaterStoreReplacesEarlier) {
    ScanProgress p;
    p.store(sampleSnapshot());
    ScanSnapshot next = sampleSnapshot();
    next.items.resize(1);
    next.bytes = 999;
    p.store(std::move(next));
    const ScanSnapshot got = p.snapshot();
    EXPECT_EQ(got.items.size(), 1u);
    EXPECT_EQ(got.bytes, 999u);
}

// The worker stores while the GUI thread copies: every copy must be one whole
// published snapshot, never a mix (bytes always matches the item count here).
TEST(ScanProgress, ConcurrentStoreAndSnapshotNeverTear) {
    ScanProgress p;
    std::atomic<bool> done{false};
    std::atomic<uint64_t> seen{0};
    std::thread worker([&] {
        for (uint64_t n = 1; n <= 2000; ++n) {
            // Alone in a fresh process the writer can finish before the
            // reader's first look; half-way it waits for one, so they overlap.
            while (n == 1000 && seen.load() == 0) std::this_thread::yield();
            ScanSnapshot s;
            s.items.resize(n % 50);
            s.bytes = n % 50;
            s.valid = true;
            p.store(std::move(s));
        }
        done = true;
    });
    while (!done.load()) {
        const ScanSnapshot s = p.snapshot();
        if (s.valid) {
            EXPECT_EQ(s.items.size(), s.bytes);
            ++seen;
        }
    }
    worker.join();
    EXPECT_EQ(p.snapshot().bytes, 2000u % 50);
    EXPECT_GT(seen, 0u);  // the reader really overlapped the writer
}

}  // namespace
}  // namespace fan
