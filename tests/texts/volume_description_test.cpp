// Network kinds and one-line volume descriptions.
#include "texts/volume_description.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "texts/language_guard.h"

namespace fan {
namespace {

using VolumeDescriptionTest = LanguageTest;

TEST_F(VolumeDescriptionTest, NetworkSourceLabelNamesKindAndHost) {
    const std::tuple<const char*, const char*, const char*> rows[] = {
        // source, file system, label
        {R"(\\server\share)", "NTFS", "SMB server"},
        {R"(\\tsclient\C)", "NTFS", "RDP tsclient"},
        {R"(\\tsclient\DavWWWRoot)", "NTFS", "WebDAV tsclient"},  // before the RDP host
        {R"(\\dav.example.org@SSL\files)", "NTFS", "WebDAV dav.example.org@SSL"},
        {"nas.local:/srv/media", "nfs", "NFS nas.local"},
        {"https://cloud.example.org/remote.php/dav", "davfs", "WebDAV cloud.example.org"},
        {"/dev/disk/by-id/usb-X:0-part1", "vfat", ""},  // a colon in a device name
        {"server:/x", "ext4", "network server"},        // last: read again in Russian
    };
    uiLanguage = 1;
    MountEntry entry;
    for (const auto& [source, fsType, label] : rows) {
        entry.source = source;
        entry.fsType = fsType;
        EXPECT_EQ(networkSourceLabel(entry), label) << source << " (" << fsType << ")";
    }
    uiLanguage = 0;
    EXPECT_EQ(networkSourceLabel(entry), "сеть server");
}

MountEntry volume(const char* device, const char* model, uint64_t total = 0, uint64_t free = 0, uint64_t available = 0,
                  const char* fsType = "ext4", const char* source = "/dev/sda2") {
    return {"/mnt/x", source, fsType, device, "", model, 0, 0, total, free, available, total != 0, false};
}

TEST_F(VolumeDescriptionTest, DescribeVolumeJoinsTheKnownParts) {
    constexpr uint64_t G = uint64_t{1} << 30;
    const std::string sep = "   \u00b7   ";
    const std::string ext4 = "ext4" + sep;
    const std::string ssd = ext4 + "SSD 970" + sep;
    const std::string unknown = sep + "Free space unavailable";
    const std::tuple<MountEntry, int, std::string> rows[] = {
        // the volume, the language, its description
        {volume("sda", "SSD 970", 500 * G, 100 * G, 0), 1, ssd + "free: 100.0 GiB / 500.0 GiB"},
        {volume("sda", "SSD 970", 500 * G, 100 * G, 40 * G), 0,
         ssd + "свободно: 40.0 ГиБ / 500.0 ГиБ (всего свободно 100.0 ГиБ)"},
        {volume("sda", ""), 1, ext4 + "disk: sda" + unknown},
        {volume("", ""), 1, ext4 + "source: /dev/sda2" + unknown},
        {volume("", "", 2048, 512, 512, "", "/mnt/x"), 0,
         "свободно: 512 Б / 2.00 КиБ"},  // the source is the mount point
        {volume("0:53", "SSD", 2048, 512, 512, "", "nas:/export"), 1, "network nas" + sep + "free: 512 B / 2.00 KiB"},
    };
    for (const auto& [entry, language, description] : rows) {
        SCOPED_TRACE(&entry - &std::get<0>(rows[0]));
        uiLanguage = language;
        EXPECT_EQ(describeVolume(entry), description);
    }
}

}  // namespace
}  // namespace fan
