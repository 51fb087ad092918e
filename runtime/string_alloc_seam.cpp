#include "runtime/string_alloc.h"

StringAllocSeam string_alloc_seam;
