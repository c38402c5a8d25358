// An in-memory folder tree behind the lister seam, with faults on demand.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/directory_lister.h"

namespace fan::testing {

struct FakeEntry {
    std::string name;
    EntryKind kind;
    uint64_t size = 0;
};

class FakeDirectoryLister : public DirectoryLister {
public:
    // Folders by full path; a folder missing here reports not-found.
    std::map<std::string, std::vector<FakeEntry>> folders;
    std::map<std::string, ListOpen> openFaults;  // folder -> what open() reports
    std::map<std::string, size_t> failAfter;     // folder -> listing fails after this many entries
    std::function<void(const std::string& folder, const std::string& entry)> onEntry;  // before an entry is returned
    std::vector<std::string> opened;

    struct Anchor : FolderAnchor {
        explicit Anchor(std::string p) : path(std::move(p)) {}
        const std::string path;
    };

    bool isFolder(const std::filesystem::path& path) override { return folders.count(path.string()) != 0; }

    ListOpen openRoot(const std::filesystem::path& root) override { return openPath(root.string()); }

    ListOpen open(const AnchorRef& parent, std::string_view name) override {
        const std::string& folder = static_cast<const Anchor&>(*parent).path;
        return openPath(folder + (folder.back() == '/' ? "" : "/") + std::string(name));
    }

    AnchorRef anchor() override {
        if (!anchor_) anchor_ = std::make_shared<Anchor>(current_);
        return anchor_;
    }

    bool next(ListedEntry& entry) override {
        const std::vector<FakeEntry>& entries = folders[current_];
        if (auto limit = failAfter.find(current_); limit != failAfter.end() && pos_ >= limit->second) failed_ = true;
        if (failed_ || pos_ >= entries.size()) return false;
        const FakeEntry& e = entries[pos_++];
        if (onEntry) onEntry(current_, e.name);
        entry = {e.name, e.kind, e.size};
        return true;
    }

    bool failed() const override { return failed_; }
    void close() override { anchor_.reset(); }

private:
    ListOpen openPath(std::string folder) {
        anchor_.reset();
        current_ = std::move(folder);
        opened.push_back(current_);
        pos_ = 0;
        failed_ = false;
        if (auto fault = openFaults.find(current_); fault != openFaults.end()) return fault->second;
        return folders.count(current_) ? ListOpen::Opened : ListOpen::NotFound;
    }

    std::shared_ptr<Anchor> anchor_;
    std::string current_;
    size_t pos_ = 0;
    bool failed_ = false;
};

}  // namespace fan::testing
