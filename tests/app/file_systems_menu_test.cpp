#include "app/file_systems_menu.h"

#include <gtest/gtest.h>

#include "../texts/language_guard.h"

namespace fan {
namespace {

using FileSystemsMenuTest = LanguageTest;

MountEntry entry(std::string mountPoint, std::string fsType, std::string source, std::string device = "",
                 std::string model = "") {
    MountEntry e;
    e.mountPoint = std::move(mountPoint);
    e.fsType = std::move(fsType);
    e.source = std::move(source);
    e.device = std::move(device);
    e.model = std::move(model);
    return e;
}

TEST_F(FileSystemsMenuTest, LabelTakesTheFirstOriginThatIsThere) {
    uiLanguage = 1;
    struct Case {
        MountEntry entry;
        const char* label;
    } cases[] = {
        {entry("/", "ext4", "/dev/sda1", "8:1", "ACME Disk"), "/ · ext4 · ACME Disk"},
        {entry("/home", "ext4", "/dev/sda2", "8:2"), "/home · ext4 · 8:2"},
        {entry("/mnt/nas", "nfs4", "nas:/export", "0:52", "ACME Disk"), "/mnt/nas · nfs4 · NFS nas"},
        {entry("/mnt/s", "fuse.sshfs", "me@box:/srv"), "/mnt/s · fuse.sshfs · SSHFS me@box"},
        {entry("/run", "tmpfs", "tmpfs"), "/run · tmpfs · tmpfs"},
        {entry("/same", "", "/same"), "/same"},
        {entry("", "", "only-source"), "only-source"},
        {entry("", "", ""), ""},
    };
    for (const Case& c : cases) EXPECT_EQ(fileSystemLabel(c.entry), c.label) << c.label;
    uiLanguage = 0;
    EXPECT_EQ(fileSystemLabel(entry("/m", "ext4", "host:/x")), "/m · ext4 · сеть host");
}

TEST(CutToCharactersTest, CountsCharactersByLeadByte) {
    const std::string a52(52, 'a');
    const std::string cyr26 = "жжжжжжжжжжжжжжжжжжжжжжжжжж";  // 26 two-byte characters
    struct Case {
        std::string text;
        std::string cut;
    } cases[] = {
        {a52, a52},
        {a52 + "b", a52 + "…"},
        {cyr26 + cyr26, cyr26 + cyr26},
        {cyr26 + cyr26 + "x", cyr26 + cyr26 + "…"},
        {std::string(51, 'a') + "€z", std::string(51, 'a') + "€…"},
        {std::string(51, 'a') + "😀", std::string(51, 'a') + "😀"},
        // Bytes that are not UTF-8: a stray continuation byte counts as one,
        // a lead byte takes its sequence's length even when what follows is not.
        {std::string(52, '\x80') + "y", std::string(52, '\x80') + "…"},
        {std::string(51, 'a') + "\xE2" + "bcd", std::string(51, 'a') + "\xE2" + "bc…"},
        {std::string(51, 'a') + "\xF0", std::string(51, 'a') + "\xF0"},
    };
    for (const Case& c : cases) EXPECT_EQ(cutToCharacters(c.text, 52), c.cut) << c.text;
}

TEST_F(FileSystemsMenuTest, ItemsSkipPseudoFileSystemsAndKeepOrder) {
    uiLanguage = 1;
    MountEntry proc = entry("/proc", "proc", "proc");
    proc.pseudo = true;
    std::string longPoint = "/media/" + std::string(60, 'x');
    std::vector<FileSystemItem> items =
        fileSystemItems({entry("/", "ext4", "/dev/sda1", "8:1"), proc, entry(longPoint, "vfat", "/dev/sdb1")});
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].mountPoint, "/");
    EXPECT_EQ(items[1].mountPoint, longPoint);
    EXPECT_EQ(items[1].label, longPoint.substr(0, 52) + "…");
}

TEST(MenuLiteralTest, DoublesTheMarksAMenuWouldInterpret) {
    EXPECT_EQ(menuLiteral("/a & b\\c_d\t@e"), "/a && b\\c_d\t@@e");
}

}  // namespace
}  // namespace fan
