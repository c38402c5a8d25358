// Builds small Trees by hand for the tests of the tree model and its queries.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "core/tree.h"

namespace fan::test {

// Appends a node under `parent` (kNoNode for the root) and returns its index.
// Sizes and counts are taken as given; nothing is summed.
inline uint64_t addNode(Tree& tree, uint64_t parent, std::string name, uint64_t size = 0,
                        bool isFolder = false, uint64_t mountIndex = kNoNode) {
    ScanNode node;
    node.name = std::move(name);
    node.parent = parent;
    node.size = size;
    node.fileCount = isFolder ? 0 : 1;
    node.isFolder = isFolder;
    node.mountIndex = mountIndex;
    const uint64_t index = tree.nodes.size();
    tree.nodes.push_back(std::move(node));
    if (parent != kNoNode) tree.nodes[parent].children.push_back(index);
    return index;
}

// A tree holding only its root folder.
inline Tree treeWithRoot(const std::string& root) {
    Tree tree;
    tree.root = root;
    addNode(tree, kNoNode, root, 0, true);
    return tree;
}

}  // namespace fan::test
