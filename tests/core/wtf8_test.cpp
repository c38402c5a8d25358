// WTF-8: every UTF-16 string, unpaired surrogates included, survives the trip through bytes.
#include "core/wtf8.h"

#include <gtest/gtest.h>

namespace fan {
namespace {

TEST(Wtf8, RoundTripsAnyUtf16) {
    const std::pair<std::u16string, std::string> cases[] = {
        {u"\U0001F600", "\xF0\x9F\x98\x80"},                        // a pair is one code point
        {std::u16string{u'x', char16_t(0xD800)}, "x\xED\xA0\x80"},  // lone high at the end
    };
    for (const auto& [wide, bytes] : cases) {
        EXPECT_EQ(wtf8FromUtf16(wide), bytes);
        EXPECT_EQ(utf16FromWtf8(bytes), wide);
    }
}

}  // namespace
}  // namespace fan
