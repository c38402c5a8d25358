// The physical disk under a Windows volume and the share behind a mapped
// network drive, for the volume table.
//
// Both queries are best effort: every failure gives an empty text and
// nothing else. They block for as long as the device or the network takes.
// Any thread; no shared state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fan {

// The model text of the disk that holds the volume `root` (a drive root or
// a volume path; a missing trailing backslash is added). `device` becomes
// "PhysicalDrive" and the disk number once that number is read, and is left
// alone otherwise.
std::string queryPhysicalDriveModel(const std::wstring& root, std::string& device);

// The UNC name of the share mapped to the drive letter that begins
// `mountPoint` ("X:..."); empty for anything else or on failure.
std::string queryNetworkRemoteName(const std::string& mountPoint);

// The system's answers, read only inside the `returned` bytes the call
// reported (and the buffer that held them): an offset or field that lies
// beyond them counts as absent rather than being read.

// The disk number of the first extent of a VOLUME_DISK_EXTENTS answer;
// false when there is no extent or the answer is too short to hold one.
bool diskNumberFromExtents(const unsigned char* bytes, size_t returned, uint32_t& disk);

// Vendor, product and revision of a STORAGE_DEVICE_DESCRIPTOR answer,
// trimmed and composed into one model line.
std::string modelFromDeviceDescriptor(const unsigned char* bytes, size_t returned);

}  // namespace fan
