// The string allocator: the one seam between the string runtime and the
// memory it lives in. On Windows it is OLEAUT32's SysAllocStringByteLen and
// SysFreeString; on the host an allocator of ours with the same block layout
// (32-bit byte count before the bytes, a zero byte after them).
//
// Every allocation and release passes through here, so a test can count the
// live blocks and make the Nth allocation fail.
#pragma once

#include <cstdint>

// Counters of the allocator. calls counts allocation requests that reached the
// allocator; live is allocations minus releases. fail_at = k makes the k-th
// request from now on fail (1 = the next one); 0 never fails.
struct StringAllocSeam {
    std::uint32_t calls;
    std::int32_t live;
    std::uint32_t fail_at;
};
extern StringAllocSeam string_alloc_seam;

// A block of n >= 1 bytes (uninitialised) with its count before it and a zero
// byte after it; null when memory is exhausted.
char* string_block_alloc(std::uint32_t n);
// Releases a block from string_block_alloc.
void string_block_free(char* bytes);

// Counts one request and tells an allocator whether a test asked it to fail.
// Inline: every allocation asks.
inline bool string_alloc_should_fail() {
    ++string_alloc_seam.calls;
    return string_alloc_seam.fail_at != 0 && --string_alloc_seam.fail_at == 0;
}
