// State shared by the scan worker and the GUI thread while a scan runs.
//
// The worker raises the counters and publishes snapshots; the GUI thread
// resets, reads the counters, copies the latest snapshot and raises stop.
// The mutex guards `latest` only and is held for one move, copy or clear.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "core/mount_entry.h"

namespace fan {

enum class PreviewState : int32_t {
    Pending = 0,          // found; the walk has not reached its subtree yet
    Scanning = 1,         // the walk is inside its subtree
    Complete = 2,         // every folder of the subtree listed, none failed
    AccessError = 3,      // every folder dealt with, at least one failed
    OtherFileSystem = 4,  // mount point of another file system: not walked
};

// One entry directly under the scan root; the nameless one sums the root's own files.
struct PreviewItem {
    std::string name;
    uint64_t bytes = 0;
    uint64_t fileCount = 0;
    bool isFolder = true;
    PreviewState state = PreviewState::Pending;
};

struct ScanSnapshot {
    std::filesystem::path root;
    MountEntry rootVolume;
    std::vector<PreviewItem> items;  // in the order they were created
    uint64_t bytes = 0;              // ScanProgress::bytes when published
    bool valid = false;
};

struct ScanProgress {
    std::atomic<bool> stop{false};
    std::atomic<bool> livePreview{true};
    std::atomic<uint64_t> files{0};
    std::atomic<uint64_t> bytes{0};  // stops at 2^64 - 1, like the tree's sums
    mutable std::mutex mutex;
    ScanSnapshot latest;

    // GUI thread, before a worker starts: clears stop, counters and the
    // snapshot; leaves livePreview as it is.
    void reset();
    // Worker: replaces the latest snapshot.
    void store(ScanSnapshot&& snapshot);
    // GUI thread: a copy of the latest snapshot.
    ScanSnapshot snapshot() const;
};

}  // namespace fan
