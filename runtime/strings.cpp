#include "runtime/strings.h"

#include "runtime/errors.h"
#include "runtime/state.h"
#include "runtime/string_alloc.h"

namespace {

constexpr std::uint8_t kOutOfMemory = 7;

// The helpers below are inlined into the operations: a procedure's string road
// is a handful of operations, and calls between them would cost more than the
// bookkeeping they do. They are written without branches that later ones
// repeat, so that the inlined operations stay small.
#define KW_STRINGS_INLINE [[gnu::always_inline]] inline

// The count word before a string's bytes. The static empty string is laid out
// like a block, with a count of 0 before its zero byte.
KW_STRINGS_INLINE std::uint32_t stored_count(const char* bytes) {
    std::uint32_t n;
    __builtin_memcpy(&n, bytes - sizeof n, sizeof n);
    return n;
}

KW_STRINGS_INLINE StringView view_of(StringEntry e) {
    DynString h = e.handle();
    char* bytes = h != 0 ? reinterpret_cast<char*>(h) : static_empty_string();
    return {bytes, stored_count(bytes)};
}

KW_STRINGS_INLINE void release(StringEntry e) {
    if (e.owns_block()) string_block_free(reinterpret_cast<char*>(e.handle()));
}

// Copies n bytes, 32-bit groups first; gives the end of the copy.
KW_STRINGS_INLINE char* copy_run(char* dst, const char* src, std::uint32_t n) {
    for (; n >= 4; n -= 4, dst += 4, src += 4) {
        std::uint32_t group;
        __builtin_memcpy(&group, src, 4);
        __builtin_memcpy(dst, &group, 4);
    }
    for (; n != 0; --n) *dst++ = *src++;
    return dst;
}

// A new string holding the n bytes at src, copied by Copy: 0 for n = 0 without
// allocating, and 0 when the allocator is exhausted. The pushes copy inline
// (copy_run); the rarer operations share the copy of copy_bytes.
template <auto Copy>
KW_STRINGS_INLINE DynString new_copy(const char* src, std::uint32_t n) {
    if (n == 0) return 0;
    char* p = string_block_alloc(n);
    if (p != nullptr) Copy(p, src, n);
    return reinterpret_cast<DynString>(p);
}

// The outcome of a new string of n bytes as allocate_string reports it.
KW_STRINGS_INLINE StringAllocation allocation_of(DynString h, std::uint32_t n) {
    if (h == 0) return {0, static_empty_string(), n == 0 ? std::uint8_t{0} : kOutOfMemory};
    return {h, reinterpret_cast<char*>(h), 0};
}

// The slot of the entry k places below the top; kStringArgSlots or more when
// that entry is not on the stack or was pushed beyond the slots. One unsigned
// comparison decides both for the small k the operations use: below the
// bottom, depth - 1 - k wraps to a number far above the slots.
KW_STRINGS_INLINE std::uint32_t near_slot(const StringArgStack& s, std::uint32_t k) { return s.depth - 1 - k; }

KW_STRINGS_INLINE StringEntry near_arg(const ProcFrame& f, std::uint32_t k) {
    std::uint32_t slot = near_slot(f.strings, k);
    return slot < kStringArgSlots ? f.strings.slots[slot] : StringEntry{};
}

KW_STRINGS_INLINE void drop_args(ProcFrame& f, std::uint32_t k) {
    f.strings.depth = k < f.strings.depth ? f.strings.depth - k : 0;
}

// An entry with no slot to be kept in: an owned string must not leak.
[[gnu::noinline]] void discard(StringEntry e) { release(e); }

KW_STRINGS_INLINE void push_entry(ProcFrame& f, StringEntry e) {
    StringArgStack& s = f.strings;
    if (s.depth < kStringArgSlots) {
        s.slots[s.depth] = e;
    } else {
        discard(e);
    }
    if (s.depth != UINT32_MAX) ++s.depth;
}

// Puts e in the given slot, or discards it when the slot is beyond the stack.
KW_STRINGS_INLINE void put_slot(ProcFrame& f, std::uint32_t slot, StringEntry e) {
    if (slot < kStringArgSlots) {
        f.strings.slots[slot] = e;
    } else {
        discard(e);
    }
}

}  // namespace

// ---- Operations on strings and handles -------------------------------------

void init_strings() {
    runtime_state.string_state_word = 0;
    runtime_state.string_state_empty = static_empty_string();
}

StringAllocation allocate_string(std::uint32_t n) {
    return allocation_of(n == 0 ? 0 : reinterpret_cast<DynString>(string_block_alloc(n)), n);
}

void free_string(StringEntry e) { release(e); }

StringView view_string(StringEntry e) { return view_of(e); }

StringAllocation shrink_string(DynString h, std::uint32_t n) {
    StringAllocation r = allocation_of(new_copy<copy_bytes>(view_of(h).bytes, n), n);
    release(h);
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

void copy_bytes(char* dst, const char* src, std::uint32_t n) { copy_run(dst, src, n); }

// ---- Operations on the calling procedure's StringArgStack ------------------

StringEntry string_arg(const ProcFrame& f, std::uint32_t k) {
    return k < f.strings.depth ? near_arg(f, k) : StringEntry{};
}

void drop_string_args(ProcFrame& f, std::uint32_t k) { drop_args(f, k); }

void push_empty(ProcFrame& f) { push_entry(f, StringEntry{}); }

void push_handle(ProcFrame& f, DynString h) { push_entry(f, StringEntry{h}); }

void push_borrowed(ProcFrame& f, DynString h) { push_entry(f, StringEntry::borrowed(h)); }

void push_literal(ProcFrame& f, const StrLiteral* lit) {
    std::uint32_t n = lit->count();
    DynString h = new_copy<copy_run>(lit->bytes(), n);
    push_entry(f, StringEntry{h});
    if (h == 0 && n != 0) record_error(f, kOutOfMemory);
}

void push_copy(ProcFrame& f, const char* p, std::uint32_t n) { push_entry(f, StringEntry{new_copy<copy_run>(p, n)}); }

void push_crlf(ProcFrame& f) {
    static const char crlf[2] = {0x0D, 0x0A};
    push_copy(f, crlf, 2);
}

void pop_string(ProcFrame& f) {
    release(near_arg(f, 0));
    drop_args(f, 1);
}

void string_assign(ProcFrame& f, DynString& var) {
    StringEntry e = near_arg(f, 0);
    drop_args(f, 1);
    DynString old = var;
    if (!e.is_borrowed() || e.handle() == 0) {
        var = e.handle();
        // Assigning a variable's own string to it must not free what it keeps.
        if (old != var) release(old);
        return;
    }
    StringView from = view_of(e);
    if (old != 0 && stored_count(reinterpret_cast<char*>(old)) == from.count) {
        copy_bytes(reinterpret_cast<char*>(old), from.bytes, from.count);
        return;
    }
    DynString h = new_copy<copy_bytes>(from.bytes, from.count);
    var = h;
    release(old);
    if (h == 0 && from.count != 0) record_error(f, kOutOfMemory);
}

void string_concat(ProcFrame& f) {
    std::uint32_t a_slot = near_slot(f.strings, 1);
    StringView va = view_of(near_arg(f, 1));
    StringView vb = view_of(near_arg(f, 0));
    std::uint32_t total = va.count + vb.count;
    // A total below a part's count is a count that overflowed.
    char* p = total >= va.count && total != 0 ? string_block_alloc(total) : nullptr;
    if (p != nullptr) copy_run(copy_run(p, va.bytes, va.count), vb.bytes, vb.count);
    release(near_arg(f, 1));
    release(near_arg(f, 0));
    drop_args(f, 1);
    put_slot(f, a_slot, StringEntry{reinterpret_cast<DynString>(p)});
    if (p == nullptr && (total | va.count) != 0) record_error(f, kOutOfMemory);
}
