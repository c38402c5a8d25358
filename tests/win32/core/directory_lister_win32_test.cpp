// The Windows listing and the walk over it, on real folders of Wine's C:
// drive: kinds and 64-bit sizes, links skipped, vanished folders, paths
// beyond 260 characters and names that are not valid UTF-16.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>

#include "core/directory_lister.h"
#include "core/long_path_win32.h"
#include "core/path_text.h"
#include "core/scan_engine.h"
#include "win32/win32_temp_tree.h"

namespace fan {
namespace {

using testing::Win32TempTree;

constexpr uint64_t kFiveGiB = uint64_t{5} << 30;
const std::vector<MountEntry> kNoMounts;

bool onDisk(const std::filesystem::path& path) {
    return GetFileAttributesW(win32LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

uint64_t findChild(const Tree& tree, uint64_t parent, const std::string& name) {
    for (uint64_t child : tree.nodes[parent].children)
        if (tree.nodes[child].name == name) return child;
    return kNoNode;
}

// Wine's CreateSymbolicLinkW reports success and makes nothing, so the
// build prepares a folder holding docs\a.txt (5 bytes) and a symbolic link
// to docs, and names it here; Wine shows such a link as a reparse point.
std::wstring linkTree() {
    const wchar_t* folder = _wgetenv(L"FAN_LINK_TREE");
    return folder ? folder : L"";
}

TEST(Win32LongPath, PrefixesLocalAndNetworkPathsOnce) {
    const struct {
        const wchar_t* path;
        const wchar_t* expected;
    } cases[] = {
        {L"C:\\a\\b", L"\\\\?\\C:\\a\\b"},
        {L"C:/a/b", L"\\\\?\\C:\\a\\b"},
        {L"C:\\", L"\\\\?\\C:\\"},
        {L"\\\\server\\share\\x", L"\\\\?\\UNC\\server\\share\\x"},
        {L"\\\\?\\C:\\x", L"\\\\?\\C:\\x"},
    };
    for (const auto& c : cases) EXPECT_EQ(win32LongPath(c.path), c.expected) << std::filesystem::path(c.path);
}

TEST(Win32Lister, GivesKindsAndSizesAndTellsVanishedFromFailed) {
    Win32TempTree temp;
    temp.folder(L"docs");
    temp.file(L"big.bin", kFiveGiB);
    temp.file(L"shy.txt", 7, FILE_ATTRIBUTE_HIDDEN);

    const auto lister = makeDirectoryLister();
    ASSERT_TRUE(lister->isFolder(temp.root()));
    EXPECT_FALSE(lister->isFolder(temp.join(L"big.bin")));
    EXPECT_FALSE(lister->isFolder(temp.join(L"gone")));

    ASSERT_EQ(lister->open(temp.root(), true), ListOpen::Opened);
    std::map<std::string, std::pair<EntryKind, uint64_t>> seen;
    ListedEntry entry;
    while (lister->next(entry)) seen[std::string(entry.name)] = {entry.kind, entry.size};
    EXPECT_FALSE(lister->failed());
    lister->close();

    EXPECT_EQ(seen["docs"], std::make_pair(EntryKind::Folder, uint64_t{0}));
    EXPECT_EQ(seen["big.bin"], std::make_pair(EntryKind::File, kFiveGiB));  // both 32-bit halves
    EXPECT_EQ(seen["shy.txt"], std::make_pair(EntryKind::File, uint64_t{7}));

    // A folder that is gone (or never was) lists as empty, not as an error.
    EXPECT_EQ(lister->open(temp.join(L"gone"), false), ListOpen::NotFound);
    EXPECT_EQ(lister->open(temp.join(L"gone\\deeper"), false), ListOpen::NotFound);
}

TEST(Win32Scan, SumsARealTreeAndEveryNodePathLeadsBackToItsFile) {
    Win32TempTree temp;
    temp.file(L"big.bin", kFiveGiB);
    temp.file(L"shy.txt", 7, FILE_ATTRIBUTE_HIDDEN);
    temp.folder(L"docs");
    temp.file(L"docs\\a.txt", 100);
    temp.folder(L"docs\\sub");
    temp.file(L"docs\\sub\\b.txt", 20);
    temp.folder(L"empty");
    // Nesting well past 260 characters.
    std::wstring deep = L"deep";
    temp.folder(deep);
    while (temp.join(deep).size() < 400) temp.folder(deep += L"\\" + std::wstring(40, L'n'));
    temp.file(deep + L"\\far.txt", 3);

    ScanProgress progress;
    const Tree tree = scanTree(temp.root(), progress, &kNoMounts);
    ASSERT_EQ(tree.errorText, "");
    EXPECT_EQ(tree.errorCount, 0u);
    EXPECT_EQ(tree.nodes[0].size, kFiveGiB + 7 + 100 + 20 + 3);
    EXPECT_EQ(tree.nodes[0].fileCount, 5u);
    EXPECT_EQ(tree.nodes[findChild(tree, 0, "empty")].size, 0u);
    EXPECT_EQ(progress.files.load(), 5u);
    EXPECT_EQ(progress.bytes.load(), kFiveGiB + 130);

    size_t deepFiles = 0;
    for (uint64_t i = 1; i < tree.nodes.size(); ++i) {
        const std::filesystem::path path = tree.nodePath(i);
        EXPECT_TRUE(onDisk(path)) << pathText(path);
        if (tree.nodes[i].name == "far.txt") {
            EXPECT_GT(path.native().size(), 260u);
            ++deepFiles;
        }
    }
    EXPECT_EQ(deepFiles, 1u);
}

TEST(Win32Scan, ALinkIsNeitherRecordedNorFollowed) {
    const std::wstring root = linkTree();
    ASSERT_FALSE(root.empty()) << "FAN_LINK_TREE is not set";
    const auto lister = makeDirectoryLister();
    ASSERT_EQ(lister->open(root, true), ListOpen::Opened);
    std::map<std::string, EntryKind> seen;
    ListedEntry entry;
    while (lister->next(entry)) seen[std::string(entry.name)] = entry.kind;
    ASSERT_EQ(seen.count("link"), 1u);
    EXPECT_EQ(seen["link"], EntryKind::Other);

    ScanProgress progress;
    const Tree tree = scanTree(root, progress, &kNoMounts);
    EXPECT_EQ(findChild(tree, 0, "link"), kNoNode);
    EXPECT_EQ(tree.nodes[0].size, 5u);
    EXPECT_EQ(tree.nodes[0].fileCount, 1u);
}

TEST(Win32Scan, ANameThatIsNotValidUtf16DoesNotFailTheScan) {
    Win32TempTree temp;
    temp.file(L"ok.txt", 1);
    const std::wstring odd = std::wstring(L"odd") + wchar_t(0xD800) + L".txt";
    const HANDLE h = CreateFileW(Win32TempTree::long_(temp.join(odd)).c_str(), GENERIC_WRITE, 0, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        // Wine keeps names as UTF-8 on the Unix side and refuses this one;
        // what the walk would store is checked on a tree made by hand.
        std::printf("note: this system refuses unpaired surrogates in names; checked the node path only\n");
        Tree tree;
        tree.root = temp.root();
        tree.nodes.resize(2);
        tree.nodes[1].name = pathText(odd);
        tree.nodes[1].parent = 0;
        EXPECT_EQ(tree.nodes[1].name, "odd\xED\xA0\x80.txt");
        EXPECT_EQ(tree.nodePath(1).native(), temp.join(odd));
        return;
    }
    CloseHandle(h);

    ScanProgress progress;
    const Tree tree = scanTree(temp.root(), progress, &kNoMounts);
    ASSERT_EQ(tree.errorText, "");
    const uint64_t node = findChild(tree, 0, "odd\xED\xA0\x80.txt");
    ASSERT_NE(node, kNoNode);
    EXPECT_EQ(tree.nodePath(node).native(), temp.join(odd));
    EXPECT_TRUE(onDisk(tree.nodePath(node)));
    EXPECT_EQ(tree.nodes[0].fileCount, 2u);
}

TEST(Win32Scan, RootsThatCannotBeListed) {
    Win32TempTree temp;
    const std::wstring file = temp.file(L"plain.txt", 1);
    const std::wstring missing = temp.join(L"nope");
    for (const std::wstring& root : {file, missing}) {
        ScanProgress progress;
        const Tree tree = scanTree(root, progress, &kNoMounts);
        EXPECT_EQ(tree.errorText, "Не удалось открыть папку: " + pathText(root));
        EXPECT_TRUE(tree.nodes.empty());
    }
}

}  // namespace
}  // namespace fan
