// Builds small Trees by hand for the tests of the tree model and its queries.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include "core/tree.h"

namespace fan::testing {

// Appends a node under `parent` (kNoNode for the root) and returns its index.
// Sizes and counts are taken as given; nothing is summed.
inline uint64_t addNode(Tree& tree, uint64_t parent, std::string name, uint64_t size = 0, bool isFolder = false,
                        uint64_t mountIndex = kNoNode) {
    tree.nodes.push_back({std::move(name), parent, {}, size, isFolder ? 0u : 1u, isFolder, mountIndex});
    if (parent != kNoNode) tree.nodes[parent].children.push_back(tree.nodes.size() - 1);
    return tree.nodes.size() - 1;
}

// A tree holding only its root folder.
inline Tree treeWithRoot(const std::string& root) {
    Tree tree;
    tree.root = root;
    addNode(tree, kNoNode, root, 0, true);
    return tree;
}

// Builds a tree node by node; finish() sums folder sizes bottom-up and puts
// every folder's children in childOrder, as a finished scan leaves them.
struct TreeBuilder {
    Tree tree = treeWithRoot("root");

    uint64_t folder(uint64_t parent, const std::string& name) { return addNode(tree, parent, name, 0, true); }
    uint64_t file(uint64_t parent, const std::string& name, uint64_t size) { return addNode(tree, parent, name, size); }

    const Tree& finish() {
        for (size_t i = tree.nodes.size(); i-- > 1;) {
            ScanNode& parent = tree.nodes[tree.nodes[i].parent];
            parent.size += tree.nodes[i].size;
            parent.fileCount += tree.nodes[i].fileCount;
        }
        for (ScanNode& node : tree.nodes)
            std::sort(node.children.begin(), node.children.end(), childOrder{tree});
        return tree;
    }
};

}  // namespace fan::testing
