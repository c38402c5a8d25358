// The seam between the folder walk and the platform's directory listing.
//
// A lister lists one folder at a time: open, next until it returns false,
// close. The root is opened by its path; every other folder by its name
// inside a folder opened before, through that folder's anchor, so the walk
// never spells out long paths and a folder moved while the walk is inside it
// is still listed where it now lies. Entries the walk must never record or
// follow (symbolic links, devices, FIFOs, sockets) come back as
// EntryKind::Other; entries that vanish before they can be examined are
// left out by the lister itself.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
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
    Failed,    // it exists but cannot be listed, or cannot be reached: counted as an error
    Later,     // from openAhead() only: not opened, left to open()
};

// A folder that was opened, kept for opening its sub-folders later. What it
// holds (an open descriptor, a path) is the platform lister's own; anchors
// are shared between the listers of one scan and may be used from several
// threads at once.
struct FolderAnchor {
    virtual ~FolderAnchor() = default;
    // The folder's key in the mount map while it lies on the way to a mount
    // point, else empty; set by the walk before sub-folders are opened.
    std::string mountRoute;
};
using AnchorRef = std::shared_ptr<FolderAnchor>;

class DirectoryLister {
public:
    virtual ~DirectoryLister() = default;

    // Whether `path` names an existing folder; a symbolic link to a folder
    // counts, since the user may name one as the root.
    virtual bool isFolder(const std::filesystem::path& path) = 0;

    // Opens the root for listing; it may be reached through a symbolic link.
    virtual ListOpen openRoot(const std::filesystem::path& root) = 0;

    // Opens the sub-folder `name` of the folder `parent` anchors, never
    // through a symbolic link.
    virtual ListOpen open(const AnchorRef& parent, std::string_view name) = 0;

    // Opens as open() does where that takes a single call; where the folder
    // that holds it would have to be opened again first, or no descriptor is
    // to be had now, it opens nothing and answers ListOpen::Later. Listing
    // threads ahead of the walk open this way and leave such folders to the
    // walk, which reaches them from where it stands.
    virtual ListOpen openAhead(const AnchorRef& parent, std::string_view name) { return open(parent, name); }

    // The walk enters a sub-folder of `parent` that another lister listed
    // ahead. A lister that keeps the walk's place moves it there as open()
    // would, so that what is handed back to the walk later is reached from
    // where the walk stands, as on one thread; others need do nothing.
    virtual void enter(const AnchorRef& parent) { static_cast<void>(parent); }

    // The anchor of the folder open now (only between a successful open and
    // close); the same one on every call for one listing.
    virtual AnchorRef anchor() = 0;

    // The next entry of the open listing, or false at its end.
    virtual bool next(ListedEntry& entry) = 0;

    // After next() returned false: whether the listing ended with an error
    // instead of its normal end (also when an entry could not be examined).
    virtual bool failed() const = 0;

    // Ends the listing; called after the walk's last folder too, when the
    // lister lets go of what it kept for the walk's way.
    virtual void close() = 0;
};

// The platform's own lister.
std::unique_ptr<DirectoryLister> makeDirectoryLister();

// How many of the platform's listers may list at once in one scan (the
// walk's and spare ones among them) with every descriptor they hold within
// the process's share for the scan; at least 1.
int affordableListingThreads();

}  // namespace fan
