#include "core/mount_info.h"

#include <charconv>
#include <set>
#include <sstream>

namespace fan {
namespace {

// The whole token must be a signed 32-bit number: "36x" is no mount id.
bool parseId(const std::string& token, int32_t& value) {
    const char* first = token.data();
    const char* last = first + token.size();
    auto [end, error] = std::from_chars(first, last, value);
    return error == std::errc() && end == last && first != last;
}

// One line into `entry`; false for a malformed line.
bool parseLine(const std::string& line, const std::set<std::string>& pseudoTypes, MountEntry& entry) {
    std::istringstream tokens(line);
    std::string mountId, parentId, device, root, mountPoint, options;
    if (!(tokens >> mountId >> parentId >> device >> root >> mountPoint >> options)) return false;
    if (!parseId(mountId, entry.mountId) || !parseId(parentId, entry.parentId)) return false;
    // Optional fields (shared:1, master:1, ...) run up to a lone "-".
    std::string token;
    bool separated = false;
    while (tokens >> token) {
        if (token == "-") {
            separated = true;
            break;
        }
    }
    if (!separated) return false;
    std::string type, source;
    if (!(tokens >> type >> source)) return false;
    entry.mountPoint = unescapeMountField(mountPoint);
    entry.source = unescapeMountField(source);
    entry.fsType = type;
    entry.device = device;
    entry.fsRoot = unescapeMountField(root);
    entry.pseudo = pseudoTypes.count(type) != 0;
    return true;
}

// Mount ids that cannot be reached: over-mounted at their own mount point,
// or below such a mount (except the mount that covers it).
std::set<int32_t> hiddenMounts(const std::vector<MountEntry>& mounts) {
    std::set<int32_t> hidden;
    for (size_t a = 0; a < mounts.size(); ++a) {
        for (size_t b = 0; b < mounts.size(); ++b) {
            // A mount listed as its own parent (the root of an initramfs) does
            // not cover itself.
            if (a == b) continue;
            if (mounts[a].parentId == mounts[b].mountId && mounts[a].mountPoint == mounts[b].mountPoint)
                hidden.insert(mounts[b].mountId);
        }
    }
    for (bool grew = true; grew;) {
        grew = false;
        for (const MountEntry& e : mounts) {
            if (hidden.count(e.mountId) || !hidden.count(e.parentId)) continue;
            for (const MountEntry& p : mounts) {
                if (p.mountId == e.parentId && p.mountPoint != e.mountPoint) {
                    grew |= hidden.insert(e.mountId).second;
                }
            }
        }
    }
    return hidden;
}

bool isOctal(char c) {
    return c >= '0' && c <= '7';
}

}  // namespace

std::vector<MountEntry> parseMountInfo(std::istream& in) {
    const std::set<std::string> pseudoTypes = {
        "proc",   "sysfs",    "devtmpfs", "devpts",    "cgroup",  "cgroup2", "securityfs",  "debugfs",    "tracefs",
        "pstore", "configfs", "mqueue",   "hugetlbfs", "fusectl", "autofs",  "binfmt_misc", "rpc_pipefs",
    };
    std::vector<MountEntry> mounts;
    std::string line;
    while (std::getline(in, line)) {
        MountEntry entry;
        if (parseLine(line, pseudoTypes, entry)) mounts.push_back(std::move(entry));
    }
    const std::set<int32_t> hidden = hiddenMounts(mounts);
    if (hidden.empty()) return mounts;
    std::vector<MountEntry> visible;
    visible.reserve(mounts.size());
    for (MountEntry& e : mounts) {
        if (!hidden.count(e.mountId)) visible.push_back(std::move(e));
    }
    return visible;
}

std::string unescapeMountField(const std::string& field) {
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) && isOctal(field[i + 2]) &&
            isOctal(field[i + 3])) {
            const int value = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
            out.push_back(static_cast<char>(value % 256));
            i += 3;
        } else {
            out.push_back(field[i]);
        }
    }
    return out;
}

int findMountForPath(const std::vector<MountEntry>& mounts, const std::string& path) {
    int best = -1;
    for (size_t i = 0; i < mounts.size(); ++i) {
        if (!isPathWithinMount(path, mounts[i].mountPoint)) continue;
        if (best < 0 || mounts[i].mountPoint.size() > mounts[best].mountPoint.size()) best = static_cast<int>(i);
    }
    return best;
}

std::string describeMountEntry(const MountEntry& entry) {
    if (entry.mountPoint.empty()) return "File system unknown";
    std::string source = entry.source;
    // Only "mount point, blank, label" is cut down to the label: a device path
    // such as /dev/sda1 under "/" keeps its leading slash.
    const std::string& mp = entry.mountPoint;
    if (source.size() > mp.size() && source.compare(0, mp.size(), mp) == 0 && source[mp.size()] == ' ') {
        source.erase(0, source.find_first_not_of(' ', mp.size()));  // npos: nothing but blanks
    }
    std::string line = mp;
    if (!source.empty() && source != mp) line += "  \u2190  " + source;
    if (!entry.fsType.empty()) line += " \u00b7 " + entry.fsType;
    if (!entry.model.empty()) line += " \u00b7 " + entry.model;
    return line;
}

}  // namespace fan
