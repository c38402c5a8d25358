// The path of a node. The order of a folder's children is checked on the
// scans' trees.
#include "core/tree.h"

#include <gtest/gtest.h>

#include "tree_builder.h"

namespace fan {
namespace {

using testing::addNode;
using testing::treeWithRoot;

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
