// Space-query doubles and fixed mount-table sources for the volume table tests.
#pragma once

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/bounded_space_query.h"
#include "core/mount_table_linux.h"
#include "core/volume_space.h"
#include "temp_tree.h"

namespace fan::testing {

// Answers every query with the same figures (or a refusal) and records who
// asked for what.
class FixedSpaceQuery : public SpaceQuery {
public:
    explicit FixedSpaceQuery(std::optional<SpaceFigures> figures) : figures_(figures) {}

    std::optional<SpaceFigures> measure(const std::filesystem::path& path) const override {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.push_back({path.string(), std::this_thread::get_id()});
        return figures_;
    }

    struct Call {
        std::string path;
        std::thread::id thread;
    };
    std::vector<Call> calls() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }

private:
    std::optional<SpaceFigures> figures_;
    mutable std::mutex mutex_;
    mutable std::vector<Call> calls_;
};

// A server that does not answer: queries of paths below one of `deadPrefixes`
// hang until release(); every other query answers at once with `figures`.
class DeadServerSpaceQuery : public SpaceQuery {
public:
    DeadServerSpaceQuery(std::vector<std::string> deadPrefixes, SpaceFigures figures)
        : deadPrefixes_(std::move(deadPrefixes)), figures_(figures) {}

    std::optional<SpaceFigures> measure(const std::filesystem::path& path) const override {
        const std::string text = path.string();
        for (const std::string& prefix : deadPrefixes_) {
            if (text.rfind(prefix, 0) != 0) continue;
            ++blockedCalls_;
            std::unique_lock<std::mutex> lock(mutex_);
            opened_.wait(lock, [this] { return open_; });
            break;
        }
        return figures_;
    }

    void release() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            open_ = true;
        }
        opened_.notify_all();
    }

    int blockedCalls() const { return blockedCalls_; }

private:
    std::vector<std::string> deadPrefixes_;
    SpaceFigures figures_;
    mutable std::atomic<int> blockedCalls_{0};
    mutable std::mutex mutex_;
    mutable std::condition_variable opened_;
    bool open_ = false;
};

// Volume-table sources that read a scratch folder and answer every space
// query with the same figures: write("mountinfo", ...) and list.
struct FixedMountSources {
    explicit FixedMountSources(SpaceFigures figures)
        : query(std::make_shared<FixedSpaceQuery>(figures)), space(query) {
        sources.mountInfo = dir.root() / "mountinfo";
        sources.sysRoot = dir.root();
        sources.space = &space;
    }
    void mountInfo(const std::string& text) { sources.mountInfo = dir.write("mountinfo", text); }

    TempTree dir;
    std::shared_ptr<FixedSpaceQuery> query;
    BoundedSpaceQuery space;
    MountTableSources sources;
};

}  // namespace fan::testing
