// Real folder trees in a private temporary folder, removed afterwards.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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
        const std::filesystem::path path = write(relative, "");
        std::filesystem::resize_file(path, static_cast<uintmax_t>(size));
        return path;
    }

    // Writes `text` to root/relative, making the folders on the way.
    std::filesystem::path write(const std::string& relative, const std::string& text) const {
        const std::filesystem::path path = parentMade(relative);
        if (!(std::ofstream(path, std::ios::binary) << text)) throw std::runtime_error("cannot write " + path.string());
        return path;
    }

private:
    std::filesystem::path parentMade(const std::string& relative) const {
        std::filesystem::create_directories((root_ / relative).parent_path());
        return root_ / relative;
    }

    // Works below PATH_MAX too: everything is relative to a descriptor.
    static void removeAll(int dirfd, const char* name) {
        struct stat st;
        if (::fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return;
        if (!S_ISDIR(st.st_mode)) {
            ::unlinkat(dirfd, name, 0);
            return;
        }
        ::fchmodat(dirfd, name, 0700, 0);
        const int fd = ::openat(dirfd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
        if (DIR* dir = fd >= 0 ? ::fdopendir(fd) : nullptr) {
            std::vector<std::string> names;
            while (const dirent* d = ::readdir(dir))
                if (std::string(d->d_name) != "." && std::string(d->d_name) != "..") names.push_back(d->d_name);
            for (const std::string& entry : names)
                removeAll(::dirfd(dir), entry.c_str());
            ::closedir(dir);
        } else if (fd >= 0) {
            ::close(fd);
        }
        ::unlinkat(dirfd, name, AT_REMOVEDIR);
    }

    std::filesystem::path root_;
};

}  // namespace fan::testing
