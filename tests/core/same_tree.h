// Whether two scans built the same tree and ended with the same preview.
#pragma once

#include <gtest/gtest.h>
#include <string>

#include "core/scan_progress.h"
#include "core/tree.h"

namespace fan::testing {

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
    for (size_t i = 0; i < a.nodes.size(); ++i) {
        const ScanNode& x = a.nodes[i];
        const ScanNode& y = b.nodes[i];
        ASSERT_TRUE(x.name == y.name && x.parent == y.parent && x.children == y.children && x.size == y.size &&
                    x.fileCount == y.fileCount && x.isFolder == y.isFolder && x.mountIndex == y.mountIndex)
            << "node " << i << " " << x.name << " / " << y.name;
    }
}

inline void expectSameSnapshot(const ScanProgress& a, const ScanProgress& b) {
    const ScanSnapshot x = a.snapshot(), y = b.snapshot();
    EXPECT_EQ(x.bytes, y.bytes);
    ASSERT_EQ(x.items.size(), y.items.size());
    for (size_t i = 0; i < x.items.size(); ++i) {
        const PreviewItem& p = x.items[i];
        const PreviewItem& q = y.items[i];
        EXPECT_TRUE(p.name == q.name && p.bytes == q.bytes && p.fileCount == q.fileCount && p.state == q.state)
            << "item " << i << " " << p.name;
    }
    EXPECT_EQ(a.files.load(), b.files.load());
}

}  // namespace fan::testing
