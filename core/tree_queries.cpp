#include "core/tree_queries.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <utility>

#include "core/byte_size_text.h"

namespace fan {

std::string lowerUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x41 && c <= 0x5A) {
            out += static_cast<char>(c + 0x20);
            continue;
        }
        // Russian capitals all begin with 0xD0; only a complete pair is folded,
        // otherwise the lead byte is copied and the next byte stands alone.
        if (c == 0xD0 && i + 1 < n) {
            const unsigned char d = static_cast<unsigned char>(text[i + 1]);
            if (d == 0x81) {  // Ё moves to the 0xD1 block as ё
                out += static_cast<char>(0xD1);
                out += static_cast<char>(0x91);
                ++i;
                continue;
            }
            if (d >= 0x90 && d <= 0x9F) {  // А-П stay in the 0xD0 block
                out += static_cast<char>(0xD0);
                out += static_cast<char>(d + 0x20);
                ++i;
                continue;
            }
            if (d >= 0xA0 && d <= 0xAF) {  // Р-Я move to the 0xD1 block
                out += static_cast<char>(0xD1);
                out += static_cast<char>(d - 0x20);
                ++i;
                continue;
            }
        }
        out += static_cast<char>(c);
    }
    return out;
}

std::vector<uint64_t> searchByName(const Tree& tree, const std::string& query, uint64_t limit) {
    std::vector<uint64_t> result;
    if (limit == 0 || query.empty()) return result;
    const std::string q = lowerUtf8(query);
    result.reserve(static_cast<size_t>(std::min<uint64_t>(limit, 64)));
    const uint64_t count = tree.nodes.size();
    for (uint64_t i = 0; i < count && result.size() < limit; ++i) {
        if (lowerUtf8(tree.nodes[i].name).find(q) != std::string::npos) result.push_back(i);
    }
    return result;
}

std::vector<uint64_t> largestFiles(const Tree& tree, uint64_t limit) {
    std::vector<uint64_t> result;
    if (limit == 0 || tree.nodes.empty()) return result;
    // A min-heap of (size, index): its top is the pair to drop next. Only
    // `limit` pairs are ever held, so a huge tree is never sorted whole.
    using Pair = std::pair<uint64_t, uint64_t>;
    std::priority_queue<Pair, std::vector<Pair>, std::greater<Pair>> heap;
    const uint64_t count = tree.nodes.size();
    for (uint64_t i = 0; i < count; ++i) {
        const ScanNode& node = tree.nodes[i];
        if (node.isFolder || node.mountIndex != kNoNode) continue;
        const Pair p{node.size, i};
        if (heap.size() < limit) {
            heap.push(p);
        } else if (heap.top() < p) {
            heap.pop();
            heap.push(p);
        }
    }
    result.resize(heap.size());
    // Popping yields ascending pairs; filling from the back gives largest
    // first and, for equal sizes, the higher index first.
    for (size_t k = result.size(); k > 0; --k) {
        result[k - 1] = heap.top().second;
        heap.pop();
    }
    return result;
}

std::string formatBytesRu(uint64_t bytes) {
    return byteSizeText(bytes, SizeUnits::Russian);
}

}  // namespace fan
