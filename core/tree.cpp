#include "core/tree.h"

#include <algorithm>
#include <cstring>

#include "core/path_text.h"

namespace fan {

std::filesystem::path Tree::nodePath(uint64_t index) const {
    if (index == 0 || index == kNoNode || index >= nodes.size()) return root;
    std::vector<uint64_t> chain;
    for (uint64_t i = index; i != 0 && i != kNoNode; i = nodes[i].parent)
        chain.push_back(i);
    // Names convert back to exactly the native names the listing gave, so
    // the path leads back to the file even when a name is not valid text.
    std::filesystem::path::string_type text = root.native();
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (text.empty() || text.back() != std::filesystem::path::preferred_separator)
            text += std::filesystem::path::preferred_separator;
        text += nativeText(nodes[*it].name);
    }
    return std::filesystem::path(std::move(text));
}

bool childOrder::operator()(uint64_t a, uint64_t b) const {
    const ScanNode& x = tree.nodes[a];
    const ScanNode& y = tree.nodes[b];
    const bool xMount = x.mountIndex != kNoNode;
    const bool yMount = y.mountIndex != kNoNode;
    if (xMount != yMount) return xMount;
    if (x.size != y.size) return x.size > y.size;
    // std::string compares through char_traits<char>, which compares as
    // unsigned char: bytes >= 0x80 sort after ASCII.
    return x.name < y.name;
}

}  // namespace fan
