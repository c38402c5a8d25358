#include "core/folder_anchor_linux.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fan {

struct AnchorPool {
    explicit AnchorPool(size_t max) : limit(max) {}
    std::mutex mutex;
    std::list<LinuxAnchor*> open;  // least recently used first
    const size_t limit;
};

namespace {

// Descriptors let go under the pool's lock, closed once it is released:
// closing one is a system call, and the listing threads all wait on that
// lock. Declared before the lock, so it outlives it.
struct ClosedAfterUnlock {
    std::vector<int> fds;
    ~ClosedAfterUnlock() {
        for (const int fd : fds)
            ::close(fd);
    }
};

constexpr int kDirFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW;

bool isSameFolder(int fd, const LinuxAnchor& anchor) {
    struct stat st;
    return ::fstat(fd, &st) == 0 && st.st_dev == anchor.device && st.st_ino == anchor.inode;
}

// Pool's mutex held for all below.
void closeLeastRecentlyUsed(AnchorPool& pool, std::vector<int>& toClose) {
    for (auto it = pool.open.begin(); pool.open.size() > pool.limit && it != pool.open.end();) {
        LinuxAnchor& victim = **it++;
        if (victim.pins > 0) continue;
        if (!victim.identityKnown) {
            struct stat st;
            if (::fstat(victim.fd, &st) == 0) {
                victim.device = st.st_dev;
                victim.inode = st.st_ino;
                victim.identityKnown = true;
            } else {
                victim.lost = true;  // could not be recognised again
            }
        }
        toClose.push_back(victim.fd);
        victim.fd = -1;
        pool.open.erase(victim.place);
    }
}

void adopt(AnchorPool& pool, LinuxAnchor& anchor, int fd, std::vector<int>& toClose) {
    anchor.fd = fd;
    anchor.place = pool.open.insert(pool.open.end(), &anchor);
    closeLeastRecentlyUsed(pool, toClose);
}

// Opens a closed anchor again name by name from its nearest open ancestor,
// checking each folder it passes that was seen before.
bool reopen(AnchorPool& pool, LinuxAnchor& anchor, std::vector<int>& toClose) {
    std::vector<LinuxAnchor*> route;
    LinuxAnchor* base = &anchor;
    while (base->fd < 0) {
        if (base->lost || !base->parent) return false;
        route.push_back(base);
        base = base->parent.get();
    }
    int fd = base->fd;
    for (size_t i = route.size(); i-- > 0;) {
        const int next = ::openat(fd, route[i]->name.c_str(), kDirFlags);
        if (fd != base->fd) ::close(fd);
        fd = next;
        if (fd < 0) return false;
        if (route[i]->identityKnown && !isSameFolder(fd, *route[i])) {
            ::close(fd);
            return false;
        }
    }
    adopt(pool, anchor, fd, toClose);
    return true;
}

}  // namespace

void LinuxAnchor::detachDescriptor(LinuxAnchor* heir, std::vector<int>& toClose) {
    if (fd < 0) return;
    pool->open.erase(place);
    if (heir && heir->fd < 0 && !heir->lost && heir->identityKnown) {
        const int up = ::openat(fd, "..", kDirFlags);
        if (up >= 0 && isSameFolder(up, *heir))
            adopt(*pool, *heir, up, toClose);
        else if (up >= 0)
            ::close(up);
    }
    toClose.push_back(fd.exchange(-1));
}

LinuxAnchor::~LinuxAnchor() {
    if (retired) return;
    if (ownPool) {
        if (fd >= 0) ::close(fd);
        return;
    }
    std::shared_ptr<LinuxAnchor> up = std::move(parent);
    ClosedAfterUnlock closed;
    std::lock_guard<std::mutex> lock(pool->mutex);
    detachDescriptor(up.get(), closed.fds);
    // A long chain of anchors that only held each other goes one at a time,
    // not by recursion, which could overflow the stack. The root, if it goes
    // too, goes after the lock (it owns the pool).
    while (up && up.use_count() == 1 && !up->ownPool) {
        std::shared_ptr<LinuxAnchor> next = std::move(up->parent);
        up->detachDescriptor(next.get(), closed.fds);
        up->retired = true;
        up.reset();
        up = std::move(next);
    }
}

std::shared_ptr<LinuxAnchor> makeRootAnchor(int fd, const std::string& path, size_t limit) {
    auto anchor = std::make_shared<LinuxAnchor>();
    anchor->name = path;
    anchor->ownPool = std::make_unique<AnchorPool>(limit);
    anchor->pool = anchor->ownPool.get();
    anchor->fd = fd;
    anchor->pins = 2;  // the listing's, and its own for good: the root is never closed early
    return anchor;
}

std::shared_ptr<LinuxAnchor> makeChildAnchor(const std::shared_ptr<LinuxAnchor>& parent, std::string name, int fd) {
    auto anchor = std::make_shared<LinuxAnchor>();
    anchor->parent = parent;
    anchor->name = std::move(name);
    anchor->pool = parent->pool;
    ClosedAfterUnlock closed;
    std::lock_guard<std::mutex> lock(anchor->pool->mutex);
    anchor->pins = 1;
    adopt(*anchor->pool, *anchor, fd, closed.fds);
    return anchor;
}

int pinDescriptor(LinuxAnchor& anchor) {
    if (anchor.ownPool) return anchor.fd;  // the root's never moves
    AnchorPool& pool = *anchor.pool;
    ClosedAfterUnlock closed;
    std::lock_guard<std::mutex> lock(pool.mutex);
    // Pinned before it is reopened: with every other descriptor pinned, the
    // bound would close the one just reopened again at once.
    ++anchor.pins;
    if (anchor.fd < 0 && !reopen(pool, anchor, closed.fds)) {
        --anchor.pins;
        anchor.lost = true;
        return -1;
    }
    pool.open.splice(pool.open.end(), pool.open, anchor.place);
    return anchor.fd;
}

void unpin(LinuxAnchor& anchor) {
    if (anchor.ownPool) return;
    ClosedAfterUnlock closed;
    std::lock_guard<std::mutex> lock(anchor.pool->mutex);
    --anchor.pins;
    closeLeastRecentlyUsed(*anchor.pool, closed.fds);
}

}  // namespace fan
