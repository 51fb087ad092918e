// String blocks from the OLE Automation allocator. SysAllocStringByteLen with
// a null source gives n uninitialised bytes, the count word before them and a
// zero terminator after them.
#include <windows.h>
// after windows.h, which it needs
#include <oleauto.h>

#include "runtime/string_alloc.h"

char* string_block_alloc(std::uint32_t n) {
    if (string_alloc_should_fail()) return nullptr;
    char* p = reinterpret_cast<char*>(SysAllocStringByteLen(nullptr, n));
    string_alloc_note(p);
    return p;
}

void string_block_free(char* bytes) {
#ifdef KW_CHECKED
    bytes = set_aside_freed_block(bytes);
    if (bytes == nullptr) return;
#endif
    SysFreeString(reinterpret_cast<BSTR>(bytes));
}
