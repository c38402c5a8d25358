// Network kinds and one-line volume descriptions.
#include "texts/volume_description.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "texts/language_guard.h"
#include "texts/ui_texts.h"

namespace fan {
namespace {

using VolumeDescriptionTest = LanguageTest;

TEST_F(VolumeDescriptionTest, NetworkSourceLabelNamesKindAndHost) {
    const struct {
        const char *source, *fsType, *label;
    } rows[] = {
        // Windows shares and drives as the volume table reports them.
        {R"(\\server\share)", "NTFS", "SMB server"}, {R"(\\tsclient\C)", "NTFS", "RDP tsclient"},
        {R"(\\wsl$\Ubuntu)", "NTFS", "WSL wsl$"},
        {R"(\\WSL.LOCALHOST\Ubuntu)", "NTFS", "WSL WSL.LOCALHOST"},
        {R"(\\tsclient\DavWWWRoot)", "NTFS", "WebDAV tsclient"},  // before the RDP host
        {R"(\\dav.example.org@SSL\files)", "NTFS", "WebDAV dav.example.org@SSL"},
        {R"(C:\ Data)", "NTFS", ""},
        // Linux mount sources.
        {"nas.local:/srv/media", "nfs", "NFS nas.local"}, {"NAS:/srv", "NFS4", "NFS NAS"},
        {"//nas/backup", "smb3", "SMB nas"}, {"//сервер/общая", "ext4", "SMB сервер"},
        {"user@host:/home/user", "fuse.sshfs", "SSHFS user@host"},
        {"https://cloud.example.org/remote.php/dav", "davfs", "WebDAV cloud.example.org"},
        {"files://store:81/x", "ext4", "network store"},
        {"/dev/disk/by-id/usb-X:0-part1", "vfat", ""}, {"tmpfs", "tmpfs", ""},
        // Share syntax without a host names nothing.
        {":/x", "nfs", ""}, {"", "nfs", ""}, {"//", "cifs", ""}, {"///share", "cifs", ""},
        {R"(\\)", "NTFS", ""}, {"https:///path", "davfs", ""},
        {"server:/x", "ext4", "network server"},  // last: read again in Russian
    };
    uiLanguage = 1;
    MountEntry entry;
    for (const auto& row : rows) {
        entry.source = row.source;
        entry.fsType = row.fsType;
        EXPECT_EQ(networkSourceLabel(entry), row.label) << row.source << " (" << row.fsType << ")";
    }
    uiLanguage = 0;
    EXPECT_EQ(networkSourceLabel(entry), "сеть server");
}

MountEntry volume(const char* fsType, const char* source, const char* device, const char* model,
                  uint64_t total, uint64_t free, uint64_t available) {
    MountEntry entry;
    entry.mountPoint = "/mnt/x";
    entry.fsType = fsType;
    entry.source = source;
    entry.device = device;
    entry.model = model;
    entry.spaceKnown = total != 0;
    entry.totalBytes = total;
    entry.freeBytes = free;
    entry.availableBytes = available;
    return entry;
}

TEST_F(VolumeDescriptionTest, DescribeVolumeJoinsTheKnownParts) {
    constexpr uint64_t G = uint64_t{1} << 30;
    const std::string sep = "   \u00b7   ", ext4 = "ext4" + sep, ssd = "SSD 970" + sep;
    const std::string unknown = sep + "Free space unavailable";
    const std::string unknownRu = sep + "Свободное место неизвестно";
    const struct {
        MountEntry entry;
        int language;
        std::string expected;
    } rows[] = {
        {volume("ext4", "/dev/sda2", "sda", "SSD 970", 500 * G, 100 * G, 100 * G), 1,
         ext4 + ssd + "free: 100.0 GiB / 500.0 GiB"},
        {volume("ext4", "/dev/sda2", "sda", "SSD 970", 500 * G, 100 * G, 0), 1,
         ext4 + ssd + "free: 100.0 GiB / 500.0 GiB"},
        {volume("ext4", "/dev/sda2", "sda", "SSD 970", 500 * G, 100 * G, 40 * G), 1,
         ext4 + ssd + "free: 40.0 GiB / 500.0 GiB (total free 100.0 GiB)"},
        {volume("ext4", "/dev/sda2", "sda", "SSD 970", 500 * G, 100 * G, 40 * G), 0,
         ext4 + ssd + "свободно: 40.0 ГиБ / 500.0 ГиБ (всего свободно 100.0 ГиБ)"},
        {volume("ext4", "/dev/sda2", "sda", "SSD 970", 0, 0, 0), 0, ext4 + "SSD 970" + unknownRu},
        {volume("ext4", "/dev/sda2", "sda", "", 0, 0, 0), 1, ext4 + "disk: sda" + unknown},
        {volume("ext4", "/dev/sda2", "sda", "", 0, 0, 0), 0, ext4 + "диск: sda" + unknownRu},
        {volume("ext4", "/dev/sda2", "", "", 0, 0, 0), 1, ext4 + "source: /dev/sda2" + unknown},
        {volume("ext4", "/dev/sda2", "", "", 0, 0, 0), 0, ext4 + "источник: /dev/sda2" + unknownRu},
        {volume("", "nas:/export", "0:53", "SSD 970", 2048, 512, 512), 1,
         "network nas" + sep + "free: 512 B / 2.00 KiB"},
        {volume("", "/mnt/x", "", "", 2048, 512, 512), 0, "свободно: 512 Б / 2.00 КиБ"},
    };
    for (const auto& row : rows) {
        uiLanguage = row.language;
        EXPECT_EQ(describeVolume(row.entry), row.expected);
    }
}

}  // namespace
}  // namespace fan
