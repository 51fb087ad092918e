// What a program without the C runtime cannot use, told when it is compiled
// rather than as a puzzling link error. kestrowane_program includes this
// header ahead of every source file of the program.
//
// Such a program has no heap: no new, and so no standard container or string
// that allocates. Its data lives in the record named by KW_GLOBAL_AREA, in
// locals, and in the runtime's strings. (Placement new stays available.)
#pragma once

#include <cstddef>

#ifdef __GNUC__
[[gnu::error(
    "a Kestrowane program has no heap: no new, std::vector, std::string or other container that allocates; "
    "keep data in the KW_GLOBAL_AREA record, in locals and in DynString strings")]] void*
operator new(std::size_t);
[[gnu::error(
    "a Kestrowane program has no heap: no new[], std::vector, std::string or other container that "
    "allocates; keep data in the KW_GLOBAL_AREA record, in locals and in DynString strings")]] void*
operator new[](std::size_t);
#endif
