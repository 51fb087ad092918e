// UTF-16 copies of the caller's texts and UTF-8 strings made from UTF-16, for
// the operations that talk to the common controls in their W messages: the
// controls keep UTF-16 texts, and the W messages hand them over whole in any
// script, whatever the program's code page. Internal, like toolkit_private.h;
// every helper is inline, so a file that uses one takes no other file with it.
#pragma once

#include "toolkit/toolkit_private.h"

// A UTF-16 copy of a string in the program's code page (up to its first zero
// byte), in the process heap; empty (not null) for the empty string, null
// when it could not be allocated.
class WideCopy {
public:
    explicit WideCopy(StringView s) {
        std::uint32_t count = 0;
        while (count < s.count && s.bytes[count] != 0) ++count;
        int n = count == 0 || count > 0x3FFFFFFF
                    ? 0
                    : MultiByteToWideChar(CP_ACP, 0, s.bytes, static_cast<int>(count), nullptr, 0);
        text_ = static_cast<WCHAR*>(HeapAlloc(GetProcessHeap(), 0, (static_cast<SIZE_T>(n) + 1) * sizeof(WCHAR)));
        if (text_ == nullptr) return;
        if (n > 0) MultiByteToWideChar(CP_ACP, 0, s.bytes, static_cast<int>(count), text_, n);
        text_[n] = 0;
    }
    ~WideCopy() {
        if (text_ != nullptr) HeapFree(GetProcessHeap(), 0, text_);
    }
    WideCopy(const WideCopy&) = delete;
    WideCopy& operator=(const WideCopy&) = delete;

    WCHAR* text() const { return text_; }

private:
    WCHAR* text_ = nullptr;
};

// A scratch buffer of UTF-16 units in the process heap; null units() when
// it could not be allocated.
class WideBuffer {
public:
    explicit WideBuffer(std::uint32_t units)
        : units_(
              static_cast<WCHAR*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, (SIZE_T{units} + 1) * sizeof(WCHAR)))) {
    }
    ~WideBuffer() {
        if (units_ != nullptr) HeapFree(GetProcessHeap(), 0, units_);
    }
    WideBuffer(const WideBuffer&) = delete;
    WideBuffer& operator=(const WideBuffer&) = delete;

    WCHAR* units() const { return units_; }

private:
    WCHAR* units_;
};

// Pushes the zero-terminated UTF-16 text (null: the empty string) in the
// program's code page; the empty string and error 7 when it could not be
// allocated.
inline void push_wide_text(ProcFrame& f, const WCHAR* w) {
    int n = w == nullptr || w[0] == 0 ? 0 : WideCharToMultiByte(CP_ACP, 0, w, -1, nullptr, 0, nullptr, nullptr);
    std::uint32_t bytes = n > 1 ? static_cast<std::uint32_t>(n) - 1 : 0;  // without the terminator
    StringAllocation s = allocate_string(bytes);
    if (s.handle != 0 && bytes != 0) {
        int made = WideCharToMultiByte(CP_ACP, 0, w, -1, s.bytes, n, nullptr, nullptr);
        if (made != n) s = shrink_string(s.handle, 0);
    }
    push_new_string(f, s);
}
