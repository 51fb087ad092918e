// Reading a fuzz input as a stream of little-endian fields. Past the end every
// field reads as zero, so any input, the empty one included, is a program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t u8() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint32_t u32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(u8()) << (8 * i);
        return v;
    }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    bool at_end() const { return pos_ >= size_; }
    // What is left of the input, consumed whole.
    const std::uint8_t* rest(std::size_t& n) {
        n = size_ - pos_;
        const std::uint8_t* p = data_ + pos_;
        pos_ = size_;
        return p;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// A failed property: says what was expected and what happened, then aborts so
// libFuzzer keeps the input.
#define FUZZ_EXPECT(cond, ...)                                                       \
    do {                                                                             \
        if (!(cond)) {                                                               \
            std::fprintf(stderr, "%s:%d: expected %s: ", __FILE__, __LINE__, #cond); \
            std::fprintf(stderr, __VA_ARGS__);                                       \
            std::fprintf(stderr, "\n");                                              \
            std::abort();                                                            \
        }                                                                            \
    } while (0)
