#include "core/parallel_lister.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <list>
#include <mutex>
#include <system_error>

#include "core/listing_gauge.h"
#include "core/thread_usage.h"
#include "core/tree.h"

namespace fan {
namespace {

// Listings wait for the walk in pieces of about this many bytes, so the walk
// can follow a huge folder while it is still being listed.
constexpr size_t kSegmentBytes = size_t{16} * 1024;
// Bytes of listings made ahead (and of the folders they describe) that may
// wait before workers pause: a quarter of what the tree read so far costs,
// within these bounds. A fixed 4 MiB cost half as much again as the whole
// one-thread walk of 30,000 empty folders; the threads are rarely held back
// by the walk with a quarter.
constexpr size_t kLeastAheadBudget = size_t{1} * 1024 * 1024;
constexpr size_t kMostAheadBudget = size_t{4} * 1024 * 1024;
// What the tree holds per entry read, besides its name: the node and its
// place among its folder's children.
constexpr size_t kTreeBytesPerEntry = 112;
// Past the budget, threads still list the few waiting folders the walk
// opens soonest, up to half as much again: what holds the budget may be
// listings far ahead, and a walk left to list its next folders itself is
// the whole scan's bottleneck.
constexpr size_t kNearFolders = 8;
// Stop requests come without a notification: waits look at them this often.
constexpr std::chrono::milliseconds kPoll{2};

int64_t steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

// Entries packed one after another: size, kind, name length, name bytes.
struct ParallelLister::Segment {
    static constexpr size_t kHeader = sizeof(uint64_t) + 1 + sizeof(uint32_t);
    std::string bytes;

    // Whether the segment is full after adding `e`.
    bool add(const ListedEntry& e) {
        char header[kHeader];
        const auto length = static_cast<uint32_t>(e.name.size());
        std::memcpy(header, &e.size, sizeof e.size);
        header[sizeof e.size] = static_cast<char>(e.kind);
        std::memcpy(header + sizeof e.size + 1, &length, sizeof length);
        bytes.append(header, kHeader).append(e.name.data(), e.name.size());
        return bytes.size() >= kSegmentBytes;
    }
    // Reads the entry at `pos` and moves past it.
    void read(size_t& pos, ListedEntry& e) const {
        const char* p = bytes.data() + pos;
        uint32_t length = 0;
        std::memcpy(&e.size, p, sizeof e.size);
        e.kind = static_cast<EntryKind>(p[sizeof e.size]);
        std::memcpy(&length, p + sizeof e.size + 1, sizeof length);
        e.name = std::string_view(p + kHeader, length);
        pos += kHeader + length;
    }
    size_t footprint() const { return sizeof(Segment) + bytes.capacity(); }
};

struct ParallelLister::Job {
    enum class State : uint8_t { Waiting, Listing, Done, Dropped };
    Job(AnchorRef p, std::string_view n, std::string route)
        : parent(std::move(p)), name(n), mountRoute(std::move(route)) {}

    const AnchorRef parent;  // null for the root
    const std::string name;
    const std::string mountRoute;  // its key in the mount map, if on the way to a mount point
    // Guarded by Shared::mutex.
    AnchorRef anchor;  // set once its listing found a sub-folder
    State state = State::Waiting;
    bool openKnown = false;
    ListOpen opened = ListOpen::NotFound;
    bool failed = false;
    std::vector<std::unique_ptr<Segment>> segments;  // listed, not yet read by the walk
    std::vector<std::shared_ptr<Job>> children;      // its sub-folders the walk will enter, in listing order
    bool ordered = false;                            // has a place in Shared::order
    bool countedAhead = false;                       // its own memory is counted in Shared::aheadBytes
    std::list<std::shared_ptr<Job>>::iterator place;
};

// Wake-ups go only to threads that wait for that very news: with thousands
// of folders a second, waking everyone for everything costs more than the
// listing itself.
struct ParallelLister::Shared {
    explicit Shared(int listingThreads) : gauge(listingThreads, steadyNs()) {}

    std::mutex mutex;
    std::condition_variable walkWake;    // the walk waits for the folder it reads
    std::condition_variable workerWake;  // workers wait for folders or for room
    std::condition_variable spareWake;   // spare workers wait for folders while listings mostly wait
    // Folders waiting or being listed, in the order the walk will open them.
    std::list<std::shared_ptr<Job>> order;
    size_t aheadBytes = 0;         // segments listed and not yet read
    const Job* awaited = nullptr;  // the folder the walk reads now, or opens next
    bool walkWaiting = false;
    size_t idle = 0;       // workers waiting for a folder
    size_t busy = 0;       // threads, spare ones too, with a folder in hand
    size_t paused = 0;     // workers waiting for room
    size_t waiting = 0;    // folders in `order` nobody lists yet
    size_t spareIdle = 0;  // spare workers waiting for a folder
    ListingGauge gauge;    // spares list only while it tells the listings wait
    std::exception_ptr error;
    std::atomic<bool> closing{false};
    // Threads leave the walk's next folder to the walk where it lists it
    // sooner than it could wait for a thread to hand it over: always with a
    // single thread beside it, which would hand folders over one by one,
    // and with more when the walk has caught up with them, so the folder is
    // one of those the walk reads now holds (down a chain of folders, each
    // level is found only by listing the one above). A walk behind the
    // threads is kept fed by them and lists nothing itself. The folder the
    // walk opens next stays its own from the moment it is done with the one
    // before: a thread taking it then would have the walk wait for it.
    bool soonestToWalk = false;
    bool leftToWalk(const Job& soonest) const {
        return soonestToWalk || &soonest == awaited ||
               (awaited && awaited->anchor && soonest.parent == awaited->anchor);
    }

    // All of these under `mutex`.
    // The walk opens a folder's sub-folders right after the folder, the
    // last listed first: each one found goes right behind its parent.
    void enqueue(Job& parent, const std::shared_ptr<Job>& job) {
        if (!parent.ordered) return;  // not listed ahead: the walk lists it when it gets there
        job->place = order.insert(std::next(parent.place), job);
        job->ordered = true;
        // A thread is woken only for more folders than the threads listing
        // now take when they are done, and only within the budget: past
        // it they list just the walk's nearest folders, as they come to
        // them. Down a comb (a spare folder beside every level of a chain)
        // each wake-up handed over a single folder, at a cost to the walk
        // of more than listing it.
        ++waiting;
        if (waiting <= (soonestToWalk || awaited == &parent ? 1 : 0) + busy || aheadBytes >= aheadBudget) return;
        if (idle > 0)
            workerWake.notify_one();
        else if (gauge.waiting() && spareIdle > 0)
            spareWake.notify_one();
    }
    void measured(int64_t cpuNs, int64_t diskReads) {
        if (gauge.add(cpuNs, diskReads, steadyNs()) && spareIdle > 0) spareWake.notify_all();
    }
    // Once listed, a folder has placed all its sub-folders.
    void unorder(Job& job) {
        if (!job.ordered) return;
        job.ordered = false;
        order.erase(job.place);
    }
    // What a folder listed ahead holds beside its listing: the job, its
    // name, its place among its parent's children, the shared count.
    static constexpr size_t kJobBytes = sizeof(Job) + 64;
    // Folders waiting for a thread, at most: half as much memory as the
    // listings ahead (some 8,000). Sub-folders found beyond that (in a
    // folder with hundreds of thousands of them, or one at every level of a
    // very deep comb) the walk lists itself, so the memory spent on folders
    // waiting stays near the one-thread walk's. Ordinary trees hold a few
    // thousand waiting at a time (one folder among hundreds of sub-folders
    // each, a few levels down): a bound of a thousand left their folders to
    // the walk, which then listed on its own.
    size_t mostWaiting() const { return aheadBudget / kJobBytes / 2; }
    size_t aheadBudget = kLeastAheadBudget;
    size_t aheadLimit() const { return aheadBudget + aheadBudget / 2; }
    // The tree has grown by `treeBytes`: the budget follows.
    void grown(size_t treeBytes) {
        const size_t budget = std::clamp(treeBytes / 4, kLeastAheadBudget, kMostAheadBudget);
        if (budget == aheadBudget) return;
        const bool wasFull = aheadBytes >= aheadBudget;
        aheadBudget = budget;
        if (wasFull && aheadBytes < aheadBudget && idle + paused > 0) workerWake.notify_all();
    }
    // A folder listed ahead waits for the walk too, beside its listing.
    void listedAhead(Job& job) {
        job.countedAhead = true;
        aheadBytes += kJobBytes;
    }
    void release(size_t bytes) {
        const bool wasFull = aheadBytes >= aheadBudget;
        aheadBytes -= bytes;
        if (wasFull && aheadBytes < aheadBudget && idle + paused > 0) workerWake.notify_all();
    }
    void progressed(const Job& job) {
        if (walkWaiting && awaited == &job) walkWake.notify_one();
    }
    void waitAsWalk(std::unique_lock<std::mutex>& lock) {
        walkWaiting = true;
        walkWake.wait_for(lock, kPoll);
        walkWaiting = false;
    }
    void waitAsWorker(std::unique_lock<std::mutex>& lock, size_t& count) { waitAs(workerWake, lock, count); }
    static void waitAs(std::condition_variable& wake, std::unique_lock<std::mutex>& lock, size_t& count) {
        ++count;
        wake.wait_for(lock, kPoll);
        --count;
    }
};

ParallelLister::ParallelLister(DirectoryLister& own, const ListerFactory& makeLister, int workers, int spares,
                               const MountMap& mounts, const std::atomic<bool>& stop)
    : own_(own), mounts_(mounts), stop_(stop), shared_(std::make_unique<Shared>(std::max(workers, 1))) {
    shared_->soonestToWalk = workers == 1;
    try {
        for (int i = 0; i < workers + spares; ++i) {
            std::shared_ptr<DirectoryLister> lister = makeLister();
            const bool spare = i >= workers;
            try {
                threads_.emplace_back([this, lister, spare] { work(*lister, spare); });
            } catch (const std::system_error&) {
                break;  // fewer threads list a little slower, with the same result
            }
        }
    } catch (...) {
        joinWorkers();  // no destructor runs for a constructor that throws
        throw;
    }
}

ParallelLister::~ParallelLister() {
    joinWorkers();
}

void ParallelLister::joinWorkers() {
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->closing = true;
    }
    shared_->workerWake.notify_all();
    shared_->spareWake.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

bool ParallelLister::isFolder(const std::filesystem::path& path) {
    return own_.isFolder(path);
}

// ---- workers ---------------------------------------------------------------

void ParallelLister::work(DirectoryLister& lister, bool spare) {
    try {
        Usage mark{threadCpuNs(), threadDiskReads()};
        bool holding = false;
        while (const std::shared_ptr<Job> job = take(spare, holding, mark)) {
            holding = true;
            listAhead(*job, lister);
        }
    } catch (...) {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        if (!shared_->error) shared_->error = std::current_exception();
        shared_->closing = true;
    }
    lister.close();
    shared_->walkWake.notify_all();
    shared_->workerWake.notify_all();
    shared_->spareWake.notify_all();
}

bool ParallelLister::stopping() const {
    return shared_->closing.load(std::memory_order_relaxed) || stop_.load(std::memory_order_relaxed);
}

std::shared_ptr<ParallelLister::Job> ParallelLister::take(bool spare, bool holding, Usage& mark) {
    // What the thread used since its last take is its last listing's:
    // waiting for a folder or for room uses next to nothing.
    const Usage now{threadCpuNs(), threadDiskReads()};
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->measured(now.cpuNs - mark.cpuNs, now.diskReads - mark.diskReads);
    mark = now;
    if (holding) --shared_->busy;
    while (!stopping()) {
        // Spares take only what the listing threads leave: with one of
        // those idle, a spare would only crowd the cores.
        if (spare && (!shared_->gauge.waiting() || shared_->idle > 0)) {
            Shared::waitAs(shared_->spareWake, lock, shared_->spareIdle);
            continue;
        }
        // The first waiting folder is the one the walk will open soonest
        // (before it lie only the few being listed).
        const bool roomy = shared_->aheadBytes < shared_->aheadBudget;
        if (shared_->aheadBytes < shared_->aheadLimit()) {
            size_t seen = 0;
            for (const std::shared_ptr<Job>& job : shared_->order) {
                if (job->state != Job::State::Waiting) continue;
                if (++seen == 1 && shared_->leftToWalk(*job)) continue;
                if (!roomy && seen > kNearFolders) break;
                // Taken even when its parent's descriptor was closed for the
                // bound (it is handed back then, and leaves the order):
                // passing such folders over took the threads away from the
                // walk's order, which had the bound close more, and made
                // each turn here scan further.
                job->state = Job::State::Listing;
                --shared_->waiting;
                ++shared_->busy;
                return job;
            }
        }
        if (spare)
            Shared::waitAs(shared_->spareWake, lock, shared_->spareIdle);
        else
            shared_->waitAsWorker(lock, shared_->idle);
    }
    return nullptr;
}

void ParallelLister::listAhead(Job& job, DirectoryLister& lister) {
    const ListOpen opened = lister.openAhead(job.parent, job.name);
    if (opened != ListOpen::Opened) {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        if (job.state == Job::State::Dropped) return;
        if (opened == ListOpen::Later) {
            // Its parent was closed for the descriptor bound: the walk lists
            // it when it gets there, from where it stands then. Reopening it
            // here would cost a call per level from the nearest folder still
            // open, over and over down a deep tree.
            job.state = Job::State::Waiting;
        } else {
            job.openKnown = true;
            job.opened = opened;
            job.state = Job::State::Done;
            shared_->listedAhead(job);
        }
        shared_->unorder(job);
        shared_->progressed(job);
        return;
    }
    // That it opened is told with its first entries: the walk has no use for
    // one without the other, and every hand-over is a turn of the shared lock.

    AnchorRef anchor;
    auto segment = std::make_unique<Segment>();
    std::vector<std::shared_ptr<Job>> found;
    bool more = true;
    while (more) {
        ListedEntry entry;
        bool full = false;
        while (!full && !stopping()) {
            if (!lister.next(entry)) {
                more = false;
                break;
            }
            if (entry.name == "." || entry.name == ".." || entry.kind == EntryKind::Other) continue;
            if (entry.kind == EntryKind::Folder && mounts_.find(job.mountRoute, entry.name) == kNoNode) {
                if (!anchor) {
                    anchor = lister.anchor();
                    anchor->mountRoute = job.mountRoute;
                }
                found.push_back(
                    std::make_shared<Job>(anchor, entry.name, mounts_.childRoute(job.mountRoute, entry.name)));
            }
            full = segment->add(entry);
        }
        if (more && !full) break;  // stopping: the walk reads no further either
        const bool failed = !more && lister.failed();
        std::unique_ptr<Segment> fresh;
        if (more) {
            fresh = std::make_unique<Segment>();
            fresh->bytes.reserve(kSegmentBytes + Segment::kHeader + 256);
        }

        std::unique_lock<std::mutex> lock(shared_->mutex);
        if (job.state == Job::State::Dropped) break;
        job.openKnown = true;
        job.opened = ListOpen::Opened;
        if (anchor && !job.anchor) job.anchor = anchor;
        shared_->aheadBytes += segment->footprint();
        job.segments.push_back(std::move(segment));
        for (std::shared_ptr<Job>& child : found) {
            if (shared_->order.size() >= shared_->mostWaiting()) break;
            shared_->enqueue(job, child);
            job.children.push_back(std::move(child));
        }
        found.clear();
        if (!more) {
            job.failed = failed;
            job.state = Job::State::Done;
            shared_->listedAhead(job);
            shared_->unorder(job);
        }
        shared_->progressed(job);
        // Far enough ahead: wait until the walk has read some, unless it
        // waits for this very folder.
        while (more && job.state != Job::State::Dropped && shared_->aheadBytes >= shared_->aheadBudget &&
               shared_->awaited != &job && !stopping())
            shared_->waitAsWorker(lock, shared_->paused);
        segment = std::move(fresh);
    }
    lister.close();
}

// ---- the walk's side -------------------------------------------------------

// The walk opens exactly the folders its listings revealed, in stack order,
// so the one it asks for is the last expected, unless it is one of the
// sub-folders of a very wide folder that never became jobs.
std::shared_ptr<ParallelLister::Job> ParallelLister::expected(const AnchorRef& parent, std::string_view name) {
    if (expected_.empty() || expected_.back()->parent != parent || expected_.back()->name != name) return nullptr;
    std::shared_ptr<Job> job = std::move(expected_.back());
    expected_.pop_back();
    return job;
}

ListOpen ParallelLister::openRoot(const std::filesystem::path& root) {
    finishCurrent();
    startOwn(std::make_shared<Job>(nullptr, std::string_view(), mounts_.rootRoute()));
    return own_.openRoot(root);
}

ListOpen ParallelLister::open(const AnchorRef& parent, std::string_view name) {
    finishCurrent();
    std::shared_ptr<Job> job = expected(parent, name);
    if (!job) {
        startOwn(std::make_shared<Job>(parent, name, mounts_.childRoute(parent->mountRoute, name)));
        return own_.open(parent, name);
    }
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->awaited = job.get();
    if (job->state == Job::State::Listing) {
        if (shared_->paused > 0) shared_->workerWake.notify_all();  // a paused worker may hold it
        while (job->state == Job::State::Listing && !job->openKnown && !shared_->error &&
               !stop_.load(std::memory_order_relaxed))
            shared_->waitAsWalk(lock);
        if (shared_->error) std::rethrow_exception(shared_->error);
    }
    if (job->state == Job::State::Waiting) {
        // Nobody took it, or a thread handed it back: listed here, and what
        // it holds waits for the threads right behind it.
        job->state = Job::State::Listing;
        if (job->ordered) {
            --shared_->waiting;
        } else {
            job->place = shared_->order.insert(shared_->order.begin(), job);
            job->ordered = true;
        }
        lock.unlock();
        current_ = std::move(job);
        throughOwn_ = true;
        return own_.open(parent, name);
    }
    const ListOpen opened = job->openKnown ? job->opened : ListOpen::NotFound;
    lock.unlock();
    current_ = std::move(job);
    // The walk stands where it would on one thread, whoever listed the folder.
    own_.enter(parent);
    return opened;
}

// A folder nobody foresaw (the root, a sub-folder of a very wide folder):
// the walk lists it itself, and what it holds comes first.
void ParallelLister::startOwn(std::shared_ptr<Job> job) {
    job->state = Job::State::Listing;
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        job->place = shared_->order.insert(shared_->order.begin(), job);
        job->ordered = true;
        shared_->awaited = job.get();
    }
    current_ = std::move(job);
    throughOwn_ = true;
}

AnchorRef ParallelLister::anchor() {
    if (!current_) return nullptr;
    if (throughOwn_) {
        if (!ownAnchor_) {
            ownAnchor_ = own_.anchor();
            if (!current_->mountRoute.empty() && ownAnchor_->mountRoute.empty())
                ownAnchor_->mountRoute = current_->mountRoute;
        }
        return ownAnchor_;
    }
    return takenAnchor_;
}

bool ParallelLister::next(ListedEntry& entry) {
    if (!current_) return false;
    if (throughOwn_) {
        if (!own_.next(entry)) return false;
    } else {
        while (!reading_ || readPos_ >= reading_->bytes.size()) {
            if (!readNextSegment()) return false;
        }
        reading_->read(readPos_, entry);
    }
    treeBytes_ += kTreeBytesPerEntry + entry.name.size();
    // The walk enters every folder it lists except mount points; workers
    // may list them now. A worker's listing has placed its own.
    if (throughOwn_ && entry.kind == EntryKind::Folder && entry.name != "." && entry.name != ".." &&
        mounts_.find(current_->mountRoute, entry.name) == kNoNode) {
        const AnchorRef parent = anchor();
        std::lock_guard<std::mutex> lock(shared_->mutex);
        current_->anchor = parent;
        if (shared_->order.size() >= shared_->mostWaiting()) return true;
        auto child = std::make_shared<Job>(parent, entry.name, mounts_.childRoute(current_->mountRoute, entry.name));
        shared_->enqueue(*current_, child);
        revealed_.push_back(std::move(child));
    }
    return true;
}

// The walk takes every segment listed so far, with what it needs to know
// of the folder, in one turn of the shared lock and reads them without it:
// most folders take one turn for all their entries. The bytes it has read
// are given back to the budget at its next turn.
bool ParallelLister::readNextSegment() {
    if (reading_) {
        readBytes_ += reading_->footprint();
        reading_.reset();
    }
    if (takenNext_ < taken_.size()) {
        reading_ = std::move(taken_[takenNext_++]);
        readPos_ = 0;
        return true;
    }
    if (takenAll_) return false;
    taken_.clear();
    takenNext_ = 0;
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->release(readBytes_);
    readBytes_ = 0;
    Job& job = *current_;
    while (job.segments.empty() && job.state != Job::State::Done && !shared_->error &&
           !stop_.load(std::memory_order_relaxed))
        shared_->waitAsWalk(lock);
    if (shared_->error) std::rethrow_exception(shared_->error);
    taken_.swap(job.segments);
    takenAll_ = job.state == Job::State::Done;
    takenFailed_ = job.failed;
    takenAnchor_ = job.anchor;
    if (taken_.empty()) return false;
    reading_ = std::move(taken_[takenNext_++]);
    readPos_ = 0;
    return true;
}

bool ParallelLister::failed() const {
    if (!current_) return false;
    if (throughOwn_) return own_.failed();
    return takenAll_ && takenFailed_;
}

void ParallelLister::close() {
    if (throughOwn_) own_.close();
    finishCurrent();
}

// The walk pushes a folder's sub-folders in listing order and opens the
// last first: the expected folders follow the same stack.
void ParallelLister::finishCurrent() {
    if (!current_) return;
    std::unique_ptr<Segment> used = std::move(reading_);
    if (used) readBytes_ += used->footprint();
    for (size_t i = takenNext_; i < taken_.size(); ++i)
        readBytes_ += taken_[i]->footprint();
    taken_.clear();
    takenNext_ = 0;
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->grown(treeBytes_);
        shared_->release(readBytes_);
        readBytes_ = 0;
        for (const auto& segment : current_->segments)
            shared_->release(segment->footprint());
        current_->segments.clear();
        if (current_->countedAhead) shared_->release(Shared::kJobBytes);
        // Left before its end only when stopping: its lister may stop too.
        if (current_->state != Job::State::Done) current_->state = throughOwn_ ? Job::State::Done : Job::State::Dropped;
        shared_->unorder(*current_);
        for (std::shared_ptr<Job>& child : current_->children)
            revealed_.push_back(std::move(child));
        current_->children.clear();
        if (!revealed_.empty())
            shared_->awaited = revealed_.back().get();
        else
            shared_->awaited = expected_.empty() ? nullptr : expected_.back().get();
    }
    expected_.insert(expected_.end(), std::make_move_iterator(revealed_.begin()),
                     std::make_move_iterator(revealed_.end()));
    revealed_.clear();
    current_.reset();
    ownAnchor_.reset();
    takenAnchor_.reset();
    takenAll_ = false;
    takenFailed_ = false;
    throughOwn_ = false;
}

}  // namespace fan
