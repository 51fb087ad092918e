#include <windows.h>

#include "runtime/errors.h"

GlobalAllocation alloc_global(std::uint32_t size) {
    void* p = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size);
    return {p, p == nullptr ? kOutOfMemory : std::uint8_t{0}};
}

std::uint8_t free_global(void* p) { return GlobalFree(p) == nullptr ? 0 : kInternalError; }
