#include "runtime/strings.h"

#include <cstddef>

#include "runtime/errors.h"
#include "runtime/state.h"
#include "runtime/string_alloc.h"

// The pushes, string_concat and string_assign, the steps of a procedure's
// string road, are flattened: the helpers and operations they call are
// inlined into them, where at -Os the compiler would call each one.
// pop_string_args is left to the compiler: flattened, it would make the
// greeting one 512-byte page larger.
#define KW_STRING_ROAD [[gnu::flatten]]

namespace {

// ---- Strings -------------------------------------------------------------------

// Copies n bytes from src to dst, front to back, and leaves dst just past
// them. One string instruction: the fewest instructions and bytes for the
// short strings the road copies, and no call the libraries could not link.
[[gnu::always_inline]] inline void copy_advancing(char*& dst, const char* src, std::size_t n) {
#if defined(__i386__) || defined(__x86_64__)
    asm volatile("rep movsb" : "+D"(dst), "+S"(src), "+c"(n) : : "memory");
#else
    for (; n != 0; --n) *dst++ = *src++;
#endif
}

// The bytes of a handle; the empty string's are the static empty string.
char* bytes_of(DynString h) { return h != 0 ? reinterpret_cast<char*>(h) : static_empty_string(); }

// A new string holding a copy of the n bytes at src: 0 for n = 0 (nothing is
// allocated) and 0 when the allocator is exhausted. The pushes make it in
// line; the rarer copies (shrink_string, assign_copy) share one out of line,
// which inlined there too took the greeting's code 248 bytes over a 512-byte
// page.
[[gnu::always_inline]] inline DynString copy_in_line(const char* src, std::uint32_t n) {
    StringAllocation s = allocate_string(n);
    if (s.handle != 0) copy_bytes(s.bytes, src, n);
    return s.handle;
}
[[gnu::noinline]] DynString new_copy(const char* src, std::uint32_t n) { return copy_in_line(src, n); }

// What allocate_string and shrink_string give for a new string h of n bytes:
// 0 after a failure, with code 7 unless nothing was asked for (n = 0).
StringAllocation outcome(DynString h, std::uint32_t n) {
    if (h == 0) return {0, static_empty_string(), n != 0 ? kOutOfMemory : std::uint8_t{0}};
    return {h, bytes_of(h), 0};
}

// free_string out of line, for the operations whose frees are not on the
// string road: inlined there as well, they would make the greeting larger.
[[gnu::noinline]] void free_entry(StringEntry e) { free_string(e); }

// ---- The string argument stack ---------------------------------------------------

// Removes the top entry and gives it; an empty stack gives the empty entry
// and stays empty.
StringEntry take_top(ProcFrame& f) {
    std::uint32_t depth = f.strings.depth;
    std::uint32_t slot = depth - 1;  // wraps when the stack is empty
    StringEntry e = slot < kStringArgSlots ? f.strings.slots[slot] : StringEntry{};
    f.strings.depth = slot + (depth == 0);
    return e;
}

// Pushes e. Beyond the fifth slot the push is counted but the entry is not
// kept (an owned string is freed), so a caller that pushes too much never
// writes outside its frame and leaks nothing. The depth is a plain 32-bit
// count: after 2^32 pushes that nothing popped it would wrap to 0, and every
// slot index it gives is still checked against the slots. (Stopping it at
// 2^32 - 1 cost the string road 11 instructions.) The depth is counted
// before the slot is written, so that the common push keeps nothing for
// after the rare one's calls (6 instructions of the string road).
void push_entry(ProcFrame& f, StringEntry e, const char* operation) {
    check_program_thread(operation);
    StringArgStack& s = f.strings;
    std::uint32_t depth = s.depth;
    s.depth = depth + 1;
    if (depth < kStringArgSlots) {
        s.slots[depth] = e;
        return;
    }
    report_contract_violation(operation, "push onto a full string argument stack (5 entries)");
    free_string(e);
}

// string_assign of a borrowed string: its bytes are copied over the old
// string's when the lengths agree, and into a new string that replaces it
// otherwise; when the copy cannot be allocated the variable is left empty.
// Strings move far more often than they are copied, so this part stays out
// of the flattened string_assign: inlined, it would make the greeting a page
// larger.
[[gnu::noinline]] void assign_copy(ProcFrame& f, DynString& var, DynString old, StringView from) {
    if (old != 0 && string_block_count(bytes_of(old)) == from.count) {
        copy_bytes(bytes_of(old), from.bytes, from.count);
        return;
    }
    var = new_copy(from.bytes, from.count);
    free_entry(old);
    if (var == 0 && from.count != 0) record_error(f, kOutOfMemory);
}

// ---- Checks of handles handed in (checked builds) ----------------------------

#ifdef KW_CHECKED
// The operations that take a handle from the caller name the calling code in
// their reports, so they are never inlined into it.
#define KW_TAKES_HANDLE [[gnu::noinline]]

// A handle whose block was freed is reported once and read as the empty
// string, so that the program goes on without touching the freed block.
DynString live_or_empty(const char* operation, DynString h, const void* caller) {
    if (StringEntry{h}.is_borrowed()) return h;  // no block there: reported as a marked handle
    return check_string_block(operation, h, caller) ? h : 0;
}

// An owned handle pushed while another entry of the stack owns it already
// would be freed twice.
void check_owned_once(const ProcFrame& f, DynString h, const void* caller) {
    std::uint32_t n = f.strings.depth < kStringArgSlots ? f.strings.depth : kStringArgSlots;
    for (std::uint32_t i = 0; h != 0 && i < n; ++i) {
        if (f.strings.slots[i].owns_block() && f.strings.slots[i].handle() == h) {
            report_handle_owned_twice("push_handle", caller);
            return;
        }
    }
}
#else
#define KW_TAKES_HANDLE
#endif

}  // namespace

// ---- Operations on strings and handles -------------------------------------

StringAllocation allocate_string(std::uint32_t n) {
    return outcome(reinterpret_cast<DynString>(n != 0 ? string_block_alloc(n) : nullptr), n);
}

KW_TAKES_HANDLE StringAllocation shrink_string(DynString h, std::uint32_t n) {
#ifdef KW_CHECKED
    if (live_or_empty("shrink_string", h, __builtin_return_address(0)) == 0 && h != 0) return outcome(0, 0);
    // A count beyond the length is cut to it: the copy reads no byte past the block.
    if (std::uint32_t length = view_string(h).count; n > length) {
        report_contract_violation("shrink_string", "a count beyond the string's length");
        n = length;
    }
#endif
    if (StringEntry{h}.is_borrowed())
        report_contract_violation("shrink_string", "an owned handle carries the borrowed mark");
    DynString copy = new_copy(view_string(h).bytes, n);
    free_entry(h);
    return outcome(copy, n);
}

void copy_cstring(const char*& src, char*& dst) {
    char c;
    do {
        c = *src++;
        *dst++ = c;
    } while (c != 0);
}

std::uint8_t upper_ascii(std::uint8_t c) { return (c >= 0x61 && c <= 0x7A) ? static_cast<std::uint8_t>(c & ~0x20) : c; }

void copy_bytes(char* dst, const char* src, std::uint32_t n) { copy_advancing(dst, src, n); }

// ---- Operations on the calling procedure's StringArgStack ------------------

void drop_string_args(ProcFrame& f, std::uint32_t k) {
    f.strings.depth = k < f.strings.depth ? f.strings.depth - k : 0;
}

KW_STRING_ROAD void push_empty(ProcFrame& f) { push_entry(f, StringEntry{}, "push_empty"); }

KW_TAKES_HANDLE KW_STRING_ROAD void push_handle(ProcFrame& f, DynString h) {
#ifdef KW_CHECKED
    h = live_or_empty("push_handle", h, __builtin_return_address(0));
    check_owned_once(f, h, __builtin_return_address(0));
#endif
    if (StringEntry{h}.is_borrowed())
        report_contract_violation("push_handle", "an owned handle carries the borrowed mark");
    push_entry(f, StringEntry{h}, "push_handle");
}

KW_TAKES_HANDLE KW_STRING_ROAD void push_borrowed(ProcFrame& f, DynString h) {
#ifdef KW_CHECKED
    h = live_or_empty("push_borrowed", h, __builtin_return_address(0));
#endif
    push_entry(f, StringEntry::borrowed(h), "push_borrowed");
}

KW_STRING_ROAD void push_literal(ProcFrame& f, const StrLiteral* lit) {
    std::uint32_t n = lit->count();
    DynString h = copy_in_line(lit->bytes(), n);
    push_entry(f, StringEntry{h}, "push_literal");
    if (h == 0 && n != 0) record_error(f, kOutOfMemory);
}

KW_STRING_ROAD void push_copy(ProcFrame& f, const char* p, std::uint32_t n) {
    push_entry(f, StringEntry{copy_in_line(p, n)}, "push_copy");
}

void push_crlf(ProcFrame& f) {
    static const char crlf[2] = {0x0D, 0x0A};
    push_copy(f, crlf, 2);
}

void pop_string(ProcFrame& f) {
    expect_string_args(f, 1, "pop_string");
    pop_string_args(f, 1);
}

void pop_string_args(ProcFrame& f, std::uint32_t k) {
    for (; k != 0; --k) free_entry(take_top(f));
}

KW_TAKES_HANDLE KW_STRING_ROAD void string_assign(ProcFrame& f, DynString& var) {
    expect_string_args(f, 1, "string_assign");
    StringEntry e = take_top(f);
    DynString old = var;
#ifdef KW_CHECKED
    old = live_or_empty("string_assign", old, __builtin_return_address(0));
#endif

    // An owned string, or the empty one, moves into the variable: no copy.
    if (!e.is_borrowed() || e.handle() == 0) {
        var = e.handle();
        if (old != var) free_string(old);  // a variable assigned its own string keeps it
        return;
    }

    assign_copy(f, var, old, view_string(e));
}

namespace {

// The length of the string h: 0 for the empty string, whose handle is 0.
[[gnu::always_inline]] inline std::uint32_t length_of(DynString h) {
    return h != 0 ? string_block_count(reinterpret_cast<char*>(h)) : 0;
}

// Copies the string h to dst and leaves dst just past the copy. The empty
// string's handle is 0: a copy of no bytes reads nothing from it.
[[gnu::always_inline]] inline void append_string(char*& dst, DynString h) {
    copy_advancing(dst, reinterpret_cast<const char*>(h), length_of(h));
}

// string_concat where the two entries do not both lie in slots. An entry
// that is not on the stack reads as empty, so the join is the one entry that
// is there, or nothing. Below two entries the join has no slot: the top
// entry is freed. With the top entry beyond the slots and the next in the
// last slot, the join is the next entry's bytes, owned: an owned entry stays
// as it is, a borrowed one is copied. Beyond that both read as empty.
[[gnu::noinline]] void concat_anywhere(ProcFrame& f) {
    free_entry(take_top(f));
    StringEntry& a = f.strings.slots[kStringArgSlots - 1];
    if (f.strings.depth == kStringArgSlots && a.is_borrowed()) {
        StringView va = view_string(a);
        a = StringEntry{new_copy(va.bytes, va.count)};
        if (a.handle() == 0 && va.count != 0) record_error(f, kOutOfMemory);
    }
}

}  // namespace

KW_STRING_ROAD void string_concat(ProcFrame& f) {
    expect_string_args(f, 2, "string_concat");
    // The next entry a and the top entry b, when both lie in slots, are
    // replaced by their join in a's slot; the owned ones are freed. When the
    // join cannot be allocated, one empty entry stands there instead.
    std::uint32_t depth = f.strings.depth;
    if (depth - 2 > kStringArgSlots - 2) return concat_anywhere(f);
    f.strings.depth = depth - 1;
    std::uint32_t a_length = length_of(f.strings.slots[depth - 2].handle());
    std::uint32_t total = a_length + length_of(f.strings.slots[depth - 1].handle());
    char* joined = nullptr;
    if (total < a_length) {  // past 32 bits: never allocated
        record_error(f, kOutOfMemory);
    } else if (total != 0) {
        joined = string_block_alloc(total);
        if (joined == nullptr) record_error(f, kOutOfMemory);
    }
    // Only the frame is kept across the allocation, and across the first
    // free: the entries are read again from their slots. Left to itself the
    // compiler keeps them, and what it derived from them, in saved
    // registers, which costs each call more than the reads.
    ProcFrame* frame = &f;
    asm volatile("" : "+r"(frame) : : "memory");
    StringEntry* top = frame->strings.slots + frame->strings.depth;  // b's slot, above the new depth
    StringEntry a = top[-1];
    top[-1] = reinterpret_cast<DynString>(joined);
    if (joined != nullptr) {
        append_string(joined, a.handle());
        append_string(joined, top[0].handle());
    }
    free_string(a);
    asm volatile("" : "+r"(frame) : : "memory");
    free_string(frame->strings.slots[frame->strings.depth]);
}
