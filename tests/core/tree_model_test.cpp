// The order of a folder's children and the path of a node.
#include "core/tree.h"

#include <algorithm>
#include <gtest/gtest.h>

#include "tree_builder.h"

namespace fan {
namespace {

using testing::addNode;
using testing::treeWithRoot;

TEST(ChildOrder, MountPointsThenLargerSizeThenRawNameBytes) {
    Tree tree = treeWithRoot("/");
    // Mount points are size 0 here.
    const std::pair<const char*, uint64_t> children[] = {{"b", 10},        {"zeta", 0}, {"a1", 10},   {"a", 10},
                                                         {"huge", 99},     {"B", 10},   {"alpha", 0}, {"Я", 10},
                                                         {"\xC3\xA9", 10}, {"small", 1}};
    for (const auto& [name, size] : children)
        addNode(tree, 0, name, size, true, size == 0 ? 0 : kNoNode);
    std::vector<uint64_t>& kids = tree.nodes[0].children;
    std::sort(kids.begin(), kids.end(), childOrder{tree});
    std::vector<std::string> names;
    for (uint64_t k : kids)
        names.push_back(tree.nodes[k].name);
    // Upper-case Latin before lower-case, a name before its extensions,
    // bytes unsigned: ASCII, then é (C3), then Cyrillic (D0).
    EXPECT_EQ(names,
              (std::vector<std::string>{"alpha", "zeta", "huge", "B", "a", "a1", "b", "\xC3\xA9", "Я", "small"}));
}

TEST(NodePath, JoinsTheNamesBelowTheRoot) {
    Tree tree = treeWithRoot("/home/user");
    const uint64_t a = addNode(tree, 0, "a", 0, true);
    const uint64_t f = addNode(tree, addNode(tree, a, "b c", 0, true), "файл.txt", 3);
    EXPECT_EQ(tree.nodePath(0).native(), "/home/user");
    EXPECT_EQ(tree.nodePath(f).native(), "/home/user/a/b c/файл.txt");
    Tree top = treeWithRoot("/");
    EXPECT_EQ(top.nodePath(addNode(top, addNode(top, 0, "etc", 0, true), "hosts", 1)).native(), "/etc/hosts");
}

}  // namespace
}  // namespace fan
