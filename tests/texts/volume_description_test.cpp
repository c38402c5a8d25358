// Network kinds and one-line volume descriptions.
#include "texts/volume_description.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "texts/language_guard.h"
#include "texts/ui_texts.h"

namespace fan {
namespace {

using VolumeDescriptionTest = LanguageTest;

MountEntry entryWithSource(const std::string& source, const std::string& fsType) {
    MountEntry entry;
    entry.source = source;
    entry.fsType = fsType;
    return entry;
}

struct LabelRow {
    std::string source;
    std::string fsType;
    std::string label;
};

// Windows shares and drives as the volume table reports them.
const std::vector<LabelRow> windowsLabelRows = {
    {R"(\\server\share)", "NTFS", "SMB server"},
    {"//server/share", "NTFS", "SMB server"},
    {R"(\\tsclient\C)", "NTFS", "RDP tsclient"},
    {R"(\\wsl$\Ubuntu)", "NTFS", "WSL wsl$"},
    {R"(\\WSL.LOCALHOST\Ubuntu)", "NTFS", "WSL WSL.LOCALHOST"},
    // WebDAV is recognised before the RDP host name.
    {R"(\\tsclient\DavWWWRoot)", "NTFS", "WebDAV tsclient"},
    {R"(\\dav.example.org@SSL\DavWWWRoot\files)", "NTFS", "WebDAV dav.example.org@SSL"},
    {"server:/export", "nfs4", "NFS server"},
    {"server:/export", "fuse.sshfs", "SSHFS server"},
    {"server:/export", "ext4", "network server"},
    {"files://store:81/x", "ext4", "network store"},
    {R"(C:\)", "NTFS", ""},
    {R"(C:\ Data)", "NTFS", ""},
    {"/dev/sda1", "ext4", ""},
    {":/x", "nfs", ""},
    {"", "nfs", ""},
};

// Linux mount sources of network and local file systems from the mount table.
const std::vector<LabelRow> linuxLabelRows = {
    {"nas.local:/srv/media", "nfs", "NFS nas.local"},
    {"NAS:/srv", "NFS4", "NFS NAS"},
    {"//nas/backup", "cifs", "SMB nas"},
    {"//nas/backup", "smb3", "SMB nas"},
    {"user@host:/home/user", "fuse.sshfs", "SSHFS user@host"},
    {"https://cloud.example.org/remote.php/dav", "davfs", "WebDAV cloud.example.org"},
    {"http://dav.example.org:8080/", "fuse", "network dav.example.org"},
    {"//сервер/общая", "cifs", "SMB сервер"},
    {"/dev/mapper/vg-root", "ext4", ""},
    {"/dev/disk/by-id/usb-X:0-part1", "vfat", ""},
    {"tmpfs", "tmpfs", ""},
    {"proc", "proc", ""},
    {"systemd-1", "autofs", ""},
    // Share syntax without a host names nothing.
    {"//", "cifs", ""},
    {R"(\\)", "NTFS", ""},
    {"///share", "cifs", ""},
    {"https:///path", "davfs", ""},
};

TEST_F(VolumeDescriptionTest, NetworkSourceLabelNamesKindAndHost) {
    uiLanguage = 1;
    for (const auto* rows : {&windowsLabelRows, &linuxLabelRows}) {
        for (const LabelRow& row : *rows) {
            EXPECT_EQ(networkSourceLabel(entryWithSource(row.source, row.fsType)), row.label)
                << row.source << " (" << row.fsType << ")";
        }
    }
}

TEST_F(VolumeDescriptionTest, NetworkSourceLabelSaysNetworkInTheInterfaceLanguage) {
    const MountEntry entry = entryWithSource("server:/export", "ext4");
    uiLanguage = 0;
    EXPECT_EQ(networkSourceLabel(entry), "сеть server");
    uiLanguage = 1;
    EXPECT_EQ(networkSourceLabel(entry), "network server");
    // The named kinds are the same in both languages.
    uiLanguage = 0;
    EXPECT_EQ(networkSourceLabel(entryWithSource("//Server/share", "cifs")), "SMB Server");
}

constexpr uint64_t GiB = uint64_t{1} << 30;
const char* const separator = "   \xC2\xB7   ";

MountEntry localDrive() {
    MountEntry entry;
    entry.mountPoint = R"(C:\)";
    entry.source = R"(C:\ System)";
    entry.fsType = "NTFS";
    entry.device = "PhysicalDrive0";
    entry.model = "Samsung SSD 970";
    entry.spaceKnown = true;
    entry.totalBytes = 500 * GiB;
    entry.freeBytes = 100 * GiB;
    entry.availableBytes = 100 * GiB;
    return entry;
}

struct DescriptionRow {
    const char* name;
    MountEntry entry;
    int language;
    std::string expected;
};

std::vector<DescriptionRow> descriptionRows() {
    std::vector<DescriptionRow> rows;
    const std::string sep = separator;

    rows.push_back({"local drive, available equals free", localDrive(), 1,
                    "NTFS" + sep + "Samsung SSD 970" + sep + "free: 100.0 GiB / 500.0 GiB"});
    rows.push_back({"same in Russian", localDrive(), 0,
                    "NTFS" + sep + "Samsung SSD 970" + sep + "свободно: 100.0 ГиБ / 500.0 ГиБ"});

    MountEntry noAvailable = localDrive();
    noAvailable.availableBytes = 0;
    rows.push_back({"available 0 shows free and no tail", noAvailable, 1,
                    "NTFS" + sep + "Samsung SSD 970" + sep + "free: 100.0 GiB / 500.0 GiB"});

    MountEntry quota = localDrive();
    quota.availableBytes = 40 * GiB;
    rows.push_back({"available below free adds the total", quota, 1,
                    "NTFS" + sep + "Samsung SSD 970" + sep +
                        "free: 40.0 GiB / 500.0 GiB (total free 100.0 GiB)"});
    rows.push_back({"same in Russian", quota, 0,
                    "NTFS" + sep + "Samsung SSD 970" + sep +
                        "свободно: 40.0 ГиБ / 500.0 ГиБ (всего свободно 100.0 ГиБ)"});

    MountEntry bare;
    bare.mountPoint = "/mnt/x";
    bare.source = "/mnt/x";
    bare.spaceKnown = true;
    bare.totalBytes = 1024;
    bare.freeBytes = 512;
    bare.availableBytes = 512;
    rows.push_back({"space only, no leading separator", bare, 1, "free: 512 B / 1.00 KiB"});

    MountEntry unknown = bare;
    unknown.spaceKnown = false;
    rows.push_back({"unknown space", unknown, 1, "Free space unavailable"});
    rows.push_back({"unknown space in Russian", unknown, 0, "Свободное место неизвестно"});
    MountEntry unknownNtfs = localDrive();
    unknownNtfs.spaceKnown = false;
    rows.push_back({"unknown space ends the line", unknownNtfs, 1,
                    "NTFS" + sep + "Samsung SSD 970" + sep + "Free space unavailable"});

    MountEntry linuxDisk;
    linuxDisk.mountPoint = "/home";
    linuxDisk.source = "/dev/sda3";
    linuxDisk.fsType = "ext4";
    linuxDisk.device = "8:3";
    rows.push_back({"device wins over the source", linuxDisk, 1,
                    "ext4" + sep + "disk: 8:3" + sep + "Free space unavailable"});
    rows.push_back({"device in Russian", linuxDisk, 0,
                    "ext4" + sep + "диск: 8:3" + sep + "Свободное место неизвестно"});

    MountEntry sourceOnly = linuxDisk;
    sourceOnly.device.clear();
    rows.push_back({"source when there is no device", sourceOnly, 1,
                    "ext4" + sep + "source: /dev/sda3" + sep + "Free space unavailable"});
    rows.push_back({"source in Russian", sourceOnly, 0,
                    "ext4" + sep + "источник: /dev/sda3" + sep + "Свободное место неизвестно"});

    MountEntry nfs;
    nfs.mountPoint = "/mnt/media";
    nfs.source = "nas:/export/media";
    nfs.fsType = "nfs4";
    nfs.device = "0:53";
    nfs.model = "should not show";
    nfs.spaceKnown = true;
    nfs.totalBytes = uint64_t{4} << 40;
    nfs.freeBytes = uint64_t{3} << 40;
    nfs.availableBytes = uint64_t{3} << 40;
    rows.push_back({"network label wins over model and device", nfs, 1,
                    "nfs4" + sep + "NFS nas" + sep + "free: 3.00 TiB / 4.00 TiB"});

    MountEntry noType = nfs;
    noType.fsType.clear();
    noType.source = "//nas/share";
    rows.push_back({"no file system starts with the origin", noType, 0,
                    "SMB nas" + sep + "свободно: 3.00 ТиБ / 4.00 ТиБ"});
    return rows;
}

TEST_F(VolumeDescriptionTest, DescribeVolumeJoinsTheKnownParts) {
    for (const DescriptionRow& row : descriptionRows()) {
        uiLanguage = row.language;
        EXPECT_EQ(describeVolume(row.entry), row.expected) << row.name;
    }
}

TEST_F(VolumeDescriptionTest, DescribeVolumeIsNeverEmpty) {
    uiLanguage = 1;
    EXPECT_EQ(describeVolume(MountEntry{}), "Free space unavailable");
    MountEntry zero;
    zero.spaceKnown = true;
    EXPECT_EQ(describeVolume(zero), "free: 0 B / 0 B");
}

}  // namespace
}  // namespace fan
