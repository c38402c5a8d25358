#include "core/byte_size_text.h"

#include <charconv>

namespace fan {

std::string byteSizeText(uint64_t bytes, SizeUnits units) {
    static const char* const kEnglish[] = {"B", "KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
    static const char* const kRussian[] = {"Б", "КиБ", "МиБ", "ГиБ", "ТиБ", "ПиБ", "ЭиБ"};
    double value = static_cast<double>(bytes);
    int unit = 0;
    while (value >= 1024.0 && unit < 6) {
        value *= 0.0009765625;
        ++unit;
    }
    // Decimals are chosen on the unrounded value: 9.999 KiB prints as "10.00".
    const int decimals = unit == 0 ? 0 : (value < 10.0 ? 2 : 1);
    // to_chars ignores the C locale, so the point stays a full stop even
    // after the toolkit or a library has called setlocale.
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals).ptr;
    std::string text(buffer, end);
    text += ' ';
    text += (units == SizeUnits::English ? kEnglish : kRussian)[unit];
    return text;
}

}  // namespace fan
