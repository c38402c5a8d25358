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

constexpr int kDirFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW;

bool isSameFolder(int fd, const LinuxAnchor& anchor) {
    struct stat st;
    return ::fstat(fd, &st) == 0 && st.st_dev == anchor.device && st.st_ino == anchor.inode;
}

// Pool's mutex held for all below.
void closeLeastRecentlyUsed(AnchorPool& pool) {
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
        ::close(victim.fd);
        victim.fd = -1;
        pool.open.erase(victim.place);
    }
}

void adopt(AnchorPool& pool, LinuxAnchor& anchor, int fd) {
    anchor.fd = fd;
    anchor.place = pool.open.insert(pool.open.end(), &anchor);
    closeLeastRecentlyUsed(pool);
}

// Opens a closed anchor again name by name from its nearest open ancestor,
// checking each folder it passes that was seen before.
bool reopen(AnchorPool& pool, LinuxAnchor& anchor) {
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
    adopt(pool, anchor, fd);
    return true;
}

}  // namespace

void LinuxAnchor::closeDescriptor(LinuxAnchor* heir) {
    if (fd < 0) return;
    pool->open.erase(place);
    if (heir && heir->fd < 0 && !heir->lost && heir->identityKnown) {
        const int up = ::openat(fd, "..", kDirFlags);
        if (up >= 0 && isSameFolder(up, *heir))
            adopt(*pool, *heir, up);
        else if (up >= 0)
            ::close(up);
    }
    ::close(fd);
    fd = -1;
}

LinuxAnchor::~LinuxAnchor() {
    if (retired) return;
    if (ownPool) {
        if (fd >= 0) ::close(fd);
        return;
    }
    std::shared_ptr<LinuxAnchor> up = std::move(parent);
    std::lock_guard<std::mutex> lock(pool->mutex);
    closeDescriptor(up.get());
    // A long chain of anchors that only held each other goes one at a time,
    // not by recursion, which could overflow the stack. The root, if it goes
    // too, goes after the lock (it owns the pool).
    while (up && up.use_count() == 1 && !up->ownPool) {
        std::shared_ptr<LinuxAnchor> next = std::move(up->parent);
        up->closeDescriptor(next.get());
        up->retired = true;
        up.reset();
        up = std::move(next);
    }
}

bool LinuxAnchor::isOpen() const {
    return fd.load(std::memory_order_relaxed) >= 0;
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
    std::lock_guard<std::mutex> lock(anchor->pool->mutex);
    anchor->pins = 1;
    adopt(*anchor->pool, *anchor, fd);
    return anchor;
}

int pinDescriptor(LinuxAnchor& anchor) {
    if (anchor.ownPool) return anchor.fd;  // the root's never moves
    AnchorPool& pool = *anchor.pool;
    std::lock_guard<std::mutex> lock(pool.mutex);
    if (anchor.fd < 0 && !reopen(pool, anchor)) {
        anchor.lost = true;
        return -1;
    }
    ++anchor.pins;
    pool.open.splice(pool.open.end(), pool.open, anchor.place);
    return anchor.fd;
}

void unpin(LinuxAnchor& anchor) {
    if (anchor.ownPool) return;
    std::lock_guard<std::mutex> lock(anchor.pool->mutex);
    --anchor.pins;
    closeLeastRecentlyUsed(*anchor.pool);
}

}  // namespace fan
