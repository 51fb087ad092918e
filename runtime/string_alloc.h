// The string allocator: the one seam between the string runtime and the
// memory it lives in. On Windows it is OLEAUT32's SysAllocStringByteLen and
// SysFreeString; on the host an allocator of ours with the same block layout
// (32-bit byte count before the bytes, a zero byte after them).
//
// In a release build each call goes straight to the platform. In a checked
// build every allocation and release is counted, and a test can make the k-th
// allocation from now on fail (see checked.h for the public queries).
#pragma once

#include <cstdint>

#include "runtime/checked.h"
#include "runtime/strings.h"

// A block of n >= 1 bytes (uninitialised) with its count before it and a zero
// byte after it; null when memory is exhausted.
char* string_block_alloc(std::uint32_t n);
// string_block_free, which releases a block, and string_block_count, which
// reads its count word, are declared in strings.h, whose free_string and
// view_string are inlined into the programs that call them.
inline void set_string_block_count(char* bytes, std::uint32_t n) { __builtin_memcpy(bytes - sizeof n, &n, sizeof n); }

#ifdef KW_CHECKED

// The counters of a checked build. calls counts allocation requests; live is
// allocations minus releases; fail_at = k makes the k-th request from now on
// fail (1 = the next one), 0 never.
struct StringAllocSeam {
    std::uint32_t calls;
    std::int32_t live;
    std::uint32_t fail_at;
};
extern StringAllocSeam string_alloc_seam;

// Counts one request; true when it is the one a test asked to fail.
inline bool string_alloc_should_fail() {
    ++string_alloc_seam.calls;
    return string_alloc_seam.fail_at != 0 && --string_alloc_seam.fail_at == 0;
}
inline void string_alloc_note(char* block) {
    if (block != nullptr) ++string_alloc_seam.live;
}

// A freed block is not given back at once: the last freed blocks stay aside
// with a mark in their count word, so that a later use of one is seen and
// reported instead of reading memory that may belong to another string.
// Takes a block being freed; gives the block to give back to the platform now
// (the oldest kept, its count word restored), or null. A block already freed
// is reported as freed twice and never given back again.
char* set_aside_freed_block(char* bytes);

#else

inline bool string_alloc_should_fail() { return false; }
inline void string_alloc_note(char*) {}

#endif
