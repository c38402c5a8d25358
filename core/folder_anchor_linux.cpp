#include "core/folder_anchor_linux.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fan {

struct AnchorPool {
    AnchorPool(size_t max, OpenAtFunction call) : limit(max), openAt(call) {}
    std::mutex mutex;
    std::list<LinuxAnchor*> open;  // least recently used first
    const size_t limit;
    const OpenAtFunction openAt;
};

int openAtDirectly(int dirfd, const char* name, int flags) {
    return ::openat(dirfd, name, flags);
}

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

// Opens the closed anchor `next` by name inside the folder open as `fd`,
// or goes up to it through ".." when `up`; closes `fd` unless it is `keep`.
// -1 when the folder reached is not the one seen before, or cannot be told.
int step(const AnchorPool& pool, int fd, int keep, const LinuxAnchor& next, bool up) {
    const int reached = pool.openAt(fd, up ? ".." : next.name.c_str(), kDirFlags);
    if (fd != keep) ::close(fd);
    if (reached < 0) return -1;
    if (next.identityKnown && isSameFolder(reached, next)) return reached;
    ::close(reached);
    return -1;
}

// Opens a closed anchor again name by name from its nearest open ancestor,
// checking each folder it passes. A closed one's identity is known unless
// its fstat failed when the bound closed it: such a folder cannot be reached
// again this way.
int reopenFromAncestor(const AnchorPool& pool, LinuxAnchor& anchor) {
    std::vector<LinuxAnchor*> route;
    LinuxAnchor* base = &anchor;
    while (base->fd < 0) {
        if (!base->identityKnown || !base->parent) return -1;
        route.push_back(base);
        base = base->parent.get();
    }
    int fd = base->fd;
    for (size_t i = route.size(); i-- > 0 && fd >= 0;)
        fd = step(pool, fd, base->fd, *route[i], false);
    return fd;
}

// Opens a closed anchor again from `near`, an open folder the caller holds:
// up through ".." to the folder above both, then down by name, each part
// starting from the open folder closest to that folder. The calls are as
// many as the levels between the two, and a folder moved meanwhile is
// still found through "..".
int reopenFrom(const AnchorPool& pool, LinuxAnchor& anchor, LinuxAnchor& near) {
    std::vector<LinuxAnchor*> down;  // the anchor and its ancestors below the common one, deepest first
    std::vector<LinuxAnchor*> up;    // near's ancestors up to the common one, nearest first
    LinuxAnchor* a = &anchor;
    LinuxAnchor* b = &near;
    while (a->depth > b->depth) {
        down.push_back(a);
        a = a->parent.get();
    }
    while (b->depth > a->depth) {
        b = b->parent.get();
        up.push_back(b);
    }
    while (a != b) {
        if (!a->parent || !b->parent) return -1;  // not of one tree
        down.push_back(a);
        a = a->parent.get();
        b = b->parent.get();
        up.push_back(b);
    }
    // Down from the deepest open folder on the way, if one is below the
    // common folder; else from the common folder, reached from near.
    size_t first = 0;
    while (first < down.size() && down[first]->fd < 0)
        ++first;
    int fd = -1;
    int keep = -1;
    if (first < down.size()) {
        keep = fd = down[first]->fd;
    } else if (a->fd >= 0) {
        keep = fd = a->fd;
    } else {
        size_t from = up.size();
        while (from > 0 && up[from - 1]->fd < 0)
            --from;
        keep = fd = from > 0 ? up[from - 1]->fd.load() : near.fd.load();
        for (size_t i = from; i < up.size() && fd >= 0; ++i)
            fd = step(pool, fd, keep, *up[i], true);
    }
    for (size_t i = first; i-- > 0 && fd >= 0;)
        fd = step(pool, fd, keep, *down[i], false);
    return fd == keep ? -1 : fd;
}

}  // namespace

void LinuxAnchor::detachDescriptor(LinuxAnchor* heir, std::vector<int>& toClose) {
    if (fd < 0) return;
    pool->open.erase(place);
    if (heir && heir->fd < 0 && heir->identityKnown) {
        const int up = pool->openAt(fd, "..", kDirFlags);
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

std::shared_ptr<LinuxAnchor> makeRootAnchor(int fd, const std::string& path, size_t limit, OpenAtFunction openAt) {
    auto anchor = std::make_shared<LinuxAnchor>();
    anchor->name = path;
    anchor->ownPool = std::make_unique<AnchorPool>(limit, openAt);
    anchor->pool = anchor->ownPool.get();
    anchor->fd = fd;
    anchor->pins = 2;  // the listing's, and its own for good: the root is never closed early
    return anchor;
}

std::shared_ptr<LinuxAnchor> makeChildAnchor(const std::shared_ptr<LinuxAnchor>& parent, std::string name, int fd) {
    auto anchor = std::make_shared<LinuxAnchor>();
    anchor->parent = parent;
    anchor->name = std::move(name);
    anchor->depth = parent->depth + 1;
    anchor->pool = parent->pool;
    ClosedAfterUnlock closed;
    std::lock_guard<std::mutex> lock(anchor->pool->mutex);
    anchor->pins = 1;
    adopt(*anchor->pool, *anchor, fd, closed.fds);
    return anchor;
}

int pinDescriptor(LinuxAnchor& anchor, LinuxAnchor* near) {
    if (anchor.ownPool) return anchor.fd;  // the root's never moves
    AnchorPool& pool = *anchor.pool;
    ClosedAfterUnlock closed;
    std::lock_guard<std::mutex> lock(pool.mutex);
    if (anchor.fd < 0) {
        // A route that fails (a folder on it moved or replaced) leaves the
        // other to try; neither marks the folder for good, since what was
        // moved may be back by the next time.
        int fd = near && near->fd >= 0 ? reopenFrom(pool, anchor, *near) : -1;
        if (fd < 0) fd = reopenFromAncestor(pool, anchor);
        if (fd < 0) return -1;
        // Pinned before the bound is applied: with every other descriptor
        // pinned, it would close the one just reopened again at once.
        ++anchor.pins;
        adopt(pool, anchor, fd, closed.fds);
    } else {
        ++anchor.pins;
    }
    pool.open.splice(pool.open.end(), pool.open, anchor.place);
    return anchor.fd;
}

int pinIfOpen(LinuxAnchor& anchor) {
    if (anchor.ownPool) return anchor.fd;
    std::lock_guard<std::mutex> lock(anchor.pool->mutex);
    if (anchor.fd < 0) return -1;
    ++anchor.pins;
    anchor.pool->open.splice(anchor.pool->open.end(), anchor.pool->open, anchor.place);
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
