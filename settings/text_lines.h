// The settings files' text taken apart line by line.
#pragma once

#include <string_view>

namespace fan {

// Takes the first line off `text` and returns it without its line feed or
// the carriage return before one: files written on Windows end lines in
// CR LF, which text mode there reads as a line feed.
inline std::string_view takeLine(std::string_view& text) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

}  // namespace fan
