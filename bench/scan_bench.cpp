// Scans one folder once and prints what the walk found and what it cost:
//   files=N folders=N bytes=N seconds=S peak_rss_kb=N
#include <cstdio>
#include <sys/resource.h>

#include "core/scan_engine.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PATH\n", argv[0]);
        return 2;
    }
    fan::ScanProgress progress;
    const fan::Tree tree = fan::scanTree(argv[1], progress, nullptr);
    if (!tree.errorText.empty()) {
        std::fprintf(stderr, "%s\n", tree.errorText.c_str());
        return 1;
    }
    unsigned long long folders = 0;
    for (const fan::ScanNode& node : tree.nodes) folders += node.isFolder ? 1 : 0;
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("nodes=%zu errors=%llu mount_points=%llu\n", tree.nodes.size(),
                static_cast<unsigned long long>(tree.errorCount),
                static_cast<unsigned long long>(tree.mountPointCount));
    std::printf("files=%llu folders=%llu bytes=%llu seconds=%.6f peak_rss_kb=%ld\n",
                static_cast<unsigned long long>(tree.nodes[0].fileCount), folders,
                static_cast<unsigned long long>(tree.nodes[0].size), tree.seconds, usage.ru_maxrss);
    return 0;
}
