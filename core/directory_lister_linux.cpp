// Directory listing over openat(O_DIRECTORY), getdents64 and fstatat.
//
// Each folder is opened once, relative to its parent's anchor; entries are
// examined relative to its descriptor, and only files are stat'ed: a folder's size is 0 and its kind
// comes from the listing's d_type, so folders cost no extra call. Entries of
// a file system that reports no types (DT_UNKNOWN) are stat'ed to tell.
// The lister the walk opens its folders with keeps the folder it last
// opened one from pinned: its place, from which a parent closed for the
// bound is reached again in as many calls as the walk moved levels.
#include "core/directory_lister_linux.h"

#include "core/folder_anchor_linux.h"
#include "core/long_path_posix.h"

#include <cerrno>
#include <climits>
#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fan {
namespace {

constexpr int kDirFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK;

class LinuxDirectoryLister final : public DirectoryLister {
public:
    LinuxDirectoryLister(StatAtFunction statAt, ReadEntriesFunction readEntries, size_t anchorLimit,
                         OpenAtFunction openAt)
        : statAt_(statAt), readEntries_(readEntries), openAt_(openAt), anchorLimit_(anchorLimit) {}
    ~LinuxDirectoryLister() override {
        close();
        if (place_) unpin(*place_);
    }

    bool isFolder(const std::filesystem::path& path) override {
        struct stat st;
        if (path.native().size() < PATH_MAX) return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        const int fd = openPathOfAnyLength(path.native(), kDirFlags);
        if (fd < 0) return false;
        ::close(fd);
        return true;
    }

    ListOpen openRoot(const std::filesystem::path& root) override {
        close();
        const std::string& native = root.native();
        fd_ = openPathOfAnyLength(native, kDirFlags);
        if (fd_ < 0) {
            fd_ = -1;
            return errno == ENOENT || errno == ENOTDIR ? ListOpen::NotFound : ListOpen::Failed;
        }
        rootPath_ = native;
        return started();
    }

    ListOpen open(const AnchorRef& parent, std::string_view name) override {
        close();
        parent_ = std::static_pointer_cast<LinuxAnchor>(parent);
        // The folder that holds it cannot be reached now (moved away while
        // closed): what lies below is lost, and counted so.
        const int dirfd = pinDescriptor(*parent_, place_.get());
        if (dirfd < 0) return ListOpen::Failed;
        // The parent stays pinned as the new place.
        if (place_) unpin(*place_);
        place_ = parent_;
        const ListOpen opened = openIn(dirfd, name);
        return opened == ListOpen::Later ? ListOpen::Failed : opened;
    }

    ListOpen openAhead(const AnchorRef& parent, std::string_view name) override {
        close();
        parent_ = std::static_pointer_cast<LinuxAnchor>(parent);
        const int dirfd = pinIfOpen(*parent_);
        if (dirfd < 0) return ListOpen::Later;
        const ListOpen opened = openIn(dirfd, name);
        unpin(*parent_);
        return opened;
    }

    void enter(const AnchorRef& parent) override {
        close();
        auto folder = std::static_pointer_cast<LinuxAnchor>(parent);
        if (folder == place_) return;
        // Reached as open() reaches it: up through ".." from the place, or
        // by its name from there when the walk has just read its listing, at
        // the moment the walk on one thread would open it by that name. A folder
        // that cannot be reached now leaves the place where it is.
        if (pinDescriptor(*folder, place_.get()) < 0) return;
        if (place_) unpin(*place_);
        place_ = std::move(folder);
    }

    AnchorRef anchor() override {
        if (!anchor_ && fd_ >= 0)
            anchor_ =
                parent_ ? makeChildAnchor(parent_, name_, fd_) : makeRootAnchor(fd_, rootPath_, anchorLimit_, openAt_);
        return anchor_;
    }

    bool next(ListedEntry& entry) override {
        while (true) {
            if (pos_ >= used_) {
                if (ended_ || !refill()) return false;
                continue;
            }
            const auto* d = reinterpret_cast<const struct dirent64*>(buffer_ + pos_);
            pos_ += d->d_reclen;
            if (examine(d, entry)) return true;
        }
    }

    bool failed() const override { return failed_; }

    void close() override {
        if (anchor_) {
            unpin(*anchor_);  // the descriptor is the anchor's now
            anchor_.reset();
        } else if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = -1;
        parent_.reset();
        // Nothing the walk will open lies below its place any more (at the
        // latest when the walk is over): let go of it, which takes its
        // parent back through ".." as any anchor's end does.
        if (place_ && place_.use_count() == 1) {
            unpin(*place_);
            place_.reset();
        }
    }

private:
    // Opens `name` inside the folder open as `dirfd`; ListOpen::Later when no
    // descriptor is to be had.
    ListOpen openIn(int dirfd, std::string_view name) {
        name_.assign(name.data(), name.size());
        fd_ = openAt_(dirfd, name_.c_str(), kDirFlags | O_NOFOLLOW);
        if (fd_ >= 0) return started();
        const int error = errno;
        fd_ = -1;
        if (error == EMFILE || error == ENFILE) return ListOpen::Later;
        // Vanished from its folder, or replaced by something that is not a
        // folder (ELOOP: now a symbolic link, which is never followed).
        return error == ENOENT || error == ENOTDIR || error == ELOOP ? ListOpen::NotFound : ListOpen::Failed;
    }

    ListOpen started() {
        used_ = pos_ = 0;
        failed_ = ended_ = false;
        return ListOpen::Opened;
    }

    bool refill() {
        const ssize_t n = readEntries_(fd_, buffer_, sizeof buffer_);
        if (n <= 0) {
            ended_ = true;
            if (n < 0) failed_ = true;
            return false;
        }
        used_ = static_cast<size_t>(n);
        pos_ = 0;
        return true;
    }

    bool examine(const struct dirent64* d, ListedEntry& entry) {
        entry.name = std::string_view(d->d_name);
        entry.size = 0;
        switch (d->d_type) {
            case DT_DIR:
                entry.kind = EntryKind::Folder;
                return true;
            case DT_REG:
            case DT_UNKNOWN:
                break;
            default:  // links, devices, FIFOs, sockets
                entry.kind = EntryKind::Other;
                return true;
        }
        struct stat st;
        if (statAt_(fd_, d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            // Gone between listing and stat: not an entry any more. Any other
            // failure (a folder readable but not searchable) leaves the size
            // unknown, so the listing counts as failed rather than lie.
            if (errno != ENOENT && errno != ENOTDIR) failed_ = true;
            return false;
        }
        if (S_ISDIR(st.st_mode)) {
            entry.kind = EntryKind::Folder;
        } else if (S_ISREG(st.st_mode)) {
            entry.kind = EntryKind::File;
            entry.size = static_cast<uint64_t>(st.st_size);
        } else {
            entry.kind = EntryKind::Other;
        }
        return true;
    }

    StatAtFunction statAt_;
    ReadEntriesFunction readEntries_;
    OpenAtFunction openAt_;
    const size_t anchorLimit_;
    std::shared_ptr<LinuxAnchor> place_;  // pinned: the folder the last open() opened one from
    int fd_ = -1;
    std::shared_ptr<LinuxAnchor> parent_;  // of the folder open now; null for the root
    std::shared_ptr<LinuxAnchor> anchor_;  // of the folder open now, once asked for
    std::string name_;
    std::string rootPath_;
    size_t used_ = 0;
    size_t pos_ = 0;
    bool failed_ = false;
    bool ended_ = false;
    alignas(8) char buffer_[32768];
};

}  // namespace

size_t defaultAnchorDescriptors() {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 256;
    return std::clamp<size_t>(limit.rlim_cur / 4, 4, 256);
}

// Pinned at once, besides two per thread: the root, the walk's place and the
// parent it is reopening. Beyond the pool, each thread holds at most its
// listing before that joins the pool and one descriptor being closed, and
// the walk two more while reopening a folder: with the pool a quarter of the
// limit, all of it stays within the limit.
int listingThreadsWithin(size_t anchorDescriptors) {
    constexpr size_t kPinnedBesideThreads = 3;
    const size_t pinnable = anchorDescriptors / 2;
    return pinnable <= kPinnedBesideThreads + 2 ? 1 : static_cast<int>((pinnable - kPinnedBesideThreads) / 2);
}

int affordableListingThreads() {
    return listingThreadsWithin(defaultAnchorDescriptors());
}

std::unique_ptr<DirectoryLister> makeLinuxDirectoryLister(StatAtFunction statAt, ReadEntriesFunction readEntries,
                                                          size_t anchorDescriptors, OpenAtFunction openAt) {
    return std::make_unique<LinuxDirectoryLister>(statAt, readEntries, anchorDescriptors, openAt);
}

std::unique_ptr<DirectoryLister> makeDirectoryLister() {
    return makeLinuxDirectoryLister(&::fstatat, &::getdents64);
}

}  // namespace fan
