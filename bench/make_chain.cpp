// Builds a chain of nested folders to benchmark scans of very deep trees.
//
// Usage: make_chain FOLDER DEPTH [comb]
// FOLDER/d/d/d/... DEPTH folders deep, each holding one empty file "f";
// with "comb", each also holds an empty folder "e", so a depth-first walk
// keeps one folder waiting at every level on its way down. Each level is
// made relative to the one above, so the chain may be far deeper than
// PATH_MAX allows a path to be. FOLDER must not exist.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    const long depth = argc >= 3 ? std::strtol(argv[2], nullptr, 10) : 0;
    const bool comb = argc == 4 && std::strcmp(argv[3], "comb") == 0;
    if (argc < 3 || argc > 4 || depth <= 0 || (argc == 4 && !comb)) {
        std::fprintf(stderr, "usage: make_chain FOLDER DEPTH [comb]\n");
        return 2;
    }
    if (::mkdir(argv[1], 0755) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    int fd = ::open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (long level = 0; fd >= 0 && level < depth; ++level) {
        const int file = ::openat(fd, "f", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (file < 0 || (comb && ::mkdirat(fd, "e", 0755) != 0) || ::mkdirat(fd, "d", 0755) != 0) {
            std::perror("make_chain");
            return 1;
        }
        ::close(file);
        const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = next;
    }
    if (fd < 0) {
        std::perror("make_chain");
        return 1;
    }
    ::close(fd);
    std::printf("folders=%ld\n", depth * (comb ? 2 : 1) + 1);
    return 0;
}
