// WTF-8: UTF-8 extended to carry unpaired UTF-16 surrogates, so that any
// UTF-16 string, valid or not, survives a round trip through bytes.
//
// Written for Windows names but kept free of the platform so it can be
// checked anywhere. Pure functions, any thread.
#pragma once

#include <string>
#include <string_view>

namespace fan {

// Each code point as UTF-8; a paired surrogate as its one 4-byte code
// point, an unpaired one as the 3-byte form of its own value.
std::string wtf8FromUtf16(std::u16string_view text);

// The inverse. A byte that does not begin a well-formed sequence (overlong
// forms, a code point above U+10FFFF, a truncated sequence, or a surrogate
// pair written as two 3-byte halves, which WTF-8 never makes) becomes
// U+FFFD, so no input is rejected.
std::u16string utf16FromWtf8(std::string_view text);

}  // namespace fan
