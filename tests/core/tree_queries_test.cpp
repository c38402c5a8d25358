// A node's path, case folding, search by name ignoring Latin and Russian
// case, and the largest files.
#include "core/tree_queries.h"

#include <algorithm>
#include <gtest/gtest.h>

#include "tree_builder.h"

namespace fan {
namespace {

using testing::addNode;
using testing::treeWithRoot;
using Indices = std::vector<uint64_t>;

// A root that ends in a separator, as "/" does, takes no second one.
TEST(NodePath, JoinsTheNamesWithOneSeparatorAfterTheRoot) {
    const std::filesystem::path root = std::filesystem::path("/").make_preferred();
    Tree tree = treeWithRoot(root.string());
    const uint64_t etc = addNode(tree, 0, "etc", 0, true);
    EXPECT_EQ(tree.nodePath(addNode(tree, etc, "hosts", 1)).native(), (root / "etc" / "hosts").native());
}

TEST(LowerUtf8, FoldsLatinAndRussianCapitalsOnly) {
    const std::pair<std::string, std::string> cases[] = {
        {"@AZ[`az{", "@az[`az{"},
        {"АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ", "абвгдеёжзийклмнопрстуфхцчшщъыьэюя"},
        {"абвгдеёжзийклмнопрстуфхцчшщъыьэюя 0123 .,-_!", "абвгдеёжзийклмнопрстуфхцчшщъыьэюя 0123 .,-_!"},
        {"\xD0\x80\xD0\x82", "\xD0\x80\xD0\x82"},  // other Cyrillic capitals (Ѐ, Ђ) stay
        {"A\xD0", "a\xD0"},                        // a lone trailing 0xD0 is copied
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(lowerUtf8(in), out) << in;
}

TEST(SearchByName, MatchesAnywhereIgnoringCaseInNodeOrderUpToTheLimit) {
    Tree tree = treeWithRoot("/home/user/Отчёты");
    const uint64_t docs = addNode(tree, 0, "Docs", 0, true);
    const uint64_t report = addNode(tree, docs, "Report.TXT", 10);
    const uint64_t cyr = addNode(tree, docs, "ЁЛКА-отчёт.pdf", 20);
    const uint64_t mount = addNode(tree, 0, "reports-mnt", 0, true, 0);
    addNode(tree, 0, "photo.jpg", 30);
    const uint64_t late = addNode(tree, docs, "old_report", 40);
    EXPECT_EQ(searchByName(tree, "RePoRt", 500), (Indices{report, mount, late}));
    EXPECT_EQ(searchByName(tree, "ЁлКа", 500), (Indices{cyr}));
    EXPECT_EQ(searchByName(tree, "ОТЧЁТ", 500), (Indices{0, cyr}));  // the root matches through its whole path
    EXPECT_EQ(searchByName(tree, "report", 2), (Indices{report, mount}));
}

TEST(LargestFiles, LargestFirstTheLaterOfEqualFilesFirstAndKeptOnlyFiles) {
    Tree tree = treeWithRoot("/r");
    // The big file comes first, so that the tie of b and e is decided at a limit of two.
    const uint64_t big = addNode(tree, addNode(tree, 0, "dir", 1000, true), "big", 900);
    const uint64_t a = addNode(tree, 0, "a", 10);
    const uint64_t b = addNode(tree, 0, "b", 30);
    const uint64_t c = addNode(tree, 0, "c", 10);
    const uint64_t d = addNode(tree, 0, "d", 20);
    const uint64_t e = addNode(tree, 0, "e", 30);
    addNode(tree, 0, "bound-file", 5000, false, 1);  // a file bind mount is a mount point too
    EXPECT_EQ(largestFiles(tree, 200), (Indices{big, e, b, d, c, a}));
    EXPECT_EQ(largestFiles(tree, 2), (Indices{big, e}));
}

}  // namespace
}  // namespace fan
