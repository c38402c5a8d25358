#include "core/drive_model_win32.h"

#include <windows.h>
#include <winioctl.h>
#include <winnetwk.h>

#include <cstring>
#include <vector>

#include "core/drive_model_text.h"
#include "core/wtf8.h"

namespace fan {
namespace {

constexpr DWORD kDiskExtentsBytes = 224;  // the count and up to nine extents
constexpr DWORD kDescriptorBytes = 1024;
constexpr DWORD kShareNameChars = 512;

uint32_t readU32(const unsigned char* bytes, size_t at) {
    uint32_t value;
    std::memcpy(&value, bytes + at, sizeof value);
    return value;
}

// The NUL-terminated text at the offset held at `field`, never past `end`.
std::string descriptorText(const unsigned char* bytes, size_t end, size_t field) {
    if (field + 4 > end) return {};
    const uint32_t offset = readU32(bytes, field);
    if (offset == 0 || offset >= end) return {};
    const auto* first = reinterpret_cast<const char*>(bytes + offset);
    const void* nul = std::memchr(first, 0, end - offset);
    const size_t length = nul ? static_cast<const char*>(nul) - first : end - offset;
    return trimDriveText(std::string(first, length));
}

std::string toUtf8(const wchar_t* text) {
    return wtf8FromUtf16(reinterpret_cast<const char16_t*>(text));
}

// Closes a device handle on every way out.
struct Device {
    HANDLE handle;
    explicit Device(const wchar_t* path)
        : handle(CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~Device() {
        if (ok()) CloseHandle(handle);
    }
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;
    bool ok() const { return handle != INVALID_HANDLE_VALUE; }
};

}  // namespace

bool diskNumberFromExtents(const unsigned char* bytes, size_t returned, uint32_t& disk) {
    const size_t end = returned < kDiskExtentsBytes ? returned : kDiskExtentsBytes;
    if (end < 12 || readU32(bytes, 0) == 0) return false;
    disk = readU32(bytes, 8);
    return true;
}

std::string modelFromDeviceDescriptor(const unsigned char* bytes, size_t returned) {
    const size_t end = returned < kDescriptorBytes ? returned : kDescriptorBytes;
    return composeDriveModel(descriptorText(bytes, end, 12), descriptorText(bytes, end, 16),
                             descriptorText(bytes, end, 20));
}

std::string queryPhysicalDriveModel(const std::wstring& root, std::string& device) {
    std::wstring mountPoint = root;
    if (!mountPoint.empty() && mountPoint.back() != L'\\' && mountPoint.back() != L'/') mountPoint += L'\\';
    wchar_t volumeName[MAX_PATH] = {};
    if (!GetVolumeNameForVolumeMountPointW(mountPoint.c_str(), volumeName, MAX_PATH)) return {};
    std::wstring volume = volumeName;
    if (!volume.empty() && (volume.back() == L'\\' || volume.back() == L'/')) volume.pop_back();

    const Device volumeDevice(volume.c_str());
    if (!volumeDevice.ok()) return {};
    unsigned char extents[kDiskExtentsBytes] = {};
    DWORD returned = 0;
    if (!DeviceIoControl(volumeDevice.handle, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0, extents, sizeof extents,
                         &returned, nullptr))
        return {};
    uint32_t disk = 0;
    if (!diskNumberFromExtents(extents, returned, disk)) return {};
    device = "PhysicalDrive" + std::to_string(disk);

    const Device drive((L"\\\\.\\PhysicalDrive" + std::to_wstring(disk)).c_str());
    if (!drive.ok()) return {};
    unsigned char query[12] = {};  // the device descriptor, by a standard query
    unsigned char descriptor[kDescriptorBytes] = {};
    returned = 0;
    if (!DeviceIoControl(drive.handle, IOCTL_STORAGE_QUERY_PROPERTY, query, sizeof query, descriptor, sizeof descriptor,
                         &returned, nullptr))
        return {};
    return modelFromDeviceDescriptor(descriptor, returned);
}

std::string queryNetworkRemoteName(const std::string& mountPoint) {
    if (mountPoint.size() < 2 || mountPoint[1] != ':') return {};
    const std::wstring localName{static_cast<wchar_t>(static_cast<unsigned char>(mountPoint[0])), L':'};
    std::vector<wchar_t> buffer(kShareNameChars, L'\0');
    DWORD length = kShareNameChars;
    DWORD result = WNetGetConnectionW(localName.c_str(), buffer.data(), &length);
    if (result == ERROR_MORE_DATA) {
        buffer.assign(length + 1, L'\0');
        result = WNetGetConnectionW(localName.c_str(), buffer.data(), &length);
    }
    if (result != NO_ERROR || buffer[0] == L'\0') return {};
    buffer.back() = L'\0';  // the text ends inside the buffer, whatever the call wrote
    return toUtf8(buffer.data());
}

}  // namespace fan
