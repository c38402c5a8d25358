#include "core/tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "temp_tree.h"
#include "tree_builder.h"

namespace fan {
namespace {

using testing::addNode;
using testing::treeWithRoot;

// ---- childOrder ----

// Sorts the root's children with childOrder and returns their names.
std::vector<std::string> sortedNames(Tree& tree) {
    std::vector<uint64_t>& kids = tree.nodes[0].children;
    std::sort(kids.begin(), kids.end(), childOrder{tree});
    std::vector<std::string> names;
    for (uint64_t k : kids) names.push_back(tree.nodes[k].name);
    return names;
}

TEST(ChildOrder, MountPointOfSizeZeroBeforeTenGiBFolder) {
    Tree tree = treeWithRoot("/data");
    const uint64_t big = addNode(tree, 0, "big", uint64_t{10} << 30, true);
    const uint64_t mnt = addNode(tree, 0, "mnt", 0, true, 0);
    const childOrder before{tree};
    EXPECT_TRUE(before(mnt, big));
    EXPECT_FALSE(before(big, mnt));
    EXPECT_EQ(sortedNames(tree), (std::vector<std::string>{"mnt", "big"}));
}

TEST(ChildOrder, MountPointsAmongThemselvesBySizeThenName) {
    Tree tree = treeWithRoot("/");
    addNode(tree, 0, "zeta", 0, true, 0);
    addNode(tree, 0, "alpha", 0, true, 1);
    addNode(tree, 0, "file", 5);
    EXPECT_EQ(sortedNames(tree), (std::vector<std::string>{"alpha", "zeta", "file"}));
}

TEST(ChildOrder, LargerSizeFirstWhateverTheName) {
    Tree tree = treeWithRoot("/");
    addNode(tree, 0, "A", 1);
    addNode(tree, 0, "z", 3);
    addNode(tree, 0, "Я", 2, true);
    EXPECT_EQ(sortedNames(tree), (std::vector<std::string>{"z", "Я", "A"}));
}

TEST(ChildOrder, EqualSizesOrderedByRawBytes) {
    const struct {
        const char* what;
        std::string first;
        std::string second;
    } cases[] = {
        {"upper-case Latin before lower-case", "Zebra", "apple"},
        {"a name before the same name with a digit appended", "file", "file1"},
        {"Latin before Cyrillic", "zzz", "\xD0\x90"},           // А
        {"Latin before accented Latin", "zzz", "\xC3\xA9t\xC3\xA9"},  // été
        {"bytes compared unsigned", "\x7F", "\x80"},
        {"high bytes unsigned", "\xD0\xAF", "\xD1\x8F"},  // Я before я
    };
    for (const auto& c : cases) {
        Tree tree = treeWithRoot("/");
        const uint64_t second = addNode(tree, 0, c.second, 7);
        const uint64_t first = addNode(tree, 0, c.first, 7);
        const childOrder before{tree};
        EXPECT_TRUE(before(first, second)) << c.what;
        EXPECT_FALSE(before(second, first)) << c.what;
        EXPECT_FALSE(before(first, first)) << c.what;
    }
}

TEST(ChildOrder, SortsAMixedFolderCompletely) {
    Tree tree = treeWithRoot("/");
    addNode(tree, 0, "b", 10);
    addNode(tree, 0, "Док", 10, true);
    addNode(tree, 0, "proc", 0, true, 0);
    addNode(tree, 0, "a1", 10);
    addNode(tree, 0, "a", 10);
    addNode(tree, 0, "huge", 99);
    addNode(tree, 0, "B", 10);
    EXPECT_EQ(sortedNames(tree),
              (std::vector<std::string>{"proc", "huge", "B", "a", "a1", "b", "Док"}));
}

// ---- nodePath ----

TEST(NodePath, ZeroAndNoNodeGiveTheRoot) {
    Tree tree = treeWithRoot("/home/user");
    addNode(tree, 0, "x");
    EXPECT_EQ(tree.nodePath(0).native(), "/home/user");
    EXPECT_EQ(tree.nodePath(kNoNode).native(), "/home/user");
}

TEST(NodePath, JoinsTheChainUnderTheRootNeverUsingTheRootName) {
    Tree tree = treeWithRoot("/home/user");
    tree.nodes[0].name = "not used";
    const uint64_t a = addNode(tree, 0, "a", 0, true);
    const uint64_t b = addNode(tree, a, "b c", 0, true);
    const uint64_t f = addNode(tree, b, "файл.txt", 3);
    EXPECT_EQ(tree.nodePath(a).native(), "/home/user/a");
    EXPECT_EQ(tree.nodePath(f).native(), "/home/user/a/b c/файл.txt");
}

TEST(NodePath, NoDoubledSeparatorUnderFileSystemRoot) {
    Tree tree = treeWithRoot("/");
    const uint64_t etc = addNode(tree, 0, "etc", 0, true);
    const uint64_t f = addNode(tree, etc, "hosts", 1);
    EXPECT_EQ(tree.nodePath(etc).native(), "/etc");
    EXPECT_EQ(tree.nodePath(f).native(), "/etc/hosts");
}

TEST(NodePath, RootPathAndNodeNameRolesDiffer) {
    Tree tree = treeWithRoot("/srv/data");
    const uint64_t f = addNode(tree, 0, "one", 1);
    EXPECT_EQ(tree.nodes[0].name, "/srv/data");
    EXPECT_EQ(tree.nodes[f].name.find('/'), std::string::npos);
}

// Linux names are raw bytes: nodePath must hand back exactly those bytes,
// so that the path opens the real file, instead of failing on invalid UTF-8.
TEST(NodePath, RawByteNamesRoundTripToTheRealFile) {
    const testing::TempTree temp;
    const std::filesystem::path& dir = temp.root();

    const std::string names[] = {
        std::string("bad\xFF\xFE", 5),         // not UTF-8 at all
        std::string("cut\xD0", 4),             // ends inside a sequence
        std::string("line\nbreak"),            // newline
        std::string("\xC0\xAF overlong"),      // overlong '/'
    };
    Tree tree;
    tree.root = dir;
    addNode(tree, kNoNode, dir.native(), 0, true);
    for (const std::string& name : names) {
        const uint64_t i = addNode(tree, 0, name, 1);
        std::filesystem::path p;
        ASSERT_NO_THROW(p = tree.nodePath(i));
        EXPECT_EQ(p.native(), dir.native() + "/" + name);
        { std::ofstream(p) << "x"; }
        EXPECT_TRUE(std::filesystem::is_regular_file(p));
        EXPECT_EQ(std::filesystem::file_size(p), 1u);
    }
    // Exactly the files named above and no mangled variants.
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string got = entry.path().filename().native();
        EXPECT_NE(std::find(std::begin(names), std::end(names), got), std::end(names));
        ++count;
    }
    EXPECT_EQ(count, std::size(names));
}

}  // namespace
}  // namespace fan
