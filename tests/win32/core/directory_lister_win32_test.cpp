// The Windows listing and the scan over it on real folders under Wine: 64-bit
// sizes, links skipped, vanished folders, paths beyond 260 characters, roots
// given as text, network and prefixed roots, names that are not valid UTF-16.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/long_path_win32.h"
#include "core/path_text.h"
#include "core/scan_engine.h"
#include "win32/win32_temp_tree.h"

namespace fan {
namespace {

constexpr uint64_t kFiveGiB = uint64_t{5} << 30;
const std::vector<MountEntry> kNoMounts;

Tree scan(const std::wstring& root) {
    ScanProgress progress;
    return scanTree(root, progress, &kNoMounts);
}

TEST(Win32Scan, SumsARealTreeAndEveryNodePathLeadsBackToItsFile) {
    testing::Win32TempTree temp;
    temp.file(L"big.bin", kFiveGiB);  // both 32-bit halves of the size count
    std::wstring deep = L"deep";      // nested until its path is well beyond MAX_PATH
    for (temp.folder(deep); temp.join(deep).size() < 400;)
        temp.folder(deep += L"\\" + std::wstring(40, L'n'));
    temp.file(deep + L"\\far.txt", 3);

    const Tree tree = scan(temp.root());
    ASSERT_EQ(tree.errorText, "");
    EXPECT_EQ(tree.nodes[0].size, kFiveGiB + 3);
    size_t longPaths = 0;
    for (uint64_t i = 1; i < tree.nodes.size(); ++i) {
        const std::filesystem::path path = tree.nodePath(i);
        EXPECT_NE(GetFileAttributesW(win32LongPath(path).c_str()), INVALID_FILE_ATTRIBUTES) << pathText(path);
        longPaths += path.native().size() > 260;
    }
    EXPECT_GT(longPaths, 1u);
}

TEST(Win32Scan, ADriveRootsChildrenTakeNoSecondSeparator) {
    const Tree drive = scan(L"C:\\");
    ASSERT_GT(drive.nodes.size(), 1u);
    EXPECT_EQ(drive.nodePath(1).native(), L"C:\\" + nativeText(drive.nodes[1].name));
}

// Wine's CreateSymbolicLinkW reports success and makes nothing, so the build
// prepares docs\a.txt (5 bytes) beside a Unix link to docs, which Wine shows
// as a reparse point.
TEST(Win32Scan, ALinkIsNeitherCountedNorFollowed) {
    const wchar_t* links = _wgetenv(L"FAN_LINK_TREE");
    ASSERT_TRUE(links) << "FAN_LINK_TREE is not set";
    const Tree tree = scan(links);
    EXPECT_EQ(tree.nodes[0].children.size(), 1u);  // docs alone
    EXPECT_EQ(tree.nodes[0].size, 5u);
}

TEST(Win32Lister, AFolderGoneWithItsParentIsAnErrorNotAnEmptyFolder) {
    testing::Win32TempTree temp;
    temp.folder(L"docs");
    const auto lister = makeDirectoryLister();
    ASSERT_EQ(lister->openRoot(temp.join(L"docs")), ListOpen::Opened);
    const AnchorRef docs = lister->anchor();
    ASSERT_EQ(lister->openRoot(temp.root()), ListOpen::Opened);
    EXPECT_EQ(lister->open(lister->anchor(), "gone"), ListOpen::NotFound);
    lister->close();
    ASSERT_TRUE(RemoveDirectoryW(temp.join(L"docs").c_str()));
    EXPECT_EQ(lister->open(docs, "deeper"), ListOpen::Failed);
}

TEST(Win32Scan, ACyrillicFolderScansFromItsText) {
    testing::Win32TempTree temp;
    temp.folder(L"\u041F\u0430\u043F\u043A\u0430");
    const Tree tree = scan(pathFromText(pathText(temp.root()) + "\\Папка"));
    ASSERT_EQ(tree.errorText, "");
    EXPECT_EQ(tree.root.native(), temp.join(L"\u041F\u0430\u043F\u043A\u0430"));
}

TEST(Win32Scan, APrefixedRootIsScannedAsItStands) {
    testing::Win32TempTree temp;
    const std::wstring prefixed = L"\\\\?\\" + temp.root();
    const Tree tree = scan(prefixed);
    ASSERT_EQ(tree.errorText, "");
    EXPECT_EQ(tree.root.native(), prefixed);
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

TEST(Win32PathText, ANameThatIsNotValidUtf16RoundTripsThroughItsText) {
    const std::wstring odd = std::wstring(L"C:\\odd") + wchar_t(0xD800) + L".txt";
    EXPECT_EQ(pathFromText(pathText(odd)).native(), odd);
}

}  // namespace
}  // namespace fan
