#include "runtime/strings.h"

#include "runtime/errors.h"
#include "runtime/state.h"
#include "runtime/string_alloc.h"

namespace {

constexpr std::uint8_t kOutOfMemory = 7;

std::uint32_t stored_count(DynString h) {
    std::uint32_t n;
    __builtin_memcpy(&n, reinterpret_cast<const char*>(h) - sizeof n, sizeof n);
    return n;
}

// Index of the slot that holds the entry k places below the top, or -1 when
// that entry is not on the stack or was pushed beyond the slots.
std::int32_t slot_of(const StringArgStack& s, std::uint32_t k) {
    if (k >= s.depth) return -1;
    std::uint32_t slot = s.depth - 1 - k;
    return slot < kStringArgSlots ? static_cast<std::int32_t>(slot) : -1;
}

void push_entry(ProcFrame& f, StringEntry e) {
    StringArgStack& s = f.strings;
    if (s.depth < kStringArgSlots) {
        s.slots[s.depth] = e;
    } else {
        free_string(e);  // no slot to keep it in: it must not leak
    }
    if (s.depth != UINT32_MAX) ++s.depth;
}

void set_top(ProcFrame& f, StringEntry e) {
    std::int32_t slot = slot_of(f.strings, 0);
    if (slot >= 0) {
        f.strings.slots[slot] = e;
    } else {
        free_string(e);
    }
}

}  // namespace

// ---- Operations on strings and handles -------------------------------------

void init_strings() {
    runtime_state.string_state_word = 0;
    runtime_state.string_state_empty = static_empty_string();
}

StringAllocation allocate_string(std::uint32_t n) {
    if (n == 0) return {0, static_empty_string(), 0};
    char* p = string_block_alloc(n);
    if (p == nullptr) return {0, static_empty_string(), kOutOfMemory};
    return {reinterpret_cast<DynString>(p), p, 0};
}

void free_string(StringEntry e) {
    if (e.owns_block()) string_block_free(reinterpret_cast<char*>(e.handle()));
}

StringView view_string(StringEntry e) {
    DynString h = e.handle();
    if (h == 0) return {static_empty_string(), 0};
    return {reinterpret_cast<char*>(h), stored_count(h)};
}

StringAllocation shrink_string(DynString h, std::uint32_t n) {
    StringAllocation r = allocate_string(n);
    if (!r.failed()) copy_bytes(r.bytes, view_string(h).bytes, n);
    free_string(h);
    return r;
}

void copy_cstring(const char*& src, char*& dst) {
    char c;
    do {
        c = *src++;
        *dst++ = c;
    } while (c != 0);
}

std::uint8_t upper_ascii(std::uint8_t c) { return (c >= 0x61 && c <= 0x7A) ? static_cast<std::uint8_t>(c & ~0x20) : c; }

void copy_bytes(char* dst, const char* src, std::uint32_t n) {
    for (; n >= 4; n -= 4, dst += 4, src += 4) {
        std::uint32_t group;
        __builtin_memcpy(&group, src, 4);
        __builtin_memcpy(dst, &group, 4);
    }
    for (; n != 0; --n) *dst++ = *src++;
}

// ---- Operations on the calling procedure's StringArgStack ------------------

StringEntry string_arg(const ProcFrame& f, std::uint32_t k) {
    std::int32_t slot = slot_of(f.strings, k);
    return slot >= 0 ? f.strings.slots[slot] : StringEntry{};
}

void drop_string_args(ProcFrame& f, std::uint32_t k) {
    f.strings.depth = k < f.strings.depth ? f.strings.depth - k : 0;
}

void push_empty(ProcFrame& f) { push_entry(f, StringEntry{}); }

void push_handle(ProcFrame& f, DynString h) { push_entry(f, StringEntry{h}); }

void push_borrowed(ProcFrame& f, DynString h) { push_entry(f, StringEntry::borrowed(h)); }

void push_literal(ProcFrame& f, const StrLiteral* lit) {
    std::uint32_t n = lit->count();
    StringAllocation r = allocate_string(n);
    if (!r.failed()) copy_bytes(r.bytes, lit->bytes(), n);
    push_entry(f, StringEntry{r.handle});
    if (r.failed()) record_error(f, r.error);
}

void push_copy(ProcFrame& f, const char* p, std::uint32_t n) {
    StringAllocation r = allocate_string(n);
    if (!r.failed()) copy_bytes(r.bytes, p, n);
    push_entry(f, StringEntry{r.handle});
}

void push_crlf(ProcFrame& f) {
    static const char crlf[2] = {0x0D, 0x0A};
    push_copy(f, crlf, 2);
}

void pop_string(ProcFrame& f) {
    free_string(string_arg(f, 0));
    drop_string_args(f, 1);
}

void string_assign(ProcFrame& f, DynString& var) {
    StringEntry e = string_arg(f, 0);
    drop_string_args(f, 1);
    DynString old = var;
    if (!e.is_borrowed() || e.handle() == 0) {
        var = e.handle();
        // Assigning a variable's own string to it must not free what it keeps.
        if (old != var) free_string(old);
        return;
    }
    StringView from = view_string(e);
    if (old != 0 && stored_count(old) == from.count) {
        copy_bytes(reinterpret_cast<char*>(old), from.bytes, from.count);
        return;
    }
    StringAllocation r = allocate_string(from.count);
    if (!r.failed()) copy_bytes(r.bytes, from.bytes, from.count);
    var = r.handle;
    free_string(old);
    if (r.failed()) record_error(f, r.error);
}

void string_concat(ProcFrame& f) {
    StringEntry b = string_arg(f, 0);
    StringEntry a = string_arg(f, 1);
    StringView vb = view_string(b);
    StringView va = view_string(a);
    std::uint32_t total = va.count + vb.count;
    StringAllocation r = total < va.count ? StringAllocation{0, static_empty_string(), kOutOfMemory}  // count overflow
                                          : allocate_string(total);
    if (!r.failed()) {
        copy_bytes(r.bytes, va.bytes, va.count);
        copy_bytes(r.bytes + va.count, vb.bytes, vb.count);
    }
    free_string(a);
    free_string(b);
    drop_string_args(f, 1);
    set_top(f, StringEntry{r.handle});
    if (r.failed()) record_error(f, r.error);
}
