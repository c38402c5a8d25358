// One mounted file system and the operations of the volume table.
//
// Callers: listMounts on the GUI thread (start-up, after each scan) and on the
// scan worker when it is given no list; the others on the scan worker.
// No operation reports an error: what cannot be read stays empty or false.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace fan {

struct MountEntry {
    std::string mountPoint;  // '/'-separated on Linux, a drive root on Windows
    std::string source;      // what is mounted there
    std::string fsType;      // file-system name; empty when unknown
    std::string device;      // Linux: major:minor
    std::string fsRoot;      // Linux: root of the mount inside its file system
    std::string model;       // physical drive model; empty when none
    int32_t mountId = 0;
    int32_t parentId = 0;
    uint64_t totalBytes = 0;
    uint64_t freeBytes = 0;       // never above totalBytes
    uint64_t availableBytes = 0;  // never above freeBytes
    bool spaceKnown = false;      // last space query succeeded with a non-zero capacity
    bool pseudo = false;          // proc, sysfs and the like
};

// Every mounted file system, with space and drive model filled in. Space
// queries that may hang (network file systems) give up after about half a
// second and leave spaceKnown false.
std::vector<MountEntry> listMounts();

// The same; tableRead is false when the system's mount table could not be
// read (Linux: /proc/self/mountinfo), in which case the list is empty and
// file-system boundaries are unknown.
std::vector<MountEntry> listMounts(bool& tableRead);

// The entry of the file system that holds `path`; descriptions are reused
// from `known` when it lists that file system. Space is measured at `path`.
MountEntry mountEntryForPath(const std::filesystem::path& path, const std::vector<MountEntry>& known);

// Re-measures the space of `entry` at `path`; on failure the figures stay
// and spaceKnown is false.
void refreshMountSpace(MountEntry& entry, const std::filesystem::path& path);

// Whether the '/'-separated `path` lies at or below `mountPoint`: a textual
// test, no normalisation.
bool isPathWithinMount(const std::string& path, const std::string& mountPoint);

}  // namespace fan
