#include "tools/common/numbers.h"

#include <cstdint>

bool parse_decimal(const std::string& text, unsigned long& n) {
    if (text.empty() || text.size() > 10) return false;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > 0xFFFFFFFFu) return false;
    n = static_cast<unsigned long>(value);
    return true;
}

bool parse_ms(const std::string& text, unsigned long& ms) {
    std::size_t digits = text.find_first_not_of("0123456789");
    std::string unit = digits == std::string::npos ? "" : text.substr(digits);
    unsigned long scale = unit.empty() || unit == "ms" ? 1 : unit == "s" ? 1000 : 0;
    unsigned long n = 0;
    if (scale == 0 || !parse_decimal(text.substr(0, digits), n)) return false;
    if (n > kLongestMs / scale) return false;
    ms = n * scale;
    return true;
}

std::string bad_ms(const std::string& what, const std::string& text) {
    return what + " \"" + text + "\" is not a time: give whole milliseconds in decimal, with ms or s after them " +
           "or nothing (250, 250ms, 5s), at most " + std::to_string(kLongestMs) + " ms";
}
