// The Windows listing and the walk over it on real folders under Wine:
// kinds and 64-bit sizes, links skipped, vanished folders, paths beyond 260
// characters, roots given as text, network and prefixed roots, and names
// that are not valid UTF-16.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>

#include "core/long_path_win32.h"
#include "core/path_text.h"
#include "core/scan_engine.h"
#include "win32/win32_temp_tree.h"

namespace fan {
namespace {

constexpr uint64_t kFiveGiB = uint64_t{5} << 30;
const std::vector<MountEntry> kNoMounts;

uint64_t findChild(const Tree& tree, const std::string& name) {
    for (uint64_t child : tree.nodes[0].children)
        if (tree.nodes[child].name == name) return child;
    return kNoNode;
}

Tree scan(const std::wstring& root, ScanProgress&& progress = {}) {
    return scanTree(root, progress, &kNoMounts);
}

std::map<std::string, std::pair<EntryKind, uint64_t>> listed(DirectoryLister& lister, const std::wstring& folder) {
    std::map<std::string, std::pair<EntryKind, uint64_t>> seen;
    EXPECT_EQ(lister.openRoot(folder), ListOpen::Opened);
    for (ListedEntry e; lister.next(e);)
        seen[std::string(e.name)] = {e.kind, e.size};
    EXPECT_FALSE(lister.failed());
    return seen;
}

TEST(Win32Lister, KindsAndSizesLinksSkippedAndVanishedFoldersEmpty) {
    testing::Win32TempTree temp;
    temp.folder(L"docs");
    temp.file(L"big.bin", kFiveGiB);
    temp.file(L"shy.txt", 7, FILE_ATTRIBUTE_HIDDEN);
    const auto lister = makeDirectoryLister();
    auto seen = listed(*lister, temp.root());
    EXPECT_EQ(seen["docs"], std::make_pair(EntryKind::Folder, uint64_t{0}));
    EXPECT_EQ(seen["big.bin"], std::make_pair(EntryKind::File, kFiveGiB));  // both 32-bit halves
    EXPECT_EQ(seen["shy.txt"], std::make_pair(EntryKind::File, uint64_t{7}));
    EXPECT_FALSE(lister->isFolder(temp.join(L"big.bin")));
    // A folder gone from its parent is empty; one whose parent is gone too
    // cannot be reached, and is counted so.
    ASSERT_EQ(lister->openRoot(temp.join(L"docs")), ListOpen::Opened);
    const AnchorRef docs = lister->anchor();
    ASSERT_EQ(lister->openRoot(temp.root()), ListOpen::Opened);
    EXPECT_EQ(lister->open(lister->anchor(), "gone"), ListOpen::NotFound);
    lister->close();
    ASSERT_TRUE(RemoveDirectoryW(temp.join(L"docs").c_str()));
    EXPECT_EQ(lister->open(docs, "deeper"), ListOpen::Failed);
    for (const auto& [path, expected] :
         {std::pair{L"C:/a", L"\\\\?\\C:\\a"}, {L"\\\\s\\x", L"\\\\?\\UNC\\s\\x"}, {L"\\\\?\\C:\\a", L"\\\\?\\C:\\a"}})
        EXPECT_EQ(win32LongPath(path), expected);

    // Wine's CreateSymbolicLinkW reports success and makes nothing, so the
    // build prepares docs\a.txt (5 bytes) beside a Unix link to docs, which
    // Wine shows as a reparse point.
    const wchar_t* links = _wgetenv(L"FAN_LINK_TREE");
    ASSERT_TRUE(links) << "FAN_LINK_TREE is not set";
    EXPECT_EQ(listed(*lister, links)["link"].first, EntryKind::Other);
    const Tree tree = scan(links);
    EXPECT_EQ(findChild(tree, "link"), kNoNode);
    EXPECT_EQ(tree.nodes[0].size, 5u);
}

TEST(Win32Scan, SumsARealTreeAndEveryNodePathLeadsBackToItsFile) {
    testing::Win32TempTree temp;
    temp.file(L"big.bin", kFiveGiB);
    temp.file(L"shy.txt", 7, FILE_ATTRIBUTE_HIDDEN);
    temp.folder(L"docs");
    temp.file(L"docs\\a.txt", 100);
    temp.folder(L"empty");
    temp.file(temp.deepFolder(L"deep") + L"\\far.txt", 3);

    ScanProgress progress;
    const Tree tree = scanTree(temp.root(), progress, &kNoMounts);
    ASSERT_EQ(tree.errorText, "");
    EXPECT_EQ(tree.errorCount, 0u);
    EXPECT_EQ(tree.nodes[0].size, kFiveGiB + 110);
    EXPECT_EQ(tree.nodes[0].fileCount, 4u);
    EXPECT_EQ(progress.bytes.load(), kFiveGiB + 110);
    EXPECT_EQ(tree.nodes[findChild(tree, "empty")].size, 0u);
    size_t longPaths = 0;
    for (uint64_t i = 1; i < tree.nodes.size(); ++i) {
        const std::filesystem::path path = tree.nodePath(i);
        EXPECT_NE(GetFileAttributesW(win32LongPath(path).c_str()), INVALID_FILE_ATTRIBUTES) << pathText(path);
        longPaths += path.native().size() > 260;
    }
    EXPECT_GT(longPaths, 1u);

    // A drive root already ends in its separator: no second one is added.
    const Tree drive = scan(L"C:\\");
    ASSERT_GT(drive.nodes.size(), 1u);
    EXPECT_EQ(drive.nodePath(1).native(), L"C:\\" + nativeText(drive.nodes[1].name));

    for (const std::wstring& root : {temp.join(L"big.bin"), temp.join(L"nope")})
        EXPECT_EQ(scan(root).errorText, "Не удалось открыть папку: " + pathText(root));
}

TEST(Win32Scan, ACyrillicFolderScansFromItsText) {
    testing::Win32TempTree temp;
    temp.folder(L"\u041F\u0430\u043F\u043A\u0430");
    temp.file(L"\u041F\u0430\u043F\u043A\u0430\\a.txt", 12);
    const Tree tree = scan(pathFromText(pathText(temp.root()) + "\\Папка"));
    ASSERT_EQ(tree.errorText, "");
    EXPECT_EQ(tree.root.native(), temp.join(L"\u041F\u0430\u043F\u043A\u0430"));
    EXPECT_EQ(tree.nodes[0].size, 12u);
}

TEST(Win32Scan, APrefixedRootIsScannedAsItStands) {
    testing::Win32TempTree temp;
    temp.file(L"a.txt", 12);
    const std::wstring prefixed = L"\\\\?\\" + temp.root();
    const Tree tree = scan(prefixed);
    ASSERT_EQ(tree.errorText, "");
    EXPECT_EQ(tree.root.native(), prefixed);
    EXPECT_EQ(tree.nodes[0].size, 12u);
}

TEST(Win32LongPath, NetworkAndPrefixedRootsKeepTheirForm) {
    const struct {
        const char* name;
        std::wstring root, longForm;
    } rows[] = {
        {"folder of a share", LR"(\\server\share\a\..\b\)", LR"(\\?\UNC\server\share\b)"},
        {"forward slashes", L"//server/share/x", LR"(\\?\UNC\server\share\x)"},
        {"already prefixed", LR"(\\?\C:\x\..\y)", LR"(\\?\C:\x\..\y)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(win32LongPath(toLongPath(row.root)), row.longForm);
    }
}

TEST(Win32Scan, ANameThatIsNotValidUtf16DoesNotFailTheScan) {
    testing::Win32TempTree temp;
    const std::wstring odd = std::wstring(L"odd") + wchar_t(0xD800) + L".txt";
    const std::string stored = "odd\xED\xA0\x80.txt";  // WTF-8
    EXPECT_EQ(pathFromText(pathText(temp.join(odd))).native(), temp.join(odd));
    try {
        temp.file(odd, 1);
    } catch (const std::runtime_error&) {  // Wine refuses the name: check the conversions by hand
        Tree tree;
        tree.root = temp.root();
        tree.nodes.resize(2);
        tree.nodes[1] = {pathText(odd), 0, {}, 1, 1, false, kNoNode};
        EXPECT_EQ(tree.nodes[1].name, stored);
        EXPECT_EQ(tree.nodePath(1).native(), temp.join(odd));
        return;
    }
    const Tree tree = scan(temp.root());
    ASSERT_EQ(tree.errorText, "");
    ASSERT_NE(findChild(tree, stored), kNoNode);
    EXPECT_EQ(tree.nodePath(findChild(tree, stored)).native(), temp.join(odd));
}

}  // namespace
}  // namespace fan
