// The seam between the folder walk and the platform's directory listing.
//
// The scan worker owns one lister and lists one folder at a time with it:
// open, next until it returns false, close. Entries the walk must never
// record or follow (symbolic links, devices, FIFOs, sockets) come back as
// EntryKind::Other; entries that vanish before they can be examined are
// left out by the lister itself.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

namespace fan {

enum class EntryKind : uint8_t { File, Folder, Other };

struct ListedEntry {
    std::string_view name;  // valid until the next call on the lister
    EntryKind kind = EntryKind::Other;
    uint64_t size = 0;  // logical bytes of a file; 0 for anything else
};

enum class ListOpen : uint8_t {
    Opened,
    NotFound,  // the folder vanished or is no longer a folder: an empty folder
    Failed,    // it exists but cannot be listed: counted as an error
};

class DirectoryLister {
public:
    virtual ~DirectoryLister() = default;

    // Whether `path` names an existing folder; a symbolic link to a folder
    // counts, since the user may name one as the root.
    virtual bool isFolder(const std::filesystem::path& path) = 0;

    // Opens `folder` for listing. The root may be reached through a symbolic
    // link; any other folder is never opened through one.
    virtual ListOpen open(const std::filesystem::path& folder, bool isRoot) = 0;

    // The next entry of the open listing, or false at its end.
    virtual bool next(ListedEntry& entry) = 0;

    // After next() returned false: whether the listing ended with an error
    // instead of its normal end (also when an entry could not be examined).
    virtual bool failed() const = 0;

    virtual void close() = 0;
};

// The platform's own lister.
std::unique_ptr<DirectoryLister> makeDirectoryLister();

}  // namespace fan
