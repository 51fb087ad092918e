#include "runtime/string_alloc.h"

StringAllocSeam string_alloc_seam;

// Shared by both allocators: decides whether this request is the one a test
// asked to fail.
bool string_alloc_should_fail() {
    ++string_alloc_seam.calls;
    if (string_alloc_seam.fail_at == 0) return false;
    return --string_alloc_seam.fail_at == 0;
}
