// Down a chain of folders the walk lists the folder it opens next itself.
#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "core/scan_engine.h"

namespace fan {
namespace {

const std::vector<MountEntry> kNoMounts;

// A chain `depth` folders deep under "/r", made up as it is listed: each
// level holds a file "f" and the next level "d". Folders opened by the
// listing threads' listers (all but the walk's own) are counted.
class ChainLister final : public DirectoryLister {
public:
    ChainLister(int depth, std::atomic<int>& threadOpens, bool walks)
        : depth_(depth), threadOpens_(threadOpens), walks_(walks) {}

    struct Anchor : FolderAnchor {
        explicit Anchor(int l) : level(l) {}
        const int level;
    };

    bool isFolder(const std::filesystem::path&) override { return true; }
    ListOpen openRoot(const std::filesystem::path&) override { return start(0); }
    ListOpen open(const AnchorRef& parent, std::string_view) override {
        if (!walks_) ++threadOpens_;
        return start(static_cast<const Anchor&>(*parent).level + 1);
    }
    AnchorRef anchor() override {
        if (!anchor_) anchor_ = std::make_shared<Anchor>(level_);
        return anchor_;
    }
    bool next(ListedEntry& entry) override {
        if (pos_ == 0)
            entry = {"f", EntryKind::File, 1};
        else if (pos_ == 1 && level_ < depth_)
            entry = {"d", EntryKind::Folder, 0};
        else
            return false;
        ++pos_;
        return true;
    }
    bool failed() const override { return false; }
    void close() override { anchor_.reset(); }

private:
    ListOpen start(int level) {
        anchor_.reset();
        level_ = level;
        pos_ = 0;
        return ListOpen::Opened;
    }

    const int depth_;
    std::atomic<int>& threadOpens_;
    const bool walks_;  // the walk's own lister
    std::shared_ptr<Anchor> anchor_;
    int level_ = 0;
    int pos_ = 0;
};

TEST(ParallelWalkChain, ALoneChainIsListedByTheWalkAlone) {
    constexpr int kDepth = 20000;
    for (int threads : {2, 8}) {
        SCOPED_TRACE(std::to_string(threads) + " threads");
        std::atomic<int> threadOpens{0};
        int made = 0;
        const ListerFactory factory = [&] { return std::make_unique<ChainLister>(kDepth, threadOpens, made++ == 0); };
        ScanProgress progress;
        const Tree tree = scanTree("/r", progress, &kNoMounts, factory, threads);
        EXPECT_EQ(threadOpens.load(), 0);
        EXPECT_EQ(tree.nodes[0].fileCount, static_cast<uint64_t>(kDepth + 1));
    }
}

}  // namespace
}  // namespace fan
