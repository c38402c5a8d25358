#include "core/bounded_space_query.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace fan {

// The answer of one query thread, handed over under the mutex.
struct BoundedSpaceQuery::Slot {
    std::mutex mutex;
    std::condition_variable answered;
    bool done = false;
    std::optional<SpaceFigures> figures;
};

// The keys whose query thread is still running.
struct BoundedSpaceQuery::Registry {
    mutable std::mutex mutex;
    std::map<std::string, std::shared_ptr<Slot>> running;
};

std::optional<SpaceFigures> BoundedSpaceQuery::Pending::waitUntil(Clock::time_point deadline) const {
    if (!slot_) return std::nullopt;
    std::unique_lock<std::mutex> lock(slot_->mutex);
    if (!slot_->answered.wait_until(lock, deadline, [this] { return slot_->done; })) return std::nullopt;
    return slot_->figures;
}

BoundedSpaceQuery::BoundedSpaceQuery(std::shared_ptr<const SpaceQuery> query)
    : query_(std::move(query)), registry_(std::make_shared<Registry>()) {}

BoundedSpaceQuery::~BoundedSpaceQuery() = default;

BoundedSpaceQuery::Pending BoundedSpaceQuery::start(const std::string& key, const std::filesystem::path& path) {
    Pending pending;
    auto slot = std::make_shared<Slot>();
    {
        std::lock_guard<std::mutex> lock(registry_->mutex);
        if (!registry_->running.emplace(key, slot).second) return pending;
    }
    try {
        // The thread owns what it touches: it may return long after this
        // object and every caller are gone, or never.
        std::thread([query = query_, registry = registry_, slot, key, path] {
            std::optional<SpaceFigures> figures;
            try {
                figures = query->measure(path);
            } catch (...) {
                // A failed query is an unknown space, as for a refused one.
            }
            {
                std::lock_guard<std::mutex> lock(slot->mutex);
                slot->figures = figures;
                slot->done = true;
            }
            slot->answered.notify_all();
            std::lock_guard<std::mutex> lock(registry->mutex);
            registry->running.erase(key);
        }).detach();
    } catch (const std::system_error&) {
        std::lock_guard<std::mutex> lock(registry_->mutex);
        registry_->running.erase(key);
        return pending;
    }
    pending.slot_ = std::move(slot);
    return pending;
}

std::optional<SpaceFigures> BoundedSpaceQuery::measure(const std::string& key, const std::filesystem::path& path,
                                                       Clock::duration limit) {
    return start(key, path).waitUntil(Clock::now() + limit);
}

std::size_t BoundedSpaceQuery::outstanding() const {
    std::lock_guard<std::mutex> lock(registry_->mutex);
    return registry_->running.size();
}

}  // namespace fan
