// Numbers in the commands of drive and inspect: decimal only, so that "010"
// is ten and "5s" is never read as 5.
#pragma once

#include <string>

// The longest time a command may name, 2^31 - 1 ms (about 24 days): no limit
// reaches INFINITE, and differences of GetTickCount stay exact.
constexpr unsigned long kLongestMs = 0x7FFFFFFF;

// A plain decimal number, digits only, no sign, no suffix: ids, item
// numbers, process ids. False for anything else or above 2^32 - 1.
bool parse_decimal(const std::string& text, unsigned long& n);

// A time: a decimal number of milliseconds followed by "ms", by "s" for
// seconds, or by nothing ("5s" is 5000, "250ms" and "250" are 250). False
// for anything else or above kLongestMs.
bool parse_ms(const std::string& text, unsigned long& ms);

// The message for a time that parse_ms refused: what was given and what is
// wanted.
std::string bad_ms(const std::string& what, const std::string& text);
