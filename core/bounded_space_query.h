// Space queries with a time limit, for file systems whose server may never
// answer (a dead network mount would otherwise freeze the caller for good).
//
// Each query runs on a thread of its own that is left behind, not waited for,
// when its caller gives up. A query that is still stuck blocks its key (the
// mount point): until it returns, a new query of the same key starts no thread
// and reports failure at once, so a server that stays dead costs one thread
// per mount point, not one per call. Safe to use from any thread.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/volume_space.h"

namespace fan {

class BoundedSpaceQuery {
public:
    using Clock = std::chrono::steady_clock;

private:
    struct Slot;
    struct Registry;

public:
    // The outcome of one started query, to be collected before a deadline.
    class Pending {
    public:
        // Waits until the query has answered or `deadline` has passed; nothing
        // on expiry, on a refused query, or when no query was started.
        std::optional<SpaceFigures> waitUntil(Clock::time_point deadline) const;

    private:
        friend class BoundedSpaceQuery;
        std::shared_ptr<Slot> slot_;  // null when no query was started
    };

    explicit BoundedSpaceQuery(std::shared_ptr<const SpaceQuery> query);
    ~BoundedSpaceQuery();
    BoundedSpaceQuery(const BoundedSpaceQuery&) = delete;
    BoundedSpaceQuery& operator=(const BoundedSpaceQuery&) = delete;

    // Starts measuring `path` on a thread of its own, unless a query of `key`
    // is still running (or no thread can be made): then the Pending fails at
    // once. Several started queries run side by side.
    Pending start(const std::string& key, const std::filesystem::path& path);

    // start() followed by waitUntil(now + limit).
    std::optional<SpaceFigures> measure(const std::string& key, const std::filesystem::path& path,
                                        Clock::duration limit);

    // The query underneath, for callers that need no time limit.
    const SpaceQuery& query() const { return *query_; }

    // Query threads that have not returned yet.
    std::size_t outstanding() const;

private:
    std::shared_ptr<const SpaceQuery> query_;
    std::shared_ptr<Registry> registry_;  // shared with the threads, which may outlive this object
};

}  // namespace fan
