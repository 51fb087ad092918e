// Dynamic 8-bit strings and the operations on a procedure's string argument
// stack (the frame and the stack themselves are in proc_frame.h).
//
// A DynString is a handle to a counted byte string from the string allocator:
// 0 is the empty string, any other value is the address of the first byte of a
// block whose 32-bit byte count sits just before it and which is followed by a
// zero byte. Procedures hand strings to library routines by pushing them on the
// StringArgStack of their own ProcFrame; the routine reads them where they lie,
// frees the owned ones, leaves the borrowed ones alone, and pushes any string
// result on the same stack.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/proc_frame.h"
#include "runtime/state.h"

// A string constant: 16-bit little-endian byte count, then the bytes, no
// terminator. Literals live back to back in a literal pool (see below).
struct StrLiteral {
    unsigned char count_bytes[2];
    std::uint16_t count() const { return static_cast<std::uint16_t>(count_bytes[0] | (count_bytes[1] << 8)); }
    const char* bytes() const { return reinterpret_cast<const char*>(this) + 2; }
};

// Bytes and length of a string, as view_string gives them.
struct StringView {
    char* bytes;
    std::uint32_t count;
};

// Outcome of allocate_string and shrink_string: error is 0 on success and 7
// after the allocator ran out of memory (handle 0, bytes the static empty string).
struct StringAllocation {
    DynString handle;
    char* bytes;
    std::uint8_t error;
    bool failed() const { return error != 0; }
};

// ---- Operations on strings and handles -------------------------------------

// Releases a block of the string allocator.
void string_block_free(char* bytes);
// The count word before a block's bytes; the static empty string is laid out
// the same way, with a count of 0 before its zero byte.
inline std::uint32_t string_block_count(const char* bytes) {
    std::uint32_t n;
    __builtin_memcpy(&n, bytes - sizeof n, sizeof n);
    return n;
}

// n = 0: handle 0, no allocation. Otherwise a new block of n uninitialised bytes.
StringAllocation allocate_string(std::uint32_t n);
// Frees an owned non-empty handle; 0 and borrowed entries are left alone.
// free_string and view_string are inlined into their callers: the string
// road of a procedure pays no call for them.
[[gnu::always_inline]] inline void free_string(StringEntry e) {
    if (e.owns_block()) string_block_free(reinterpret_cast<char*>(e.handle()));
}
// Bytes and count of a handle or entry; empty gives the static empty string.
[[gnu::always_inline]] inline StringView view_string(StringEntry e) {
    DynString h = e.handle();
    char* bytes = h != 0 ? reinterpret_cast<char*>(h) : static_empty_string();
    return {bytes, string_block_count(bytes)};
}
// A new string of the first n bytes of the owned h (n <= its length); h is
// freed in every case. A checked build reports a larger n and cuts it to the
// length.
StringAllocation shrink_string(DynString h, std::uint32_t n);
// Copies up to and including the first zero byte; src and dst are advanced
// just past the copied terminator.
void copy_cstring(const char*& src, char*& dst);
// a..z become A..Z; every other byte is returned unchanged.
std::uint8_t upper_ascii(std::uint8_t c);
// Copies n bytes, front to back.
void copy_bytes(char* dst, const char* src, std::uint32_t n);

// ---- Operations on the calling procedure's StringArgStack ------------------

// The entry k places below the top (0 = top entry, 1 = next entry). An entry
// that is not on the stack, or was pushed beyond the slots, reads as empty.
// Always inlined: the read is cheaper than a call, and a function the
// compiler might also emit out of line breaks the link between LTO-built
// libraries and a program built without LTO (docs/platform.md).
[[gnu::always_inline]] inline StringEntry string_arg(const ProcFrame& f, std::uint32_t k) {
    std::uint32_t slot = f.strings.depth - 1 - k;
    return slot < kStringArgSlots && k < f.strings.depth ? f.strings.slots[slot] : StringEntry{};
}
// Removes k entries without freeing anything (the caller has freed them).
void drop_string_args(ProcFrame& f, std::uint32_t k);

void push_empty(ProcFrame& f);
// h now belongs to the stack. A variable's string goes on the stack through
// push_borrowed; pushed here and assigned back to that variable,
// string_assign frees nothing.
void push_handle(ProcFrame& f, DynString h);
// Pushes h with the borrowed mark; the variable keeps owning it.
void push_borrowed(ProcFrame& f, DynString h);
// Pushes an owned copy of the literal; records error 7 (and pushes 0) when
// the allocator fails.
void push_literal(ProcFrame& f, const StrLiteral* lit);
// Pushes an owned copy of n bytes; an allocation failure pushes 0 silently.
void push_copy(ProcFrame& f, const char* p, std::uint32_t n);
// Pushes an owned 0D 0A.
void push_crlf(ProcFrame& f);
// Removes the top entry, freeing it if owned.
void pop_string(ProcFrame& f);
// pop_string k times, without a checked build's report of entries that are
// not there: an operation that took k string arguments removes them with it
// after its own expect_string_args.
void pop_string_args(ProcFrame& f, std::uint32_t k);
// Removes the top entry and makes it var's value: owned strings are moved, a
// borrowed one is copied (in place when var has the same length). Records 7
// when the copy cannot be allocated; var is then empty.
void string_assign(ProcFrame& f, DynString& var);
// Replaces the next entry a and the top entry b by one owned entry a+b. When
// the result cannot be allocated, records 7 and leaves one empty entry in
// their place (owned arguments freed). With fewer than two entries the
// missing ones read as empty; a result with no slot is freed.
void string_concat(ProcFrame& f);

// ---- Literal pools -----------------------------------------------------------

// A literal pool laid out at compile time: the literals back to back, each a
// 16-bit count and its bytes. pool[k] is the k-th literal.
template <std::size_t Bytes, std::size_t Count>
struct LiteralPool {
    unsigned char bytes[Bytes];
    std::uint16_t offsets[Count];
    const StrLiteral* operator[](std::size_t k) const {
        return reinterpret_cast<const StrLiteral*>(bytes + offsets[k]);
    }
};

namespace literal_pool_detail {
template <std::size_t Bytes, std::size_t Count, std::size_t N>
constexpr void append(LiteralPool<Bytes, Count>& pool, std::size_t& pos, std::size_t& index, const char (&text)[N]) {
    static_assert(N - 1 <= 0xFFFF, "a literal holds at most 65,535 bytes");
    constexpr std::size_t n = N - 1;  // the terminator of the source text is not part of the literal
    pool.offsets[index++] = static_cast<std::uint16_t>(pos);
    pool.bytes[pos++] = static_cast<unsigned char>(n & 0xFF);
    pool.bytes[pos++] = static_cast<unsigned char>(n >> 8);
    for (std::size_t i = 0; i < n; ++i) pool.bytes[pos++] = static_cast<unsigned char>(text[i]);
}
}  // namespace literal_pool_detail

// constexpr auto pool = make_literal_pool("OK", "Cancel");  // 02 00 4F 4B 06 00 43 61 ...
template <std::size_t... N>
constexpr LiteralPool<((N + 1) + ...), sizeof...(N)> make_literal_pool(const char (&... texts)[N]) {
    static_assert(((N + 1) + ...) <= 0xFFFF, "a literal pool is addressed with 16-bit offsets");
    LiteralPool<((N + 1) + ...), sizeof...(N)> pool{};
    std::size_t pos = 0;
    std::size_t index = 0;
    (literal_pool_detail::append(pool, pos, index, texts), ...);
    return pool;
}
