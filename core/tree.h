// The result of one scan: a flat, index-linked table of files and folders.
//
// Built by scanTree on the scan worker, then handed over whole and only read.
// Nodes refer to each other by index into Tree::nodes; kNoNode means none.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/mount_entry.h"

namespace fan {

inline constexpr uint64_t kNoNode = ~uint64_t{0};

struct ScanNode {
    std::string name;  // one path component; the whole root path for node 0
    uint64_t parent = kNoNode;
    std::vector<uint64_t> children;  // in childOrder once the scan is finished
    uint64_t size = 0;               // logical bytes; a folder's is the sum of its children
    uint64_t fileCount = 0;          // files at or below; folders are not counted
    bool isFolder = false;
    uint64_t mountIndex = kNoNode;  // index into Tree::mounts when this is another file system's mount point
};

struct Tree {
    std::filesystem::path root;   // absolute, lexically normal
    std::vector<ScanNode> nodes;  // node 0 is the root; a child's index is above its parent's
    uint64_t errorCount = 0;      // folders whose listing failed
    bool stopped = false;         // the walk was stopped: the tree is partial but consistent
    double seconds = 0.0;
    std::string errorText;  // empty when the tree is usable
    MountEntry rootVolume;
    std::vector<MountEntry> mounts;
    uint64_t mountPointCount = 0;

    // Full path of a node; 0 and kNoNode give the root.
    std::filesystem::path nodePath(uint64_t index) const;
};

// The order of a folder's children: mount points first, then larger size,
// then name bytes compared as unsigned (a prefix before its extensions).
struct childOrder {
    const Tree& tree;
    bool operator()(uint64_t a, uint64_t b) const;
};

}  // namespace fan
