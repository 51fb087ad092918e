// Texts compared and searched as a person reads them: both texts are
// converted from the program's code page to UTF-16, where the platform's
// language tables order them and fold their case in every script.
#include <windows.h>

#include "runtime/errors.h"
#include "runtime/text.h"

namespace {

// A text in UTF-16, with the byte position (from 0) in the original text of
// the character each unit belongs to, so that a match found among the units
// can be given back as a position in the caller's bytes.
struct WideText {
    WCHAR* units = nullptr;
    std::uint32_t* byte_of = nullptr;  // only when asked for
    std::uint32_t length = 0;
    bool ok = true;

    WideText(const WideText&) = delete;
    WideText& operator=(const WideText&) = delete;
    WideText() = default;
    ~WideText() {
        if (units != nullptr) HeapFree(GetProcessHeap(), 0, units);
        if (byte_of != nullptr) HeapFree(GetProcessHeap(), 0, byte_of);
    }
};

void* allocate(std::uint32_t count, std::uint32_t size) {
    // At most 2^32 - 1 bytes in a text, so at most that many units: the
    // product stays within 64 bits.
    std::uint64_t bytes = static_cast<std::uint64_t>(count) * size;
    if (bytes == 0) bytes = size;
    if (bytes > SIZE_MAX) return nullptr;
    return HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(bytes));
}

// The number of bytes of the character that starts at p in the code page:
// 1 to 4 in UTF-8, 1 or 2 in a double-byte code page. A byte that begins no
// complete character counts as one, as the conversion replaces it by one
// unit (U+FFFD). In UTF-8 the second byte's range also rules out overlong
// forms (E0 80..9F, F0 80..8F), surrogates (ED A0..BF) and code points past
// U+10FFFF (F4 90..BF), which the conversion replaces byte by byte too.
std::uint32_t character_bytes(UINT code_page, const unsigned char* p, std::uint32_t left) {
    if (code_page == CP_UTF8) {
        unsigned lead = p[0];
        std::uint32_t n = lead < 0xC2 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 1;
        if (n == 1 || n > left) return 1;
        unsigned low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
        unsigned high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
        if (p[1] < low || p[1] > high) return 1;
        for (std::uint32_t i = 2; i < n; ++i)
            if ((p[i] & 0xC0) != 0x80) return 1;
        return n;
    }
    return left >= 2 && IsDBCSLeadByteEx(code_page, p[0]) ? 2 : 1;
}

// Converts the count bytes at bytes. With positions, converts character by
// character and notes each unit's byte position; without, in one call.
void widen(WideText& w, const char* bytes, std::uint32_t count, bool positions) {
    UINT code_page = GetACP();
    // Every byte gives at most one unit, and a 4-byte UTF-8 character two.
    w.units = static_cast<WCHAR*>(allocate(count, sizeof(WCHAR)));
    if (positions) w.byte_of = static_cast<std::uint32_t*>(allocate(count, sizeof(std::uint32_t)));
    if (w.units == nullptr || (positions && w.byte_of == nullptr)) {
        w.ok = false;
        return;
    }
    if (!positions) {
        int n = count == 0 || count > 0x7FFFFFFF ? 0
                                                 : MultiByteToWideChar(code_page, 0, bytes, static_cast<int>(count),
                                                                       w.units, static_cast<int>(count));
        w.ok = count == 0 || n > 0;
        w.length = static_cast<std::uint32_t>(n);
        return;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    for (std::uint32_t at = 0; at < count;) {
        std::uint32_t n = character_bytes(code_page, p + at, count - at);
        int made = MultiByteToWideChar(code_page, 0, bytes + at, static_cast<int>(n), w.units + w.length, 2);
        if (made <= 0) {
            w.units[w.length] = 0xFFFD;
            made = 1;
        }
        for (int i = 0; i < made; ++i) w.byte_of[w.length++] = at;
        at += n;
    }
}

// Folds the case of every letter in place: lower case, one unit for one.
void fold_case(WideText& w) {
    if (w.ok && w.length != 0)
        LCMapStringW(LOCALE_INVARIANT, LCMAP_LOWERCASE, w.units, static_cast<int>(w.length), w.units,
                     static_cast<int>(w.length));
}

}  // namespace

std::int32_t compare_text(ProcFrame& f, std::uint32_t flags) {
    expect_string_args(f, 2, "compare_text");
    StringView a = view_string(string_arg(f, 1));
    StringView b = view_string(string_arg(f, 0));
    WideText wa, wb;
    widen(wa, a.bytes, a.count, false);
    widen(wb, b.bytes, b.count, false);
    pop_string_args(f, 2);
    if (!wa.ok || !wb.ok) {
        record_error(f, kOutOfMemory);
        return 0;
    }
    DWORD options = (flags & kTextIgnoreCase) ? NORM_IGNORECASE : 0;
    int order = CompareStringW(LOCALE_USER_DEFAULT, options, wa.units, static_cast<int>(wa.length), wb.units,
                               static_cast<int>(wb.length));
    return order == 0 ? 0 : order - CSTR_EQUAL;
}

std::int32_t find_text(ProcFrame& f, std::int32_t start, std::uint32_t flags) {
    expect_string_args(f, 2, "find_text");
    StringView where = view_string(string_arg(f, 1));
    StringView what = view_string(string_arg(f, 0));
    std::uint32_t from = start > 1 ? static_cast<std::uint32_t>(start) - 1 : 0;
    if (from > where.count) {
        pop_string_args(f, 2);
        return 0;
    }
    // A start inside a character moves to the next one: the characters are
    // counted from the first byte, as only they tell where each one begins.
    const auto* bytes = reinterpret_cast<const unsigned char*>(where.bytes);
    UINT code_page = GetACP();
    for (std::uint32_t at = 0; at < from;) {
        at += character_bytes(code_page, bytes + at, where.count - at);
        if (at > from) from = at;
    }
    WideText text, pattern;
    widen(text, where.bytes + from, where.count - from, true);
    // The text sought is converted character by character too: the platform
    // may replace a wrong sequence by another number of units in one call
    // than in calls of a character each (F0 80 80 80: three, or one), and
    // then the same bytes would not match themselves.
    widen(pattern, what.bytes, what.count, true);
    pop_string_args(f, 2);
    if (!text.ok || !pattern.ok) {
        record_error(f, kOutOfMemory);
        return 0;
    }
    if (pattern.length == 0) return static_cast<std::int32_t>(from + 1);
    if (flags & kTextIgnoreCase) {
        fold_case(text);
        fold_case(pattern);
    }
    for (std::uint32_t i = 0; i + pattern.length <= text.length; ++i) {
        // A match begins with a character, not inside one.
        if (i != 0 && text.byte_of[i] == text.byte_of[i - 1]) continue;
        std::uint32_t k = 0;
        while (k < pattern.length && text.units[i + k] == pattern.units[k]) ++k;
        if (k == pattern.length) return static_cast<std::int32_t>(from + text.byte_of[i] + 1);
    }
    return 0;
}
