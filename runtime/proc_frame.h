// The procedure frame and its string argument stack.
//
// Every compiled procedure owns one ProcFrame: its result, its error word and
// error-trap positions (see errors.h), and the StringArgStack on which it
// hands strings to library routines. A DynString is a handle to a counted
// byte string (see strings.h); a stack entry is a handle plus the borrowed
// mark.
#pragma once

#include <cstdint>

#include "runtime/checked.h"

using DynString = std::uintptr_t;

// One entry of a StringArgStack: one word, the handle with the borrowed mark
// in its top bit (bit 31 on x86, bit 63 on x86-64). String blocks always lie
// in the lower half of the address space: a 32-bit program is not
// large-address-aware, and user-mode addresses of a 64-bit one are far below
// bit 63. StringEntry{} is the empty entry; a plain declaration leaves an
// entry unset, as a frame's slots are.
class StringEntry {
public:
    static constexpr DynString kBorrowedMark = ~(~DynString{0} >> 1);

    constexpr StringEntry() = default;
    constexpr StringEntry(DynString owned) : word_(owned) {}  // NOLINT: a handle is an owned entry
    // The entry's word is the handle with the mark set.
    static constexpr StringEntry borrowed(DynString h) { return StringEntry(h | kBorrowedMark); }

    constexpr DynString handle() const { return word_ & ~kBorrowedMark; }
    constexpr bool is_borrowed() const { return (word_ & kBorrowedMark) != 0; }
    // Owned and non-empty: the entry's remover must free it or move it on.
    // A nonzero word without the mark is exactly a positive signed word.
    constexpr bool owns_block() const { return static_cast<std::intptr_t>(word_) > 0; }

private:
    DynString word_;
};

// Five pending string arguments at most. The depth counts every push and pop;
// a push beyond the fifth slot stores nothing (an owned string is freed) and
// that entry reads as empty, so a misbehaving caller never writes outside the
// frame and its later pops still balance. A checked build reports that push.
constexpr std::uint32_t kStringArgSlots = 5;

// A new stack leaves its slots as they are: no slot at or above the depth is
// ever read, so every procedure call is spared zeroing all five.
struct StringArgStack {
    std::uint32_t depth = 0;
    StringEntry slots[kStringArgSlots];
};

// The activation record of every compiled procedure. error_trap is the code
// position a pending error sends execution to (see errors.h); resume_point is
// the position just after the check point that dispatched it.
struct ProcFrame {
    std::int32_t result = 0;
    std::uint16_t error_word = 0;
    std::uint16_t unused_ = 0;  // so that error_word is zeroed in one word store with it
    void* error_trap = nullptr;
    void* resume_point;  // set by each check point before the handler can read it
    StringArgStack strings;
#ifdef KW_CHECKED
    // Every push is matched by the operation that consumes the entry; a
    // procedure that returns with entries left has leaked or lost arguments.
    ~ProcFrame() {
        if (strings.depth != 0) report_frame_left_entries(strings.depth);
    }
#endif
};

// Checked builds report an operation that takes more string arguments than
// the caller's stack holds; release builds compile this to nothing. Every
// operation that takes string arguments calls it first.
inline void expect_string_args([[maybe_unused]] const ProcFrame& f, [[maybe_unused]] std::uint32_t n,
                               [[maybe_unused]] const char* operation) {
#ifdef KW_CHECKED
    check_program_thread(operation);
    if (f.strings.depth < n) report_missing_string_args(operation, n, f.strings.depth);
#endif
}
