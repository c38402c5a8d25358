// Greedy line breaking, measured in the current font.
#include "ui/wrapped_text.h"

#include <FL/fl_draw.H>

#include <algorithm>

namespace fan {

namespace {

// Where the UTF-8 character that starts at `at` ends.
size_t characterEnd(const std::string& text, size_t at) {
    size_t end = at + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        ++end;
    return end;
}

}  // namespace

std::string wrappedText(const std::string& text, int width) {
    std::string out;
    size_t lineStart = 0;
    size_t lineEnd = 0;  // the last place the current line may end; none while <= lineStart
    const auto endLine = [&](size_t end, size_t next) {
        size_t last = end;
        while (last > lineStart && text[last - 1] == ' ')
            --last;
        out.append(text, lineStart, last - lineStart);
        out += '\n';
        lineStart = next;
        lineEnd = 0;
    };
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '\n') {
            endLine(i, i + 1);
            i = lineStart;
            continue;
        }
        const size_t next = characterEnd(text, i);
        if (i > lineStart && fl_width(text.data() + lineStart, static_cast<int>(next - lineStart)) > width) {
            const size_t end = lineEnd > lineStart ? lineEnd : i;
            size_t resume = end;
            while (resume < text.size() && text[resume] == ' ')
                ++resume;
            endLine(end, resume);
            i = std::max(i, lineStart);
            continue;
        }
        if (text[i] == ' ')
            lineEnd = i;
        else if (text[i] == '/' || text[i] == '\\')
            lineEnd = next;
        i = next;
    }
    out.append(text, lineStart, std::string::npos);
    return out;
}

std::string wrappedText(const std::string& text, int width, int maxLines) {
    std::string all = wrappedText(text, width);
    size_t kept = 0;  // where the lines shown before the last one end
    for (int line = 1; line < std::max(maxLines, 1); ++line) {
        const size_t feed = all.find('\n', kept);
        if (feed == std::string::npos) return all;
        kept = feed + 1;
    }
    if (all.find('\n', kept) == std::string::npos) return all;
    // The longest end of the text that fits after the ellipsis, taken whole
    // characters at a time and never across a line feed of its own.
    static const std::string kEllipsis = "\xE2\x80\xA6";
    size_t tail = text.size();
    while (tail > 0) {
        size_t before = tail - 1;
        while (before > 0 && (static_cast<unsigned char>(text[before]) & 0xC0) == 0x80)
            --before;
        if (text[before] == '\n') break;
        const std::string candidate = kEllipsis + text.substr(before);
        if (fl_width(candidate.data(), static_cast<int>(candidate.size())) > width) break;
        tail = before;
    }
    return all.substr(0, kept) + kEllipsis + text.substr(tail);
}

}  // namespace fan
