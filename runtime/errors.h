// Run-time errors: error words instead of exceptions.
//
// A failing routine records 0x8000 + number in the calling procedure's error
// word (low byte: the number; 0x80: pending; 0x40: in the handler) and returns
// normally. A procedure that wants to react sets an error-trap target and
// places check points after the statements that can fail:
//
//   std::int32_t load(ProcFrame& outer) {
//       ProcFrame f;
//       KW_ON_ERROR_GOTO(f, failed);
//       push_literal(f, pool[0]);
//       string_assign(f, name);
//       KW_CHECK_POINT(f);        // a pending error continues at `failed`
//       return 0;
//   failed:
//       // f.error_word is 0x40NN here; `goto *f.resume_point;` carries on
//       // after the check point that dispatched the error.
//       return f.error_word & 0xFF;
//   }
//
// The trap target is a code position of the same procedure (a label's address,
// a GNU C++ extension both compilers of this project support), so handing over
// control abandons nothing but the return to the check point: the frame, its
// locals and its StringArgStack stay exactly as they were.
#pragma once

#include <cstdint>

#include "runtime/proc_frame.h"

constexpr std::uint16_t kErrorPending = 0x8000;
constexpr std::uint16_t kErrorInHandler = 0x4000;

// The error numbers the runtime records itself, each named here once.
constexpr std::uint8_t kCallRefused = 5;      // the platform could not do what was asked
constexpr std::uint8_t kValueOutOfRange = 6;  // a value check failed
constexpr std::uint8_t kOutOfMemory = 7;      // an allocation was refused
constexpr std::uint8_t kIndexOutOfRange = 9;  // an index check failed, or no array
constexpr std::uint8_t kNotANumber = 13;      // a text read as a number holds none
constexpr std::uint8_t kInternalError = 51;   // no number given, or the platform refused a free

// error word := 0x8000 + n; n = 0 records kInternalError (51, 0x33) instead.
void record_error(ProcFrame& f, std::uint8_t n);
// record_error with 5 in place of 0.
void record_error_or_5(ProcFrame& f, std::uint8_t n);
void record_error_5(ProcFrame& f);
void record_error_6(ProcFrame& f);
void record_error_52(ProcFrame& f);
void record_error_244(ProcFrame& f);

// Value checks: record error 6 when v lies outside the range; v is unchanged.
void check_byte_range(ProcFrame& f, std::int32_t v);            // 0..255
void check_byte_range_16(ProcFrame& f, std::int32_t v);         // bits 8-15 clear
void check_non_negative(ProcFrame& f, std::int32_t v);          // bit 31 clear
void check_integer_range(ProcFrame& f, std::int32_t v);         // -32768..32767
void check_non_negative_integer(ProcFrame& f, std::int32_t v);  // 0..32767
void check_word_range(ProcFrame& f, std::int32_t v);            // 0..65535

// Gives index - lower (the zero-based position); records 9 when beyond is set
// (the caller found the index above the upper bound) or the position is
// negative. After an error the value given has no meaning.
std::int32_t check_index(ProcFrame& f, std::int32_t index, std::int32_t lower, bool beyond);
// Records 9 when the array reference is 0.
void check_array_present(ProcFrame& f, const void* ref);

// Fixed, zero-filled global memory. Neither wrapper writes an error word: the
// caller may hand the code to record_error.
struct GlobalAllocation {
    void* pointer;
    std::uint8_t error;  // 0, or kOutOfMemory (7) when no memory was given
};
GlobalAllocation alloc_global(std::uint32_t size);
// 0 on success, kInternalError (51) when the platform refused to free the block.
std::uint8_t free_global(void* p);

// The check point. With no pending error nothing changes and it gives null.
// Otherwise it clears the pending flag; with no trap target it gives null (the
// error has been noticed), else it sets the in-handler flag and gives the
// target, where KW_CHECK_POINT continues.
void* dispatch_error_trap(ProcFrame& f);

#define KW_ON_ERROR_GOTO(frame, label) ((frame).error_trap = &&label)
#define KW_CHECK_POINT(frame) KW_CHECK_POINT_AT_(frame, KW_CONCAT_(kw_resume_, __COUNTER__))
#define KW_CONCAT_(a, b) KW_CONCAT2_(a, b)
#define KW_CONCAT2_(a, b) a##b
#define KW_CHECK_POINT_AT_(frame, resume)                                    \
    do {                                                                     \
        (frame).resume_point = &&resume;                                     \
        if (void* kw_target_ = dispatch_error_trap(frame)) goto* kw_target_; \
    } while (0);                                                             \
    resume:
