// Whether two scans built the same tree and ended with the same preview.
#pragma once

#include <gtest/gtest.h>
#include <string>

#include "core/scan_progress.h"
#include "core/tree.h"

namespace fan::testing {

// A node in one line, so that a mismatch shows both whole.
inline std::string nodeLine(const ScanNode& node) {
    std::string line = node.name + " parent " + std::to_string(node.parent) + " children";
    for (uint64_t child : node.children)
        line += " " + std::to_string(child);
    return line + " size " + std::to_string(node.size) + " files " + std::to_string(node.fileCount) +
           (node.isFolder ? " folder" : "") + " mount " + std::to_string(node.mountIndex);
}

inline std::string itemLine(const PreviewItem& item) {
    return item.name + " bytes " + std::to_string(item.bytes) + " files " + std::to_string(item.fileCount) + " state " +
           std::to_string(static_cast<int>(item.state));
}

inline void expectSameTree(const Tree& a, const Tree& b, const std::string& where) {
    SCOPED_TRACE(where);
    EXPECT_EQ(a.root, b.root);
    EXPECT_EQ(a.errorCount, b.errorCount);
    EXPECT_EQ(a.stopped, b.stopped);
    EXPECT_EQ(a.errorText, b.errorText);
    EXPECT_EQ(a.mountPointCount, b.mountPointCount);
    EXPECT_EQ(a.rootVolume.mountPoint, b.rootVolume.mountPoint);
    EXPECT_EQ(a.rootVolume.device, b.rootVolume.device);
    ASSERT_EQ(a.nodes.size(), b.nodes.size());
    for (size_t i = 0; i < a.nodes.size(); ++i)
        ASSERT_EQ(nodeLine(a.nodes[i]), nodeLine(b.nodes[i])) << "node " << i;
}

inline void expectSameSnapshot(const ScanProgress& a, const ScanProgress& b) {
    const ScanSnapshot x = a.snapshot();
    const ScanSnapshot y = b.snapshot();
    EXPECT_EQ(x.bytes, y.bytes);
    ASSERT_EQ(x.items.size(), y.items.size());
    for (size_t i = 0; i < x.items.size(); ++i)
        EXPECT_EQ(itemLine(x.items[i]), itemLine(y.items[i])) << "item " << i;
    EXPECT_EQ(a.files.load(), b.files.load());
}

}  // namespace fan::testing
