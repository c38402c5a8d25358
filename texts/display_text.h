// Names and paths as the interface draws them: readable whatever bytes a
// file name holds, while the name itself stays untouched for every action.
#pragma once

#include <string>
#include <string_view>

namespace fan {

// `text` as one printable line of UTF-8: every byte that does not belong to
// a well-formed UTF-8 sequence becomes U+FFFD; a tab, a line feed and a
// carriage return become "\t", "\n" and "\r"; every other control character
// of C0 and DEL becomes "\x" and two hex digits ("\x01", "\x7f"). Everything
// else is kept as it is. Pure, any thread.
std::string displayText(std::string_view text);

}  // namespace fan
