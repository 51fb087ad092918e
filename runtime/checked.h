// Checked builds: the runtime reports misuse of its contracts instead of
// absorbing it, and lets an application's own tests look at its strings.
//
// A program opts in with kestrowane_program(target CHECKED); its code and the
// libraries are then compiled with KW_CHECKED. A checked program reports, one
// line each on standard error and to an attached debugger (OutputDebugStringA),
// and counts:
//   - a push onto a full string argument stack (a sixth entry);
//   - an operation that takes more string arguments than the stack holds;
//   - a procedure that returns with entries still on its string argument stack;
//   - an owned handle that carries the borrowed mark (bit 31);
//   - a shrink_string whose count exceeds the string's length (the copy is
//     then cut to the length);
//   - a string block used after it was freed (a variable whose string was
//     handed over as owned, a handle pushed twice as owned), once per block,
//     with the calling code as module+offset;
//   - a string pushed, an operation that takes strings, a control operation,
//     a dialog's run or end, or a timer's or job's start or stop on a thread
//     other than the program's (the thread that started it, which makes and
//     runs its dialogs).
// The operation then goes on exactly as in a release build, so a checked
// program behaves like the shipped one apart from the reports.
//
// In release builds none of this exists: the string allocator is a straight
// call to the platform, with no counters and no branches.
#pragma once

#include <cstdint>

#ifdef KW_CHECKED

// Contract violations reported since the program started.
std::uint32_t contract_violation_count();
// String blocks allocated and not yet freed (handles held by variables and
// stack entries; borrowed entries and the empty string hold none).
std::int32_t live_string_count();
// Allocation requests that reached the string allocator since the program
// started (failed ones included).
std::uint32_t string_allocation_count();
// Makes the k-th string allocation from now on fail (1 = the next one), as an
// exhausted allocator would; 0 never fails. Sweep a procedure by running it
// with k = 1, 2, ... until it needs no more than k - 1 allocations, checking
// its error word and live_string_count() after each run.
void fail_string_allocation_at(std::uint32_t k);

// Reports one violation: "kestrowane: OPERATION: WHAT", and counts it.
void report_contract_violation(const char* operation, const char* what);
// Reports an operation that needs `needed` string arguments on a stack that
// holds `held`.
void report_missing_string_args(const char* operation, std::uint32_t needed, std::uint32_t held);
// Reports a procedure frame that ends with `left` entries on its stack.
void report_frame_left_entries(std::uint32_t left);
// Reports, once per block, an operation handed the string block h after it
// was freed, naming the calling code at caller; false for such a block.
bool check_string_block(const char* operation, std::uintptr_t h, const void* caller);
// Reports a push_handle of a handle that an entry of the same stack owns
// already, naming the calling code at caller.
void report_handle_owned_twice(const char* operation, const void* caller);
// Writes "MODULE+0xOFFSET" for a code address (the module's file name and
// the offset from its load address; addr2line -e MODULE resolves the image
// base plus the offset to a line).
void describe_code_address(const void* address, char* out, std::uint32_t size);
// "NAME+0xOFFSET" into out (size bytes, cut to fit, always terminated).
void format_code_address(const char* name, std::uintptr_t offset, char* out, std::uint32_t size);
// Names the calling thread the program's: start-up calls it; until then the
// first thread checked is taken to be the program's.
void note_program_thread();
// Reports the operation when the calling thread is not the program's.
void check_program_thread(const char* operation);
// The calling thread's number.
std::uint32_t current_thread_id();

// Where the reports go: standard error and an attached debugger on Windows,
// standard error on the host. Takes one line with its line end.
void write_report_line(const char* line, std::uint32_t n);

#else

// A release build reports nothing; these compile to nothing.
inline void report_contract_violation(const char*, const char*) {}
inline void report_missing_string_args(const char*, std::uint32_t, std::uint32_t) {}
inline void report_frame_left_entries(std::uint32_t) {}
inline void note_program_thread() {}
inline void check_program_thread(const char*) {}

#endif
