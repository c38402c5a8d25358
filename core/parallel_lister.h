// A directory lister that lists folders ahead of the walk on worker threads.
//
// The walk drives it through the lister seam exactly as it drives a plain
// lister, from its own thread only, and so builds the very same tree: each
// open() is answered with the listing of that folder, whoever made it. The
// walk opens folders depth first, the last sub-folder first. Every listing
// places the sub-folders the walk will enter (not mount points) in that
// order as it finds them, and each worker takes the first folder nobody
// lists yet: the one the walk will open soonest. Each lists through a
// lister of its own (a DirectoryLister keeps one listing's state, so one
// thread uses it at a time). A folder nobody has taken yet when the walk
// asks for it is listed by the walk's own lister straight through, so with
// no workers this is the plain walk.
//
// Listings made ahead wait in small segments; when they pass a memory budget
// (growing with the tree) the workers pause, except the one listing the folder the walk waits for.
// Spare workers join in only while the listings mostly wait (for a disk
// that answers slowly, with more reads in flight the sooner done); with the
// listings in memory they would only compete for the cores. Workers see a
// stop request after at most one entry or a few milliseconds of waiting. An exception on a worker (memory exhaustion)
// is rethrown to the walk from its next call; the destructor stops and joins every worker.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/directory_lister.h"
#include "core/mount_map.h"

namespace fan {

using ListerFactory = std::function<std::unique_ptr<DirectoryLister>()>;

class ParallelLister final : public DirectoryLister {
public:
    // `own` lists on the walk's thread. `workers` threads are started, and
    // `spares` spare ones, each with a lister from `makeLister` (called
    // here, on the walk's thread); threads that cannot be started are done
    // without. `mounts` (which folders not to enter) and `stop` must outlive
    // this object.
    ParallelLister(DirectoryLister& own, const ListerFactory& makeLister, int workers, int spares,
                   const MountMap& mounts, const std::atomic<bool>& stop);
    ~ParallelLister() override;
    ParallelLister(const ParallelLister&) = delete;
    ParallelLister& operator=(const ParallelLister&) = delete;

    bool isFolder(const std::filesystem::path& path) override;
    ListOpen openRoot(const std::filesystem::path& root) override;
    ListOpen open(const AnchorRef& parent, std::string_view name) override;
    AnchorRef anchor() override;
    bool next(ListedEntry& entry) override;
    bool failed() const override;
    void close() override;

    // Worker threads actually running.
    int workerCount() const { return static_cast<int>(threads_.size()); }

private:
    struct Job;
    struct Segment;
    struct Shared;
    struct Usage {
        int64_t cpuNs;
        int64_t diskReads;
    };

    void joinWorkers();
    void work(DirectoryLister& lister, bool spare);
    std::shared_ptr<Job> take(bool spare, bool holding, Usage& mark);
    bool stopping() const;
    void listAhead(Job& job, DirectoryLister& lister);
    std::shared_ptr<Job> expected(const AnchorRef& parent, std::string_view name);
    void startOwn(std::shared_ptr<Job> job);
    bool readNextSegment();
    void finishCurrent();

    DirectoryLister& own_;
    const MountMap& mounts_;
    const std::atomic<bool>& stop_;
    std::unique_ptr<Shared> shared_;
    std::vector<std::thread> threads_;

    // The walk's side, touched by its thread only.
    std::vector<std::shared_ptr<Job>> expected_;  // folders the walk will open, the next one last
    std::vector<std::shared_ptr<Job>> revealed_;  // sub-folders of current_, in listing order
    std::shared_ptr<Job> current_;
    bool throughOwn_ = false;  // current_ is listed by `own_` right now
    AnchorRef ownAnchor_;      // current_'s, when listed by `own_`
    std::unique_ptr<Segment> reading_;
    size_t readPos_ = 0;
    // What readNextSegment() took from current_ in its last turn of the lock.
    std::vector<std::unique_ptr<Segment>> taken_;
    size_t takenNext_ = 0;
    bool takenAll_ = false;  // its listing had ended then
    bool takenFailed_ = false;
    AnchorRef takenAnchor_;
    size_t readBytes_ = 0;  // read since, not yet given back to the budget
    size_t treeBytes_ = 0;  // what the entries read so far cost the tree
};

}  // namespace fan
