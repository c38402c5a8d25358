// The Windows volume table: one entry per drive letter, and the entry of
// the volume that holds a path.
#include <windows.h>

#include <vector>

#include "core/drive_model_win32.h"
#include "core/mount_entry.h"
#include "core/path_text.h"
#include "core/volume_space.h"
#include "core/wtf8.h"

namespace fan {
namespace {

constexpr DWORD kVolumeTextChars = 256;
constexpr DWORD kVolumePathChars = 32768;

std::string toUtf8(const wchar_t* text) {
    return wtf8FromUtf16(reinterpret_cast<const char16_t*>(text));
}

void applySpaceAt(MountEntry& entry, const std::filesystem::path& path) {
    applySpaceRule(entry, systemSpaceQuery()->measure(path));
}

// The label and file-system name of a volume root; false when the volume
// does not answer (a drive without media, for one).
bool readVolumeInformation(const std::wstring& root, std::string& label, std::string& fsType) {
    wchar_t labelBuffer[kVolumeTextChars] = {};
    wchar_t fsBuffer[kVolumeTextChars] = {};
    if (!GetVolumeInformationW(root.c_str(), labelBuffer, kVolumeTextChars, nullptr, nullptr, nullptr, fsBuffer,
                               kVolumeTextChars))
        return false;
    label = toUtf8(labelBuffer);
    fsType = toUtf8(fsBuffer);
    return true;
}

void addModel(MountEntry& entry, const std::wstring& root) {
    std::string device;
    entry.model = queryPhysicalDriveModel(root, device);
    if (!device.empty()) entry.device = device;
}

}  // namespace

std::vector<MountEntry> listMounts() {
    std::vector<MountEntry> mounts;
    const DWORD drives = GetLogicalDrives();
    for (int bit = 0; bit < 26; ++bit) {
        if (!(drives & (DWORD{1} << bit))) continue;
        MountEntry entry;
        entry.mountPoint = std::string(1, static_cast<char>('A' + bit)) + ":\\";
        entry.source = entry.mountPoint;
        const std::wstring root = nativeText(entry.mountPoint);
        const UINT type = GetDriveTypeW(root.c_str());
        std::string label;
        if (readVolumeInformation(root, label, entry.fsType) && !label.empty() && type != DRIVE_REMOTE)
            entry.source = entry.mountPoint + " " + label;
        if (type == DRIVE_REMOTE) {
            const std::string share = queryNetworkRemoteName(entry.mountPoint);
            if (!share.empty()) entry.source = share;
        } else {
            addModel(entry, root);
        }
        applySpaceAt(entry, root);
        mounts.push_back(std::move(entry));
    }
    return mounts;
}

std::vector<MountEntry> listMounts(bool& tableRead) {
    // The drive letters are always known; there is no table that can fail.
    tableRead = true;
    return listMounts();
}

MountEntry mountEntryForPath(const std::filesystem::path& path, const std::vector<MountEntry>& known) {
    MountEntry entry;
    std::vector<wchar_t> volumePath(kVolumePathChars, L'\0');
    if (!GetVolumePathNameW(path.c_str(), volumePath.data(), kVolumePathChars)) {
        applySpaceAt(entry, path);
        return entry;
    }
    const std::string mountPoint = toUtf8(volumePath.data());
    for (const MountEntry& listed : known) {
        if (listed.mountPoint == mountPoint) {
            entry = listed;
            break;
        }
    }
    entry.mountPoint = mountPoint;
    if (entry.source.empty()) entry.source = mountPoint;

    const std::wstring root = volumePath.data();
    const UINT type = GetDriveTypeW(root.c_str());
    std::string label, fsType;
    if (readVolumeInformation(root, label, fsType)) {
        entry.fsType = fsType;
        if (!label.empty() && type != DRIVE_REMOTE && entry.source == mountPoint)
            entry.source = mountPoint + " " + label;
    }
    if (type == DRIVE_REMOTE) {
        if (entry.source == mountPoint) {
            const std::string share = queryNetworkRemoteName(mountPoint);
            if (!share.empty()) entry.source = share;
        }
    } else if (entry.model.empty()) {
        addModel(entry, root);
    }
    applySpaceAt(entry, path);
    return entry;
}

void refreshMountSpace(MountEntry& entry, const std::filesystem::path& path) {
    applySpaceAt(entry, path);
}

// GetDiskFreeSpaceExW has no time limit to offer; it is asked directly.
std::optional<SpaceFigures> measureSpaceAt(const MountEntry&, const std::filesystem::path& path) {
    return systemSpaceQuery()->measure(path);
}

}  // namespace fan
