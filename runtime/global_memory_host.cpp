// The host stand-in for the platform's global memory, for the portable tests.
#include <cstdlib>

#include "runtime/errors.h"

GlobalAllocation alloc_global(std::uint32_t size) {
    void* p = std::calloc(size == 0 ? 1 : size, 1);
    return {p, p == nullptr ? kOutOfMemory : std::uint8_t{0}};
}

std::uint8_t free_global(void* p) {
    std::free(p);
    return 0;
}
