// Checks every structural rule a finished Tree must keep.
#pragma once

#include <algorithm>
#include <gtest/gtest.h>

#include "core/tree.h"

namespace fan::testing {

inline void expectConsistentTree(const Tree& tree) {
    ASSERT_FALSE(tree.nodes.empty());
    const ScanNode& root = tree.nodes[0];
    EXPECT_EQ(root.parent, kNoNode);
    EXPECT_TRUE(root.isFolder);
    EXPECT_EQ(root.mountIndex, kNoNode);
    EXPECT_EQ(root.name, tree.root.string());
    std::vector<uint64_t> seenAsChild(tree.nodes.size(), 0);
    for (uint64_t i = 0; i < tree.nodes.size(); ++i) {
        const ScanNode& node = tree.nodes[i];
        EXPECT_TRUE(i == 0 || node.parent < i) << node.name;
        uint64_t size = 0;
        uint64_t files = 0;
        for (uint64_t child : node.children) {
            ASSERT_LT(child, tree.nodes.size());
            EXPECT_EQ(tree.nodes[child].parent, i);
            ++seenAsChild[child];
            const uint64_t sum = size + tree.nodes[child].size;
            size = sum < size ? ~uint64_t{0} : sum;  // sizes saturate
            files += tree.nodes[child].fileCount;
        }
        EXPECT_TRUE(std::is_sorted(node.children.begin(), node.children.end(), childOrder{tree})) << node.name;
        // A mount point is empty; a folder holds the sums of its children; a file is one file.
        SCOPED_TRACE(node.name);
        if (node.mountIndex != kNoNode) {
            EXPECT_TRUE(node.children.empty());
            EXPECT_EQ(node.size, 0u);
            EXPECT_EQ(node.fileCount, 0u);
        } else if (node.isFolder) {
            EXPECT_EQ(node.size, size);
            EXPECT_EQ(node.fileCount, files);
        } else {
            EXPECT_TRUE(node.children.empty());
            EXPECT_EQ(node.fileCount, 1u);
        }
    }
    for (uint64_t i = 1; i < tree.nodes.size(); ++i)
        EXPECT_EQ(seenAsChild[i], 1u) << tree.nodes[i].name;
}

}  // namespace fan::testing
