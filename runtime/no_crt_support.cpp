// What a program linked without the C runtime still needs: the compiler may
// turn structure copies and clears into calls of memcpy and memset.
#include <cstddef>

extern "C" void* memcpy(void* dst, const void* src, std::size_t n) {
    auto* d = static_cast<unsigned char*>(dst);
    const auto* s = static_cast<const unsigned char*>(src);
    while (n--) *d++ = *s++;
    return dst;
}

extern "C" void* memset(void* dst, int value, std::size_t n) {
    auto* d = static_cast<unsigned char*>(dst);
    while (n--) *d++ = static_cast<unsigned char>(value);
    return dst;
}
