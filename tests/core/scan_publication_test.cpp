// How often a walk publishes its preview: at its start and its end, and in
// between at most once per 90 ms, whatever the number of entries.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <thread>

#include "core/fake_directory_lister.h"
#include "core/scan_engine.h"

namespace fan {
namespace {

using testing::FakeDirectoryLister;

// Thirty one-byte files f00..f29 in /r. The walk pauses before f10 (20 ms
// after its start) and before f20 (100 ms after); the others follow at once.
// The pauses leave the widest margins a loaded machine may need: 70 ms
// before the first publication is due, 90 ms after the second.
TEST(ScanPublication, AtMostOncePer90MillisecondsBetweenStartAndEnd) {
    FakeDirectoryLister lister;
    for (int i = 0; i < 30; ++i)
        lister.folders["/r"].push_back({(i < 10 ? "f0" : "f") + std::to_string(i), EntryKind::File, 1});
    ScanProgress progress;
    std::map<std::string, uint64_t> bytesShownBefore;  // per entry, as published when it was reached
    lister.onEntry = [&](const std::string&, const std::string& name) {
        bytesShownBefore[name] = progress.snapshot().bytes;
        if (name == "f10") std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (name == "f20") std::this_thread::sleep_for(std::chrono::milliseconds(80));
    };
    const std::vector<MountEntry> noMounts;
    scanTree("/r", progress, &noMounts, lister);
    const struct {
        const char* name;
        const char* entry;
        uint64_t bytes;
    } rows[] = {{"the start's", "f00", 0},
                {"none new after 20 ms", "f20", 0},
                {"f20 published after 100 ms", "f21", 21},
                {"none new within 90 ms of that", "f29", 21}};
    for (const auto& row : rows)
        EXPECT_EQ(bytesShownBefore[row.entry], row.bytes) << row.name;
    EXPECT_EQ(progress.snapshot().bytes, 30u) << "the end's";
}

}  // namespace
}  // namespace fan
