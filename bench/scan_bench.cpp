// Scans one folder once and prints what the walk found and what it cost:
//   files=N folders=N bytes=N seconds=S peak_rss_kb=N threads=N spares=N
// THREADS is the number of listing threads and SPARES (default 0) the spare
// ones that join while the listings mostly wait; without THREADS, or with
// 0, the program's own choice of both for the folder's volume.
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

#include "core/scan_engine.h"
#include "core/scan_threads.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: %s PATH [THREADS [SPARES]]\n", argv[0]);
        return 2;
    }
    int threads = argc >= 3 ? std::atoi(argv[2]) : 0;
    int spares = argc == 4 ? std::atoi(argv[3]) : 0;
    if (threads <= 0) {
        std::error_code error;
        const std::filesystem::path real = std::filesystem::canonical(argv[1], error);
        threads = fan::scanThreadCount(fan::mountEntryForPath(error ? argv[1] : real, fan::listMounts()));
        spares = fan::spareScanThreadCount(threads);
    }
    // What runs under the process's descriptor limit, as the scan counts it.
    const fan::ListingThreads running = fan::affordableShare(threads, spares);
    fan::ScanProgress progress;
    const fan::ListerFactory makeLister = [] { return fan::makeDirectoryLister(); };
    const fan::Tree tree = fan::scanTree(argv[1], progress, nullptr, makeLister, threads, spares);
    if (!tree.errorText.empty()) {
        std::fprintf(stderr, "%s\n", tree.errorText.c_str());
        return 1;
    }
    unsigned long long folders = 0;
    for (const fan::ScanNode& node : tree.nodes)
        folders += node.isFolder ? 1 : 0;
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("nodes=%zu errors=%llu mount_points=%llu\n", tree.nodes.size(),
                static_cast<unsigned long long>(tree.errorCount),
                static_cast<unsigned long long>(tree.mountPointCount));
    std::printf("files=%llu folders=%llu bytes=%llu seconds=%.6f peak_rss_kb=%ld threads=%d spares=%d\n",
                static_cast<unsigned long long>(tree.nodes[0].fileCount), folders,
                static_cast<unsigned long long>(tree.nodes[0].size), tree.seconds, usage.ru_maxrss, running.threads,
                running.spares);
    return 0;
}
