// The walk over real folders: sums, order and names, kinds of entries, hard
// links, depth beyond PATH_MAX, refused folders and mount points.
#include "core/scan_engine.h"

#include <climits>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/sysmacros.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "temp_tree.h"
#include "tree_invariants.h"

namespace fan {
namespace {

using testing::TempTree;

const std::vector<MountEntry> kNoMounts;

uint64_t findChild(const Tree& tree, uint64_t parent, const std::string& name) {
    for (uint64_t child : tree.nodes[parent].children)
        if (tree.nodes[child].name == name) return child;
    return kNoNode;
}

std::vector<std::string> childNames(const Tree& tree, uint64_t parent) {
    std::vector<std::string> names;
    for (uint64_t child : tree.nodes[parent].children) names.push_back(tree.nodes[child].name);
    return names;
}

// A known local file system: its space is asked directly, without a thread.
std::vector<MountEntry> localRoot() {
    std::vector<MountEntry> mounts(1);
    mounts[0].mountPoint = "/";
    mounts[0].fsType = "ext4";
    mounts[0].device = "8:1";
    return mounts;
}

TEST(ScanEngineRoot, RootsThatAreNotFoldersGiveNoNodesAndPublishNothing) {
    TempTree temp;
    const std::string file = temp.file("plain.txt", 10).string();
    const std::string missing = (temp.root() / "nope" / ".." / "nope").string();
    const std::string loop = (temp.root() / "loop").string();
    std::filesystem::create_directory_symlink(loop, loop);
    for (const std::string& argument : {missing, file, loop, std::string()}) {
        ScanProgress progress;
        const Tree tree = scanTree(argument, progress, &kNoMounts);
        EXPECT_EQ(tree.errorText, "Не удалось открыть папку: " + argument);  // as passed, not normalised
        EXPECT_TRUE(tree.nodes.empty());
        EXPECT_FALSE(progress.snapshot().valid);
    }
}

TEST(ScanEngineRoot, RootIsNormalisedAndAnEmptyFolderIsAnEmptyScan) {
    TempTree temp;
    temp.folder("a");
    ScanProgress progress;
    const Tree tree = scanTree((temp.root() / "a" / ".." / "a").string() + "/", progress, &kNoMounts);
    EXPECT_EQ(tree.root, temp.root() / "a");
    EXPECT_EQ(tree.errorText, "");
    ASSERT_EQ(tree.nodes.size(), 1u);
    testing::expectConsistentTree(tree);
    const ScanSnapshot last = progress.snapshot();
    EXPECT_TRUE(last.valid);
    EXPECT_TRUE(last.items.empty());
    EXPECT_EQ(last.root, tree.root);
    EXPECT_EQ(toLongPath("/"), std::filesystem::path("/"));
    EXPECT_EQ(toLongPath("/x/./y/../z/"), std::filesystem::path("/x/z"));
}

TEST(ScanEngineWalk, SumsOrderNamesAndKindsOfARealTree) {
    TempTree temp;
    const std::filesystem::path root = temp.root();
    temp.file("big/one.bin", 5'000'000);
    temp.file("big/deep/er/two.bin", 7);
    for (const char* name : {"small/b", "small/a", "small/A"}) temp.file(name, 10);
    temp.folder("small/empty/also-empty");
    temp.file(".hidden", 1);
    temp.file("huge.img", 5LL << 30);    // sparse: a 64-bit size costs no disk
    temp.file("bad-\xff\xfe-name", 11);  // not UTF-8: kept as the raw bytes
    temp.file("line\nbreak/Привет", 22);
    // A file with a second link elsewhere counts once per link.
    ASSERT_EQ(::link(temp.file("linked", 100).c_str(), (temp.folder("other") / "link").c_str()), 0);
    // Links, FIFOs, sockets and devices are never recorded, counted or followed.
    std::filesystem::create_directory_symlink(root / "big", root / "link-to-folder");
    std::filesystem::create_symlink(root / "linked", root / "link-to-file");
    std::filesystem::create_directory_symlink(root, root / "small" / "up");  // a cycle through the root
    std::filesystem::create_symlink("/nonexistent/x", root / "dangling");
    ASSERT_EQ(::mknod((root / "fifo").c_str(), S_IFIFO | 0644, 0), 0);
    ASSERT_EQ(::mknod((root / "socket").c_str(), S_IFSOCK | 0644, 0), 0);
    ::mknod((root / "null-device").c_str(), S_IFCHR | 0666, makedev(1, 3));  // needs root; the lister test reads /dev
    ScanProgress progress;
    const Tree tree = scanTree(root, progress, &kNoMounts);
    testing::expectConsistentTree(tree);
    EXPECT_EQ(tree.errorText, "");
    EXPECT_EQ(tree.errorCount, 0u);
    EXPECT_FALSE(tree.stopped);
    const uint64_t total = 5'000'000 + 7 + 30 + 1 + (5ULL << 30) + 11 + 22 + 200;
    EXPECT_EQ(tree.nodes[0].size, total);
    EXPECT_EQ(tree.nodes[0].fileCount, 11u);
    EXPECT_EQ(progress.files.load(), 11u);
    EXPECT_EQ(progress.bytes.load(), total);
    EXPECT_GT(tree.seconds, 0.0);
    EXPECT_EQ(tree.nodes.size(), 20u);
    EXPECT_EQ(childNames(tree, findChild(tree, 0, "small")), (std::vector<std::string>{"A", "a", "b", "empty"}));
    // Every node's path leads back to the real entry, of the same kind and size.
    for (uint64_t i = 1; i < tree.nodes.size(); ++i) {
        struct stat st;
        ASSERT_EQ(::lstat(tree.nodePath(i).c_str(), &st), 0) << tree.nodePath(i);
        EXPECT_TRUE(S_ISDIR(st.st_mode) ? tree.nodes[i].isFolder : S_ISREG(st.st_mode)) << tree.nodePath(i);
        if (!tree.nodes[i].isFolder) {
            EXPECT_EQ(static_cast<uint64_t>(st.st_size), tree.nodes[i].size);
        }
    }
}

TEST(ScanEngineWalk, TreeDeeperThanPathMaxIsScannedCompletely) {
    TempTree temp;
    const std::string component(200, 'd');
    int fd = ::open(temp.root().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    const int depth = PATH_MAX / 200 + 5;
    for (int i = 0; i < depth; ++i) {
        ASSERT_EQ(::mkdirat(fd, component.c_str(), 0755), 0);
        const int next = ::openat(fd, component.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        ASSERT_GE(next, 0);
        fd = next;
    }
    const int file = ::openat(fd, "bottom.bin", O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(file, 0);
    ASSERT_EQ(::ftruncate(file, 4242), 0);
    ::close(file);
    ::close(fd);
    ScanProgress progress;
    const Tree tree = scanTree(temp.root(), progress, &kNoMounts);
    testing::expectConsistentTree(tree);
    EXPECT_EQ(tree.errorCount, 0u);
    EXPECT_EQ(tree.nodes.size(), static_cast<size_t>(depth + 2));
    EXPECT_EQ(tree.nodes[0].size, 4242u);
    EXPECT_GT(tree.nodePath(tree.nodes.size() - 1).native().size(), static_cast<size_t>(PATH_MAX));
}

TEST(ScanEngineWalk, FolderThatRefusesListingIsCountedWithDroppedPrivileges) {
    // Root ignores permission bits, so the scan runs in a child that has
    // given up its privileges; as an ordinary user it runs the same way.
    TempTree temp;
    ::chmod(temp.root().c_str(), 0755);
    temp.file("open/file", 5);
    temp.file("locked/inside/secret", 7);
    temp.file("root-file", 3);
    const std::filesystem::path locked = temp.root() / "locked";
    ::chmod(locked.c_str(), 0000);
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(fds[0]);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
        if (::access(temp.root().c_str(), R_OK | X_OK) != 0) ::_exit(5);
        if (::access(locked.c_str(), R_OK) == 0) ::_exit(4);  // still privileged: the test would prove nothing
        const std::vector<MountEntry> mounts = localRoot();
        ScanProgress progress;
        const Tree tree = scanTree(temp.root(), progress, &mounts);
        std::string report = tree.errorText.empty() ? "ok" : tree.errorText;
        report += " " + std::to_string(tree.errorCount) + " " + (tree.nodes.empty() ? "-" : std::to_string(tree.nodes[0].size));
        for (const PreviewItem& item : progress.snapshot().items)
            report += " " + item.name + "=" + std::to_string(static_cast<int>(item.state));
        (void)!::write(fds[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    char buffer[256] = {};
    const ssize_t got = ::read(fds[0], buffer, sizeof buffer - 1);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 5)
        GTEST_SKIP() << temp.root() << " cannot be reached without privileges; set TMPDIR to a folder every user "
                     << "can enter, such as /tmp";
    ASSERT_EQ(WEXITSTATUS(status), 0) << "3: could not drop privileges, 4: still able to read the locked folder";
    ASSERT_GT(got, 0);
    // One error, the locked subtree's bytes unknown, its item AccessError
    // (3), the others Complete (2). The listing order of the root is the
    // file system's, so the items are compared as a set.
    std::string text(buffer);
    ASSERT_EQ(text.rfind("ok 1 8 ", 0), 0u) << text;
    for (const char* item : {" locked=3", " open=2", " =2"}) EXPECT_NE(text.find(item), std::string::npos) << text;
}

TEST(ScanEngineMounts, MountPointsInsideTheRootAreRecordedButNotWalked) {
    // The root is reached through a link: the mount table names real paths,
    // the walk spells them through the link.
    TempTree temp;
    temp.file("real/data/file", 10);
    temp.file("real/mnt/disk/hidden-by-mount", 1000);
    temp.file("real/mnt/other", 1);
    std::filesystem::create_directory_symlink(temp.root() / "real", temp.root() / "link");
    const std::string real = std::filesystem::canonical(temp.root() / "real").string();
    std::vector<MountEntry> mounts = localRoot();
    mounts.resize(5);
    mounts[1].mountPoint = real;                // the root's own file system: skipped
    mounts[2].mountPoint = real + "/mnt/disk";  // inside: recorded
    mounts[3].mountPoint = real + "/mnt/disk";  // the same point again: the first wins
    mounts[4].mountPoint = real + "/data";      // directly under the root
    ScanProgress progress;
    const Tree tree = scanTree(temp.root() / "link", progress, &mounts);
    testing::expectConsistentTree(tree);
    EXPECT_EQ(tree.root, temp.root() / "link");
    EXPECT_EQ(tree.rootVolume.mountPoint, real);
    EXPECT_EQ(tree.mountPointCount, 2u);
    const uint64_t mnt = findChild(tree, 0, "mnt");
    EXPECT_EQ(childNames(tree, mnt), (std::vector<std::string>{"disk", "other"}));  // mount points sort first
    EXPECT_EQ(tree.nodes[findChild(tree, mnt, "disk")].mountIndex, 2u);
    EXPECT_EQ(tree.nodes[findChild(tree, 0, "data")].mountIndex, 4u);
    EXPECT_EQ(tree.nodes[0].size, 1u);
    EXPECT_EQ(progress.files.load(), 1u);
    for (const PreviewItem& item : progress.snapshot().items)
        EXPECT_EQ(item.state, item.name == "data" ? PreviewState::OtherFileSystem : PreviewState::Complete);
}

}  // namespace
}  // namespace fan
