// A space-query double and fixed mount-table sources for the volume table tests.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/bounded_space_query.h"
#include "core/mount_table_linux.h"
#include "core/volume_space.h"
#include "temp_tree.h"

namespace fan::testing {

// Answers every query with the same figures (or a refusal) and records the
// paths asked for. A query of a path below one of `deadPrefixes` first hangs,
// as on a server that does not answer, until release().
class SpaceQueryDouble : public SpaceQuery {
public:
    explicit SpaceQueryDouble(std::optional<SpaceFigures> figures, std::vector<std::string> deadPrefixes = {})
        : figures_(figures), deadPrefixes_(std::move(deadPrefixes)) {}

    std::optional<SpaceFigures> measure(const std::filesystem::path& path) const override {
        std::unique_lock<std::mutex> lock(mutex_);
        calls_.push_back(path.string());
        const bool dead = std::any_of(deadPrefixes_.begin(), deadPrefixes_.end(),
                                      [&](const std::string& prefix) { return path.string().rfind(prefix, 0) == 0; });
        blockedCalls_ += dead;
        released_.wait(lock, [&] { return open_ || !dead; });
        return figures_;
    }

    void release() {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = true;
        released_.notify_all();
    }
    std::vector<std::string> calls() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }
    int blockedCalls() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return blockedCalls_;
    }

private:
    std::optional<SpaceFigures> figures_;
    std::vector<std::string> deadPrefixes_;
    mutable std::mutex mutex_;
    mutable std::condition_variable released_;
    mutable std::vector<std::string> calls_;
    mutable int blockedCalls_ = 0;
    bool open_ = false;
};

// Volume-table sources that read a scratch folder and answer space queries
// through the double: mountInfo("...") and list.
struct FixedMountSources {
    explicit FixedMountSources(SpaceFigures figures, std::vector<std::string> deadPrefixes = {})
        : query(std::make_shared<SpaceQueryDouble>(figures, std::move(deadPrefixes))), space(query) {
        sources.mountInfo = dir.root() / "mountinfo";
        sources.sysRoot = dir.root();
        sources.space = &space;
    }
    void mountInfo(const std::string& text) { sources.mountInfo = dir.write("mountinfo", text); }

    TempTree dir;
    std::shared_ptr<SpaceQueryDouble> query;
    BoundedSpaceQuery space;
    MountTableSources sources;
};

}  // namespace fan::testing
