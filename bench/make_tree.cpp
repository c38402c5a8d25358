// Builds a reproducible synthetic folder tree to benchmark scans against.
//
// Usage: make_tree FOLDER FILES FOLDERS SEED
// The same arguments always give the same tree: only std::mt19937_64 (whose
// output the standard fixes) and integer arithmetic written here decide it, so
// the tree does not change with the library version. Files are sparse
// (ftruncate), so even a large tree costs little disk. FOLDER must not exist
// or be an empty folder. Prints "files=N folders=N bytes=N" at the end.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr int kMaxDepth = 12;

// Share of folders at depth 1..12, shaped like a home folder: a few dozen
// entries at the top, most folders three to six levels down, a thin deep tail.
constexpr uint64_t kDepthWeights[kMaxDepth] = {1, 8, 24, 34, 30, 22, 14, 9, 5, 3, 2, 1};

const char* const kWords[] = {
    "report", "photo",  "backup",  "notes",  "data",    "config",  "image",  "draft",  "invoice", "summary",
    "build",  "cache",  "module",  "index",  "readme",  "test",    "music",  "video",  "project", "budget",
    "scan",   "letter", "chart",   "slides", "thesis",  "recipe",  "travel", "family", "src",     "docs",
    "assets", "lib",    "release", "old",    "new",     "final",   "misc",   "work",   "home",    "game",
    "save",   "track",  "album",   "course", "lecture", "meeting", "plan",
};
const char* const kForeignWords[] = {
    // Cyrillic
    "отчёт",
    "фото",
    "Документы",
    "музыка",
    "проект",
    "письмо",
    "Счёт",
    "заметки",
    "Архив",
    "Ёлка",
    "черновик",
    "Видео",
    "лекция",
    "ПЛАН",
    // Latin with diacritics
    "résumé",
    "café",
    "naïve",
    "Übersicht",
    "Straße",
    "años",
    "façade",
    "crème",
    "smörgås",
    "Ærø",
    "début",
    "żółw",
    // CJK and Hangul
    "写真",
    "文件",
    "資料",
    "音楽",
    "報告書",
    "テスト",
    "사진",
    "メモ",
};
const char* const kExtensions[] = {
    ".txt", ".jpg", ".png",    ".pdf", ".docx", ".mp3",  ".mp4", ".cpp", ".h",   ".json", ".xml",
    ".log", ".zip", ".tar.gz", ".odt", ".csv",  ".html", ".py",  ".md",  ".iso", ".JPG",  ".dat",
};

// Hand-written draws over mt19937_64, whose output sequence is fixed by the
// standard (unlike the standard distributions').
class Draw {
public:
    explicit Draw(uint64_t seed) : engine_(seed) {}

    // Uniform in [0, n); n > 0. Rejection removes the modulo bias.
    uint64_t below(uint64_t n) {
        const uint64_t limit = UINT64_MAX - UINT64_MAX % n;
        uint64_t r;
        do
            r = engine_();
        while (r >= limit);
        return r % n;
    }
    bool oneIn(uint64_t n) { return below(n) == 0; }
    // An index into `weights` drawn with those weights.
    size_t weighted(const uint64_t* weights, size_t count) {
        uint64_t total = 0;
        for (size_t i = 0; i < count; ++i)
            total += weights[i];
        uint64_t r = below(total);
        for (size_t i = 0; i < count; ++i) {
            if (r < weights[i]) return i;
            r -= weights[i];
        }
        return count - 1;
    }
    template <typename T, size_t N>
    const T& pick(const T (&list)[N]) {
        return list[below(N)];
    }

private:
    std::mt19937_64 engine_;
};

void capitalise(std::string& word) {
    if (!word.empty() && word[0] >= 'a' && word[0] <= 'z') word[0] = static_cast<char>(word[0] - 32);
}

// A stem of about 3 to 15 bytes: one or two words, sometimes a number.
std::string makeStem(Draw& draw) {
    if (draw.oneIn(7)) {
        std::string stem = draw.pick(kForeignWords);
        if (draw.oneIn(3)) stem += (draw.oneIn(2) ? "_" : " ") + std::to_string(1 + draw.below(30));
        return stem;
    }
    std::string stem = draw.pick(kWords);
    switch (draw.below(5)) {
        case 0:
            stem += std::string(draw.oneIn(2) ? "_" : "-") + draw.pick(kWords);
            break;
        case 1:
            stem += "_" + std::to_string(1990 + draw.below(36));
            break;
        case 2:
            stem += std::to_string(draw.below(1000));
            break;
        default:
            break;
    }
    if (draw.oneIn(4)) capitalise(stem);
    return stem;
}

std::string makeFileName(Draw& draw) {
    std::string name = makeStem(draw);
    if (!draw.oneIn(20)) name += draw.pick(kExtensions);
    return name;
}

// Mostly small files, a few up to 4 MiB: the bit length is uniform, so each
// size class from bytes to MiB holds about as many files as the next.
uint64_t makeFileSize(Draw& draw) {
    const uint64_t bits = draw.below(23);  // 0..22
    return bits == 0 ? 0 : draw.below(uint64_t{1} << bits);
}

// A name not yet taken in its folder: the stem gets "-2", "-3", ... before
// the extension until the creation succeeds.
std::string variant(const std::string& name, unsigned attempt) {
    if (attempt == 0) return name;
    const size_t dot = name.find('.', 1);
    const size_t at = dot == std::string::npos ? name.size() : dot;
    return name.substr(0, at) + "-" + std::to_string(attempt + 1) + name.substr(at);
}

[[noreturn]] void fail(const std::string& what, int error) {
    std::fprintf(stderr, "make_tree: %s: %s\n", what.c_str(), std::strerror(error));
    std::exit(1);
}

// Creates a folder under `parent` and returns its path.
std::string createFolder(const std::string& parent, const std::string& name) {
    for (unsigned attempt = 0;; ++attempt) {
        const std::string path = parent + "/" + variant(name, attempt);
        if (::mkdir(path.c_str(), 0755) == 0) return path;
        if (errno != EEXIST) fail("cannot create folder " + path, errno);
    }
}

void createFile(const std::string& parent, const std::string& name, uint64_t size) {
    for (unsigned attempt = 0;; ++attempt) {
        const std::string path = parent + "/" + variant(name, attempt);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            fail("cannot create file " + path, errno);
        }
        if (::ftruncate(fd, static_cast<off_t>(size)) != 0) {
            const int error = errno;
            ::close(fd);
            fail("cannot set the size of " + path, error);
        }
        if (::close(fd) != 0) fail("cannot close " + path, errno);
        return;
    }
}

bool parseCount(const char* text, uint64_t& out) {
    if (*text == '\0') return false;
    uint64_t value = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return false;
        const uint64_t digit = static_cast<uint64_t>(*p - '0');
        if (value > (UINT64_MAX - digit) / 10) return false;
        value = value * 10 + digit;
    }
    out = value;
    return true;
}

// Accepts a missing path (created) or an empty folder; refuses anything else.
void prepareTop(const std::string& top) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(top, ec);
    if (fs::exists(status)) {
        if (!fs::is_directory(status)) {
            std::fprintf(stderr, "make_tree: %s exists and is not a folder\n", top.c_str());
            std::exit(1);
        }
        const bool empty = fs::is_empty(top, ec);
        if (ec) fail("cannot read " + top, ec.value());
        if (!empty) {
            std::fprintf(stderr, "make_tree: %s is not empty; refusing to write into it\n", top.c_str());
            std::exit(1);
        }
        return;
    }
    fs::create_directories(top, ec);
    if (ec) fail("cannot create " + top, ec.value());
}

}  // namespace

int main(int argc, char** argv) {
    uint64_t fileCount = 0, folderCount = 0, seed = 0;
    if (argc != 5 || !parseCount(argv[2], fileCount) || !parseCount(argv[3], folderCount) ||
        !parseCount(argv[4], seed)) {
        std::fprintf(stderr, "usage: make_tree FOLDER FILES FOLDERS SEED  (counts and seed are unsigned decimals)\n");
        return 2;
    }
    std::string top = argv[1];
    while (top.size() > 1 && top.back() == '/')
        top.pop_back();
    prepareTop(top);

    Draw draw(seed);
    std::vector<std::string> paths{top};  // folder 0 is the top folder, depth 0
    // One urn per depth: a folder appears once plus once per sub-folder it
    // got, so folders that already have many sub-folders tend to get more.
    std::vector<std::vector<uint64_t>> urns(kMaxDepth, std::vector<uint64_t>{});
    urns[0].push_back(0);
    int deepest = 0;
    for (uint64_t i = 0; i < folderCount; ++i) {
        int depth = 1 + static_cast<int>(draw.weighted(kDepthWeights, kMaxDepth));
        // Keep enough folders back to reach depth 12 whenever there are 12.
        const uint64_t left = folderCount - i;
        if (deepest < kMaxDepth && left <= static_cast<uint64_t>(kMaxDepth - deepest)) depth = deepest + 1;
        depth = std::min(depth, deepest + 1);
        std::vector<uint64_t>& parents = urns[depth - 1];
        const uint64_t parent = parents[draw.below(parents.size())];
        paths.push_back(createFolder(paths[parent], makeStem(draw)));
        parents.push_back(parent);
        if (depth < kMaxDepth) urns[depth].push_back(paths.size() - 1);
        deepest = std::max(deepest, depth);
    }

    // Each folder draws a weight 10^6 / j, j uniform in 1..10000: a few
    // folders hold most files, most hold a handful, as on a real disk.
    std::vector<uint64_t> cumulative(paths.size());
    uint64_t total = 0;
    for (uint64_t& c : cumulative) {
        total += 1000000 / (1 + draw.below(10000));
        c = total;
    }
    uint64_t byteSum = 0;
    for (uint64_t i = 0; i < fileCount; ++i) {
        const uint64_t r = draw.below(total);
        const size_t folder =
            static_cast<size_t>(std::upper_bound(cumulative.begin(), cumulative.end(), r) - cumulative.begin());
        const std::string name = makeFileName(draw);
        const uint64_t size = makeFileSize(draw);
        createFile(paths[folder], name, size);
        byteSum += size;
    }
    std::printf("files=%llu folders=%llu bytes=%llu\n", static_cast<unsigned long long>(fileCount),
                static_cast<unsigned long long>(folderCount), static_cast<unsigned long long>(byteSum));
    return 0;
}
