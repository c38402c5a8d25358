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
// level holds a file "f", with `comb` a spare empty folder "e", and the next
// level "d" last, so the walk goes down first and meets the spare folders on
// its way back up. Folders opened by a thread's lister are counted.
struct ThreadOpens {
    std::atomic<int> all{0};
};

class ChainLister final : public DirectoryLister {
public:
    ChainLister(int depth, bool comb, ThreadOpens& opens, bool walks)
        : depth_(depth), comb_(comb), opens_(opens), walks_(walks) {}

    struct Anchor : FolderAnchor {
        explicit Anchor(int l) : level(l) {}
        const int level;
    };

    bool isFolder(const std::filesystem::path&) override { return true; }
    ListOpen openRoot(const std::filesystem::path&) override { return start(0, false); }
    ListOpen open(const AnchorRef& parent, std::string_view name) override {
        const int level = static_cast<const Anchor&>(*parent).level + 1;
        if (!walks_) ++opens_.all;
        return start(level, name == "e");
    }
    AnchorRef anchor() override {
        if (!anchor_) anchor_ = std::make_shared<Anchor>(level_);
        return anchor_;
    }
    bool next(ListedEntry& entry) override {
        static const char* const kEntries[] = {"f", "e", "d"};
        if (spare_) return false;
        while (pos_ < 3) {
            const std::string_view name = kEntries[pos_++];
            if (name == "e" && !comb_) continue;
            if (name != "f" && level_ >= depth_) continue;
            entry = {name, name == "f" ? EntryKind::File : EntryKind::Folder, name == "f" ? 1u : 0u};
            return true;
        }
        return false;
    }
    bool failed() const override { return false; }
    void close() override { anchor_.reset(); }

private:
    ListOpen start(int level, bool spare) {
        anchor_.reset();
        level_ = level;
        spare_ = spare;
        pos_ = 0;
        return ListOpen::Opened;
    }

    const int depth_;
    const bool comb_;
    ThreadOpens& opens_;
    const bool walks_;  // the walk's own lister
    std::shared_ptr<Anchor> anchor_;
    int level_ = 0;
    bool spare_ = false;
    size_t pos_ = 0;
};

// Scans the chain on `threads` threads, counting what the threads open.
Tree scanChain(int depth, bool comb, int threads, ThreadOpens& opens) {
    int made = 0;
    const ListerFactory factory = [&] { return std::make_unique<ChainLister>(depth, comb, opens, made++ == 0); };
    ScanProgress progress;
    return scanTree("/r", progress, &kNoMounts, factory, threads);
}

TEST(ParallelWalkChain, ALoneChainIsListedByTheWalkAlone) {
    constexpr int kDepth = 20000;
    for (int threads : {2, 8}) {
        SCOPED_TRACE(std::to_string(threads) + " threads");
        ThreadOpens opens;
        const Tree tree = scanChain(kDepth, false, threads, opens);
        EXPECT_EQ(opens.all.load(), 0);
        EXPECT_EQ(tree.nodes[0].fileCount, static_cast<uint64_t>(kDepth + 1));
    }
}

}  // namespace
}  // namespace fan
