// String blocks on the host, laid out as the platform allocator lays them out:
// a 32-bit byte count, the bytes, then a zero byte.
#include <cstdlib>
#include <cstring>

#include "runtime/string_alloc.h"

char* string_block_alloc(std::uint32_t n) {
    if (string_alloc_should_fail()) return nullptr;
    auto* block = static_cast<char*>(std::malloc(std::size_t{n} + sizeof(std::uint32_t) + 1));
    if (block == nullptr) return nullptr;
    std::memcpy(block, &n, sizeof n);
    block[sizeof n + n] = 0;
    string_alloc_note(block + sizeof n);
    return block + sizeof n;
}

void string_block_free(char* bytes) {
#ifdef KW_CHECKED
    bytes = set_aside_freed_block(bytes);
    if (bytes == nullptr) return;
#endif
    std::free(bytes - sizeof(std::uint32_t));
}
