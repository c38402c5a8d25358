// The Linux mount table: mountinfo parsing, hidden mounts, lookup of the
// mount that holds a path, one-line descriptions, and an unreadable table.
#include <gtest/gtest.h>
#include <sstream>

#include "core/mount_entry.h"
#include "core/mount_info.h"
#include "core/mount_table_linux.h"
#include "tests/core/temp_tree.h"

namespace fan {
namespace {

std::vector<MountEntry> parse(const std::string& text) {
    std::istringstream in(text);
    return parseMountInfo(in);
}

// The sources of the mounts, "*" marking a pseudo file system.
std::vector<std::string> sources(const std::vector<MountEntry>& mounts) {
    std::vector<std::string> texts;
    for (const MountEntry& m : mounts)
        texts.push_back(m.source + (m.pseudo ? "*" : ""));
    return texts;
}

TEST(ParseMountInfo, ReadsEveryFieldAndDecodesEscapes) {
    const auto mounts = parse(
        "36 35 98:0 /mnt1 /mnt/parent rw,noatime master:1 - ext3 /dev/root rw,errors=continue\n"
        "1 0 8:1 /my\\040root /mnt/my\\040disk rw - fuse\\040x /dev/disk\\011a\\04 rw\n");
    std::vector<std::string> fields;
    for (const MountEntry& m : mounts)
        fields.push_back(std::to_string(m.mountId) + "|" + std::to_string(m.parentId) + "|" + m.device + "|" +
                         m.fsRoot + "|" + m.mountPoint + "|" + m.fsType + "|" + m.source);
    EXPECT_EQ(fields, (std::vector<std::string>{"36|35|98:0|/mnt1|/mnt/parent|ext3|/dev/root",
                                                "1|0|8:1|/my root|/mnt/my disk|fuse\\040x|/dev/disk\ta\\04"}));
}

TEST(UnescapeMountField, DecodesOnlyWholeOctalEscapes) {
    const std::pair<std::string, std::string> cases[] = {
        {"a\\134b", "a\\b"}, {"\\011\\012", "\t\n"}, {"end\\040", "end "}, {"end\\04", "end\\04"},
        {"\\089", "\\089"},  {"\\0401", " 1"},       {"\\777", "\xff"},    {"\\\\040", "\\ "},
    };
    for (const auto& [raw, decoded] : cases)
        EXPECT_EQ(unescapeMountField(raw), decoded) << raw;
}

TEST(ParseMountInfo, HidesOverMountsAndEverythingBelowThemAndFlagsPseudoFileSystems) {
    const struct {
        const char* table;
        std::vector<std::string> visible;
    } cases[] = {
        {"1 0 0:1 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
         "3 0 0:3 / /home/u/remote rw - fuse.sshfs u@host:/ rw\n",
         {"cgroup2*", "u@host:/"}},
        {"1 0 8:1 / / rw - ext4 a rw\n"
         "10 1 8:2 / /data rw - ext4 b rw\n"
         "11 10 8:3 / /data rw - ext4 c rw\n"        // covers 10
         "12 10 8:4 / /data/sub rw - ext4 d rw\n"    // on the covered 10
         "13 12 8:5 / /data/sub/x rw - ext4 e rw\n"  // deeper, still hidden
         "15 11 8:7 / /data/new rw - ext4 g rw\n",   // on the covering 11
         {"a", "c", "g"}},
        {"1 0 8:1 / / rw - ext4 a rw\n"
         "13 12 8:5 / /data/sub/x rw - ext4 e rw\n"  // listed before the mount it lies on
         "10 1 8:2 / /data rw - ext4 b rw\n"
         "11 10 8:3 / /data rw - ext4 c rw\n"
         "12 10 8:4 / /data/sub rw - ext4 d rw\n",
         {"a", "c"}},
        {"1 1 0:2 / / rw - rootfs rootfs rw\n"  // its own parent: an initramfs root
         "2 1 0:3 / /proc rw - proc proc rw\n",
         {"rootfs", "proc*"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sources(parse(c.table)), c.visible);
}

TEST(FindMountForPath, PicksTheLongestContainingMountPoint) {
    const struct {
        std::vector<std::string> points;
        const char* path;
        int found;
    } cases[] = {
        {{"/", "/home", "/home/user"}, "/home/user/docs", 2},
        {{"/", "/home", "/home/user"}, "/homework", 0},
        {{"/", "/data", "/data"}, "/data/x", 1},  // the first of equal ones wins
    };
    for (const auto& c : cases) {
        std::vector<MountEntry> mounts(c.points.size());
        for (size_t i = 0; i < mounts.size(); ++i)
            mounts[i].mountPoint = c.points[i];
        EXPECT_EQ(findMountForPath(mounts, c.path), c.found) << c.path;
    }
}

TEST(DescribeMountEntry, BuildsOneLine) {
    const struct {
        const char *mountPoint, *source, *type, *model, *line;
    } cases[] = {
        {"D:\\", "D:\\ Data", "NTFS", "Vendor Model", "D:\\  \u2190  Data \u00b7 NTFS \u00b7 Vendor Model"},
        {"", "anything", "anything", "anything", "File system unknown"},
        {"/", "/dev/sda1", "ext4", "", "/  \u2190  /dev/sda1 \u00b7 ext4"},  // a device path keeps its slash
    };
    for (const auto& c : cases)
        EXPECT_EQ(describeMountEntry({c.mountPoint, c.source, c.type, "", "", c.model}), c.line);
}

TEST(ListMounts, ReportsAMountTableThatCannotBeRead) {
    testing::TempTree dir;
    MountTableSources sources;
    for (const std::filesystem::path& path : {dir.root() / "missing", dir.write("garbage", "not a mount table\n")}) {
        sources.mountInfo = path;
        bool tableRead = true;
        EXPECT_TRUE(listMounts(sources, tableRead).empty()) << path;
        EXPECT_FALSE(tableRead) << path;
    }
    // One usable line is a table, measured.
    sources.mountInfo = dir.write("mountinfo", "1 0 8:1 / / rw - ext4 /dev/sda1 rw\nbroken line\n");
    bool tableRead = false;
    const auto mounts = listMounts(sources, tableRead);
    EXPECT_TRUE(tableRead);
    ASSERT_EQ(mounts.size(), 1u);
    EXPECT_TRUE(mounts[0].spaceKnown);
}

}  // namespace
}  // namespace fan
