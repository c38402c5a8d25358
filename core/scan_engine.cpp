#include "core/scan_engine.h"

#include <algorithm>
#include <chrono>
#include <numeric>
#include <optional>
#include <string>

#include "core/core_messages.h"
#ifdef _WIN32
#include "core/long_path_win32.h"
#endif
#include "core/mount_map.h"
#include "core/node_reserve.h"
#include "core/parallel_lister.h"
#include "core/path_text.h"
#include "core/saturating_add.h"
#include "core/scan_threads.h"
#include "core/volume_space.h"

namespace fan {
namespace {

constexpr int64_t kPublishIntervalNs = 90'000'000;

int64_t steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A folder waiting to be listed, with the preview item of its top-level
// ancestor (kNoNode for the root) and its parent's anchor (null for the
// root).
struct PendingFolder {
    uint64_t node;
    uint64_t item;
    AnchorRef parent;
};

// One call of scanTree: the walk state lives here and dies with it.
class Walk {
public:
    Walk(Tree& tree, ScanProgress& progress, DirectoryLister& lister, const MountMap& mounts, int64_t startNs)
        : tree_(tree), progress_(progress), lister_(lister), mounts_(mounts), lastPublishNs_(startNs - 1'000'000'000) {}

    void run();
    void finish();
    void publish(bool force);

private:
    void listFolder(uint64_t folder, const std::string& mountRoute, uint64_t item);
    void addEntry(uint64_t folder, uint64_t item, const ListedEntry& entry, const std::string& mountRoute);
    void finishFolder(uint64_t item);
    const AnchorRef& folderAnchor(const std::string& mountRoute);
    bool stopRequested() const { return progress_.stop.load(); }
    void countFile(uint64_t size) {
        progress_.files.fetch_add(1);
        addSaturating(progress_.bytes, size);
    }

    Tree& tree_;
    ScanProgress& progress_;
    DirectoryLister& lister_;
    std::vector<PendingFolder> stack_;
    AnchorRef anchor_;  // of the folder being listed, once a sub-folder needs it
    std::vector<PreviewItem> items_;
    std::vector<uint64_t> pendingCount_;  // per item: folders found and not yet finished
    std::vector<bool> itemFailed_;
    uint64_t rootFilesItem_ = kNoNode;
    const MountMap& mounts_;
    int64_t lastPublishNs_;
};

void Walk::publish(bool force) {
    if (!progress_.livePreview.load()) return;
    const int64_t now = steadyNs();
    if (!force && now - lastPublishNs_ < kPublishIntervalNs) return;
    ScanSnapshot snapshot;
    snapshot.root = tree_.root;
    snapshot.rootVolume = tree_.rootVolume;
    snapshot.items = items_;
    snapshot.bytes = progress_.bytes.load();
    snapshot.valid = true;
    progress_.store(std::move(snapshot));
    lastPublishNs_ = now;
}

void Walk::run() {
    ScanNode root;
    root.name = pathText(tree_.root);
    root.isFolder = true;
    tree_.nodes.push_back(std::move(root));
    stack_.push_back({0, kNoNode, nullptr});

    while (!stack_.empty()) {
        if (stopRequested()) break;
        const PendingFolder folder = std::move(stack_.back());
        stack_.pop_back();
        if (folder.item != kNoNode && items_[folder.item].state == PreviewState::Pending)
            items_[folder.item].state = PreviewState::Scanning;

        const std::string& name = tree_.nodes[folder.node].name;
        const ListOpen opened = folder.parent ? lister_.open(folder.parent, name) : lister_.openRoot(tree_.root);
        if (opened != ListOpen::Opened) {
            if (opened == ListOpen::Failed) {
                ++tree_.errorCount;
                if (folder.item != kNoNode) itemFailed_[folder.item] = true;
                if (folder.node == 0) tree_.errorText = kFolderAccessDeniedPrefix + pathText(tree_.root);
            }
            finishFolder(folder.item);
            publish(true);
            continue;
        }
        const std::string mountRoute = !folder.parent ? mounts_.rootRoute()
                                       : folder.parent->mountRoute.empty()
                                           ? std::string()
                                           : mounts_.childRoute(folder.parent->mountRoute, name);
        listFolder(folder.node, mountRoute, folder.item);
    }
    stack_.clear();  // folders left by a stop: their anchors go with them
}

void Walk::listFolder(uint64_t folder, const std::string& mountRoute, uint64_t item) {
    // A folder's entries are appended during its own listing only, so its
    // children are the consecutive indices from here on.
    const uint64_t firstChild = tree_.nodes.size();
    ListedEntry entry;
    while (!stopRequested() && lister_.next(entry)) {
        if (entry.name == "." || entry.name == ".." || entry.kind == EntryKind::Other) continue;
        addEntry(folder, item, entry, mountRoute);
    }
    anchor_.reset();
    std::vector<uint64_t>& children = tree_.nodes[folder].children;
    children.resize(tree_.nodes.size() - firstChild);
    std::iota(children.begin(), children.end(), firstChild);

    if (!stopRequested()) {
        if (lister_.failed()) {
            ++tree_.errorCount;
            if (item != kNoNode) itemFailed_[item] = true;
        }
        finishFolder(item);
    }
    publish(false);
    lister_.close();
}

void Walk::addEntry(uint64_t folder, uint64_t item, const ListedEntry& entry, const std::string& mountRoute) {
    const uint64_t index = tree_.nodes.size();
    const bool isFolder = entry.kind == EntryKind::Folder;
    tree_.nodes.emplace_back();
    ScanNode& node = tree_.nodes.back();
    node.name.assign(entry.name.data(), entry.name.size());
    node.parent = folder;
    node.isFolder = isFolder;
    if (!isFolder) {
        node.size = entry.size;
        node.fileCount = 1;
    }

    bool isMountPoint = false;
    if (!mountRoute.empty()) {
        const uint64_t mount = mounts_.find(mountRoute, node.name);
        if (mount != kNoNode) {
            node.mountIndex = mount;
            node.size = 0;
            node.fileCount = 0;
            ++tree_.mountPointCount;
            isMountPoint = true;
        }
    }

    if (isMountPoint) {
        // Another file system is not walked: it adds nothing to any sum.
        if (folder == 0 && isFolder) {
            items_.push_back({node.name, 0, 0, true, PreviewState::OtherFileSystem});
            pendingCount_.push_back(0);
            itemFailed_.push_back(false);
        }
    } else if (folder != 0) {
        if (isFolder) {
            if (item != kNoNode) ++pendingCount_[item];
            stack_.push_back({index, item, folderAnchor(mountRoute)});
        } else {
            if (item != kNoNode) {
                items_[item].bytes = addSaturating(items_[item].bytes, entry.size);
                items_[item].fileCount += 1;
            }
            countFile(entry.size);
        }
    } else if (isFolder) {
        stack_.push_back({index, items_.size(), folderAnchor(mountRoute)});
        items_.push_back({node.name, 0, 0, true, PreviewState::Pending});
        pendingCount_.push_back(1);
        itemFailed_.push_back(false);
    } else {
        if (rootFilesItem_ == kNoNode) {
            rootFilesItem_ = items_.size();
            items_.push_back({std::string(), 0, 0, false, PreviewState::Complete});
            pendingCount_.push_back(0);
            itemFailed_.push_back(false);
        }
        items_[rootFilesItem_].bytes = addSaturating(items_[rootFilesItem_].bytes, entry.size);
        items_[rootFilesItem_].fileCount += 1;
        countFile(entry.size);
    }
    publish(false);
}

// Asked for only when a sub-folder is found: most folders have none.
const AnchorRef& Walk::folderAnchor(const std::string& mountRoute) {
    if (!anchor_) {
        anchor_ = lister_.anchor();
        if (!mountRoute.empty() && anchor_->mountRoute.empty()) anchor_->mountRoute = mountRoute;
    }
    return anchor_;
}

void Walk::finishFolder(uint64_t item) {
    if (item == kNoNode || pendingCount_[item] == 0) return;
    if (--pendingCount_[item] == 0 && !stopRequested())
        items_[item].state = itemFailed_[item] ? PreviewState::AccessError : PreviewState::Complete;
}

void Walk::finish() {
    tree_.stopped = stopRequested();
    std::vector<ScanNode>& nodes = tree_.nodes;
    // Children always sit above their parent, so going down from the last
    // index completes every node before it is sorted or added upwards.
    for (uint64_t i = nodes.size(); i-- > 0;) {
        ScanNode& node = nodes[i];
        if (node.children.size() > 1) std::sort(node.children.begin(), node.children.end(), childOrder{tree_});
        if (i != 0) {
            ScanNode& parent = nodes[node.parent];
            parent.size = addSaturating(parent.size, node.size);
            parent.fileCount += node.fileCount;
        }
    }
    refreshMountSpace(tree_.rootVolume, tree_.root);
    if (!tree_.stopped) {
        for (size_t i = 0; i < items_.size(); ++i) {
            PreviewItem& it = items_[i];
            if (it.isFolder && it.state != PreviewState::OtherFileSystem && pendingCount_[i] == 0)
                it.state = itemFailed_[i] ? PreviewState::AccessError : PreviewState::Complete;
        }
    }
    publish(true);
}

}  // namespace

namespace {

std::filesystem::path absoluteNormal(const std::filesystem::path& path, std::error_code& error) {
#ifdef _WIN32
    if (isWin32NetworkOrPrefixed(path)) return win32NetworkOrPrefixedFullPath(path, error);
#endif
    std::filesystem::path normal = std::filesystem::absolute(path, error);
    if (error) return {};
    normal = normal.lexically_normal();
    // "/a/b/" names the same folder as "/a/b"; without the trailing separator
    // the root's text compares equal to the mount points that lie inside it.
    if (!normal.has_filename() && normal.has_relative_path()) normal = normal.parent_path();
    return normal;
}

}  // namespace

std::filesystem::path toLongPath(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::path normal = absoluteNormal(path, error);
    if (error) throw std::filesystem::filesystem_error("cannot make the path absolute", path, error);
    return normal;
}

namespace {

// threads: 0 chooses by the root's volume, spares too.
Tree scanWith(const std::filesystem::path& root, ScanProgress& progress, const std::vector<MountEntry>* mounts,
              DirectoryLister& lister, const ListerFactory* makeLister, int threads, int spares) {
    const int64_t startNs = steadyNs();
    Tree tree;
    bool usable = !root.empty();
    if (usable) {
        std::error_code error;
        tree.root = absoluteNormal(root, error);
        usable = !error;
    }
    if (!usable || !lister.isFolder(tree.root)) {
        tree.errorText = kOpenFolderFailedPrefix + pathText(root);
        return tree;
    }

    // A root reached through a link lies on the file system of its target.
    std::error_code error;
    std::filesystem::path realRoot = std::filesystem::canonical(tree.root, error);
    if (error) realRoot = tree.root;

    tree.mounts = mounts ? *mounts : listMounts();
    tree.rootVolume = mountEntryForPath(realRoot, tree.mounts);
    // Sizing the table asks the file system too, and a root on a dead network
    // mount must not hang here: the same bounded query as the volume's space.
    if (const std::optional<SpaceFigures> figures = measureSpaceAt(tree.rootVolume, realRoot))
        reserveNodes(tree.nodes, *figures);

    MountMap mountMap;
    mountMap.build(genericPathText(tree.root), genericPathText(realRoot), tree.mounts);
    if (threads == 0) {
        threads = scanThreadCount(tree.rootVolume);
        spares = spareScanThreadCount(threads);
    }
    const ListingThreads share = affordableShare(threads, spares);
    threads = share.threads;
    spares = share.spares;
    std::optional<ParallelLister> parallel;
    if (makeLister && threads + spares > 1)
        parallel.emplace(lister, *makeLister, threads - 1, spares, mountMap, progress.stop);

    Walk walk(tree, progress, parallel ? static_cast<DirectoryLister&>(*parallel) : lister, mountMap, startNs);
    walk.publish(true);
    walk.run();
    parallel.reset();  // every worker joined before the tree is handed over
    lister.close();    // lets go of the last folder it kept open for the walk
    walk.finish();
    tree.seconds = static_cast<double>(steadyNs() - startNs) / 1e9;
    return tree;
}

}  // namespace

Tree scanTree(const std::filesystem::path& root, ScanProgress& progress, const std::vector<MountEntry>* mounts,
              DirectoryLister& lister) {
    return scanWith(root, progress, mounts, lister, nullptr, 1, 0);
}

Tree scanTree(const std::filesystem::path& root, ScanProgress& progress, const std::vector<MountEntry>* mounts,
              const ListerFactory& makeLister, int threads, int spareThreads) {
    const std::unique_ptr<DirectoryLister> lister = makeLister();
    return scanWith(root, progress, mounts, *lister, &makeLister, std::max(threads, 1), std::max(spareThreads, 0));
}

Tree scanTree(const std::filesystem::path& root, ScanProgress& progress, const std::vector<MountEntry>* mounts) {
    const ListerFactory makeLister = [] { return makeDirectoryLister(); };
    const std::unique_ptr<DirectoryLister> lister = makeLister();
    return scanWith(root, progress, mounts, *lister, &makeLister, 0, 0);
}

}  // namespace fan
