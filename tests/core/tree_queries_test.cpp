#include "core/tree_queries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tree_builder.h"

namespace fan {
namespace {

using testing::addNode;
using testing::treeWithRoot;
using Indices = std::vector<uint64_t>;

// ---- lowerUtf8 ----

struct FoldCase {
    const char* what;
    std::string in;
    std::string out;
};

TEST(LowerUtf8, FoldsLatinAndRussianCapitalsOnly) {
    const FoldCase cases[] = {
        {"Latin capitals", "ABC", "abc"},
        {"whole Latin range edges", "@AZ[`az{", "@az[`az{"},
        {"Ё Ж Я", "\xD0\x81\xD0\x96\xD0\xAF", "\xD1\x91\xD0\xB6\xD1\x8F"},
        {"А and П, the ends of the first block", "\xD0\x90\xD0\x9F", "\xD0\xB0\xD0\xBF"},
        {"Р, the start of the second block", "\xD0\xA0", "\xD1\x80"},
        {"lower-case Cyrillic unchanged", "\xD0\xB0\xD1\x8F\xD1\x91", "\xD0\xB0\xD1\x8F\xD1\x91"},
        {"digits and punctuation unchanged", "0123 .,-_!", "0123 .,-_!"},
        {"other Cyrillic capitals not folded (Ѐ U+0400, Ђ U+0402)", "\xD0\x80\xD0\x82", "\xD0\x80\xD0\x82"},
        {"Latin with diacritics not folded (É)", "\xC3\x89", "\xC3\x89"},
        {"lone trailing 0xD0 copied", "A\xD0", "a\xD0"},
        {"0xD0 then Latin A: the A folds alone", "\xD0\x41", "\xD0\x61"},
        {"0xD0 then 0xD0 then Ж: the second pair folds", "\xD0\xD0\x96", "\xD0\xD0\xB6"},
        {"empty", "", ""},
        {"embedded NUL kept", std::string("A\0B", 3), std::string("a\0b", 3)},
    };
    for (const FoldCase& c : cases) EXPECT_EQ(lowerUtf8(c.in), c.out) << c.what;
}

TEST(LowerUtf8, FoldsWholeRussianAlphabet) {
    const std::string upper =
        "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ";
    const std::string lower =
        "абвгдеёжзийклмнопрстуфхцчшщъыьэюя";
    EXPECT_EQ(lowerUtf8(upper), lower);
    EXPECT_EQ(lowerUtf8(lower), lower);
}

// ---- searchByName ----

class SearchByName : public ::testing::Test {
protected:
    void SetUp() override {
        tree = treeWithRoot("/home/user/Отчёты");
        docs = addNode(tree, 0, "Docs", 0, true);
        report = addNode(tree, docs, "Report.TXT", 10);
        cyr = addNode(tree, docs, "ЁЛКА-отчёт.pdf", 20);
        mount = addNode(tree, 0, "reports-mnt", 0, true, 0);
        other = addNode(tree, 0, "photo.jpg", 30);
        late = addNode(tree, docs, "old_report", 40);
    }
    Tree tree;
    uint64_t docs = 0, report = 0, cyr = 0, mount = 0, other = 0, late = 0;
};

TEST_F(SearchByName, ZeroLimitOrEmptyQueryGivesNothing) {
    EXPECT_TRUE(searchByName(tree, "report", 0).empty());
    EXPECT_TRUE(searchByName(tree, "", 500).empty());
}

TEST_F(SearchByName, MatchesAnywhereInNodeOrderMountPointsIncluded) {
    EXPECT_EQ(searchByName(tree, "report", 500), (Indices{report, mount, late}));
    EXPECT_EQ(searchByName(tree, "o.j", 500), (Indices{other}));
    EXPECT_TRUE(searchByName(tree, "absent", 500).empty());
}

TEST_F(SearchByName, IgnoresCaseOfLatinAndRussianLetters) {
    const Indices latin = searchByName(tree, "report", 500);
    EXPECT_EQ(searchByName(tree, "REPORT", 500), latin);
    EXPECT_EQ(searchByName(tree, "RePoRt", 500), latin);

    const Indices small = searchByName(tree, "ёлка", 500);
    EXPECT_EQ(small, (Indices{cyr}));
    EXPECT_EQ(searchByName(tree, "ЁЛКА", 500), small);
    EXPECT_EQ(searchByName(tree, "ЁлКа", 500), small);
}

TEST_F(SearchByName, RootMatchesThroughItsWholePathAndComesFirst) {
    // "ОТЧЁТ" lies in the root path and in one file name.
    EXPECT_EQ(searchByName(tree, "ОТЧЁТ", 500), (Indices{0, cyr}));
    EXPECT_EQ(searchByName(tree, "/home/", 500), (Indices{0}));
}

TEST_F(SearchByName, LimitKeepsTheEarliestMatches) {
    EXPECT_EQ(searchByName(tree, "report", 1), (Indices{report}));
    EXPECT_EQ(searchByName(tree, "report", 2), (Indices{report, mount}));
    EXPECT_EQ(searchByName(tree, "report", 3).size(), 3u);
    EXPECT_EQ(searchByName(tree, "report", UINT64_MAX).size(), 3u);
}

TEST(SearchByNameLarge, StopsAtTheLimitInABigTree) {
    Tree tree = treeWithRoot("/r");
    for (int i = 0; i < 1000; ++i) addNode(tree, 0, "file" + std::to_string(i));
    const Indices found = searchByName(tree, "FILE", 500);
    ASSERT_EQ(found.size(), 500u);
    for (size_t k = 0; k < found.size(); ++k) EXPECT_EQ(found[k], k + 1);
}

TEST(SearchByNameEmpty, TreeWithoutNodesGivesNothing) {
    EXPECT_TRUE(searchByName(Tree{}, "x", 10).empty());
}

// ---- largestFiles ----

TEST(LargestFiles, RootOnlyOrNoNodesOrZeroLimitGivesNothing) {
    EXPECT_TRUE(largestFiles(Tree{}, 10).empty());
    EXPECT_TRUE(largestFiles(treeWithRoot("/r"), 10).empty());
    Tree tree = treeWithRoot("/r");
    addNode(tree, 0, "a", 5);
    EXPECT_TRUE(largestFiles(tree, 0).empty());
}

TEST(LargestFiles, SkipsFoldersAndMountPointsKeepsEmptyFiles) {
    Tree tree = treeWithRoot("/r");
    const uint64_t dir = addNode(tree, 0, "dir", 1000, true);
    const uint64_t big = addNode(tree, dir, "big", 900);
    addNode(tree, 0, "mnt", 0, true, 0);
    // A non-folder carrying a mount index is a mount point too (a file bind mount).
    addNode(tree, 0, "bound-file", 5000, false, 1);
    const uint64_t empty = addNode(tree, 0, "empty", 0);
    EXPECT_EQ(largestFiles(tree, 200), (Indices{big, empty}));
}

TEST(LargestFiles, LimitAboveFileCountReturnsAllSortedLaterFirstOnTies) {
    Tree tree = treeWithRoot("/r");
    const uint64_t a = addNode(tree, 0, "a", 10);
    const uint64_t b = addNode(tree, 0, "b", 30);
    const uint64_t c = addNode(tree, 0, "c", 10);
    const uint64_t d = addNode(tree, 0, "d", 20);
    const uint64_t e = addNode(tree, 0, "e", 30);
    EXPECT_EQ(largestFiles(tree, 200), (Indices{e, b, d, c, a}));
}

TEST(LargestFiles, AtTheCutOffTheLaterOfEqualFilesIsKept) {
    Tree tree = treeWithRoot("/r");
    addNode(tree, 0, "small", 1);
    addNode(tree, 0, "first", 50);
    const uint64_t second = addNode(tree, 0, "second", 50);
    EXPECT_EQ(largestFiles(tree, 1), (Indices{second}));

    const uint64_t top = addNode(tree, 0, "top", 60);
    const uint64_t third = addNode(tree, 0, "third", 50);
    EXPECT_EQ(largestFiles(tree, 2), (Indices{top, third}));
}

TEST(LargestFiles, MatchesAFullSortOnAPseudoRandomTree) {
    Tree tree = treeWithRoot("/r");
    uint64_t x = 12345;
    for (int i = 0; i < 2000; ++i) {
        x = x * 6364136223846793005ull + 1442695040888963407ull;
        const bool folder = (x >> 60) == 0;
        addNode(tree, 0, "n" + std::to_string(i), (x >> 33) % 97, folder);
    }
    Indices expected;
    for (uint64_t i = 0; i < tree.nodes.size(); ++i)
        if (!tree.nodes[i].isFolder) expected.push_back(i);
    std::sort(expected.begin(), expected.end(), [&](uint64_t l, uint64_t r) {
        const uint64_t ls = tree.nodes[l].size, rs = tree.nodes[r].size;
        return ls != rs ? ls > rs : l > r;
    });
    expected.resize(200);
    EXPECT_EQ(largestFiles(tree, 200), expected);
}

// ---- formatBytesRu ----

TEST(FormatBytesRu, Table) {
    const struct {
        uint64_t bytes;
        const char* text;
    } cases[] = {
        {0, "0 Б"},
        {1023, "1023 Б"},
        {1024, "1.00 КиБ"},
        {10240, "10.0 КиБ"},
        {UINT64_MAX, "16.0 ЭиБ"},
        // Decimals are chosen before rounding: 9.999 KiB keeps two.
        {10239, "10.00 КиБ"},
        {1048575, "1024.0 КиБ"},
        {1048576, "1.00 МиБ"},
        {1536, "1.50 КиБ"},
        {uint64_t{1} << 30, "1.00 ГиБ"},
        {uint64_t{5} << 40, "5.00 ТиБ"},
        {uint64_t{100} << 50, "100.0 ПиБ"},
        {uint64_t{1} << 60, "1.00 ЭиБ"},
    };
    for (const auto& c : cases) EXPECT_EQ(formatBytesRu(c.bytes), c.text) << c.bytes;
}

}  // namespace
}  // namespace fan
