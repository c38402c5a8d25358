// The order of a folder's children and the path of a node.
#include "core/tree.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tree_builder.h"

namespace fan {
namespace {

using testing::addNode;
using testing::treeWithRoot;

TEST(ChildOrder, MountPointsThenLargerSizeThenRawNameBytes) {
    Tree tree = treeWithRoot("/");
    const struct {
        const char* name;
        uint64_t size;
        bool mount;
    } children[] = {{"b", 10, false},         {"Док", 10, false},  {"zeta", 0, true},  {"a1", 10, false},
                    {"a", 10, false},         {"huge", 99, false}, {"B", 10, false},   {"alpha", 0, true},
                    {"\xC3\xA9t\xC3\xA9", 10, false}, {"\x7F", 10, false}, {"Я", 10, false}, {"я", 10, false},
                    {"small", 1, false}};
    for (const auto& c : children) addNode(tree, 0, c.name, c.size, true, c.mount ? 0 : kNoNode);
    std::vector<uint64_t>& kids = tree.nodes[0].children;
    std::sort(kids.begin(), kids.end(), childOrder{tree});
    std::vector<std::string> names;
    for (uint64_t k : kids) names.push_back(tree.nodes[k].name);
    // Upper-case Latin before lower-case, a name before its extensions,
    // bytes unsigned: ASCII, then é (C3), then Cyrillic (D0, D1).
    EXPECT_EQ(names, (std::vector<std::string>{"alpha", "zeta", "huge", "B", "a", "a1", "b", "\x7F",
                                               "\xC3\xA9t\xC3\xA9", "Док", "Я", "я", "small"}));
    for (uint64_t k : kids) EXPECT_FALSE(childOrder{tree}(k, k));
}

TEST(NodePath, JoinsTheNamesBelowTheRoot) {
    Tree tree = treeWithRoot("/home/user");
    tree.nodes[0].name = "not used";
    const uint64_t a = addNode(tree, 0, "a", 0, true);
    const uint64_t f = addNode(tree, addNode(tree, a, "b c", 0, true), "файл.txt", 3);
    EXPECT_EQ(tree.nodePath(0).native(), "/home/user");
    EXPECT_EQ(tree.nodePath(kNoNode).native(), "/home/user");
    EXPECT_EQ(tree.nodePath(f).native(), "/home/user/a/b c/файл.txt");
    Tree top = treeWithRoot("/");
    EXPECT_EQ(top.nodePath(addNode(top, addNode(top, 0, "etc", 0, true), "hosts", 1)).native(), "/etc/hosts");
}

}  // namespace
}  // namespace fan
