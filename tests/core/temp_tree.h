// Real folder trees in a private temporary folder, removed afterwards.
#pragma once

#include <cerrno>
#include <dirent.h>
#include <vector>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fan::testing {

class TempTree {
public:
    TempTree() {
        std::string pattern = (std::filesystem::temp_directory_path() / "fan-test-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        root_ = pattern;
    }
    ~TempTree() { removeAll(AT_FDCWD, root_.c_str()); }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::filesystem::path& root() const { return root_; }

    std::filesystem::path folder(const std::string& relative) const {
        std::filesystem::create_directories(root_ / relative);
        return root_ / relative;
    }

    // A sparse file of `size` bytes.
    std::filesystem::path file(const std::string& relative, off_t size) const {
        const std::filesystem::path path = root_ / relative;
        std::filesystem::create_directories(path.parent_path());
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || ::ftruncate(fd, size) != 0) throw std::runtime_error("cannot make " + path.string());
        ::close(fd);
        return path;
    }

    // Writes `text` to root/relative, making the folders on the way.
    std::filesystem::path write(const std::string& relative, const std::string& text) const {
        const std::filesystem::path path = root_ / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary);
        out << text;
        if (!out) throw std::runtime_error("cannot write " + path.string());
        return path;
    }

private:
    // Works below PATH_MAX too: everything is relative to a descriptor.
    static void removeAll(int dirfd, const char* name) {
        struct stat st;
        if (::fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return;
        if (S_ISDIR(st.st_mode)) {
            ::fchmodat(dirfd, name, 0700, 0);
            const int fd = ::openat(dirfd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
            if (fd >= 0) {
                if (DIR* dir = ::fdopendir(fd)) {
                    std::vector<std::string> names;
                    while (dirent* d = ::readdir(dir)) {
                        const std::string entry = d->d_name;
                        if (entry != "." && entry != "..") names.push_back(entry);
                    }
                    for (const std::string& entry : names) removeAll(::dirfd(dir), entry.c_str());
                    ::closedir(dir);
                } else {
                    ::close(fd);
                }
            }
            ::unlinkat(dirfd, name, AT_REMOVEDIR);
        } else {
            ::unlinkat(dirfd, name, 0);
        }
    }

    std::filesystem::path root_;
};

}  // namespace fan::testing
