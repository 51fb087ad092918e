// The checked build's reports and counters (compiled into the checked
// libraries only).
#include "runtime/checked.h"

#include "runtime/string_alloc.h"

StringAllocSeam string_alloc_seam;

namespace {

std::uint32_t violations;

// A report line under construction, begun with the prefix every report
// carries; long texts are cut, never overrun.
struct ReportLine {
    char bytes[224];
    std::uint32_t n = 0;

    ReportLine() { add("kestrowane: "); }

    void add(const char* text) {
        while (*text != 0 && n < sizeof bytes - 2) bytes[n++] = *text++;
    }
    void add(std::uint32_t v) {
        char digits[10];
        std::uint32_t k = 0;
        do {
            digits[k++] = static_cast<char>('0' + v % 10);
            v /= 10;
        } while (v != 0);
        while (k != 0 && n < sizeof bytes - 2) bytes[n++] = digits[--k];
    }
    void send() {
        bytes[n++] = '\n';
        bytes[n] = 0;
        write_report_line(bytes, n);
        ++violations;
    }
};

// ---- Freed blocks set aside --------------------------------------------------

// The count word of a block set aside: freed and not reported yet, or
// reported. No string of that length can exist.
constexpr std::uint32_t kFreedMark = 0xF4EED0DDu;
constexpr std::uint32_t kReportedMark = 0xF4EED0DEu;
constexpr std::uint32_t kSetAside = 256;

struct SetAside {
    char* block;
    std::uint32_t count;  // the block's own count, put back before it is given back
};
SetAside set_aside[kSetAside];
std::uint32_t next_set_aside;

bool is_freed(const char* bytes) {
    std::uint32_t n = string_block_count(bytes);
    return n == kFreedMark || n == kReportedMark;
}

// The calling code: the call instruction just before the return address, so
// that addr2line gives the line of the call.
void add_caller(ReportLine& line, const void* caller) {
    char where[96];
    describe_code_address(static_cast<const char*>(caller) - 1, where, sizeof where);
    line.add(" (called from ");
    line.add(where);
    line.add(")");
}

}  // namespace

char* set_aside_freed_block(char* bytes) {
    if (is_freed(bytes)) {
        if (string_block_count(bytes) == kFreedMark) {
            ReportLine line;
            line.add("a string block was freed twice");
            line.send();
        }
        set_string_block_count(bytes, kReportedMark);
        return nullptr;
    }
    --string_alloc_seam.live;
    SetAside& slot = set_aside[next_set_aside];
    next_set_aside = (next_set_aside + 1) % kSetAside;
    char* oldest = slot.block;
    if (oldest != nullptr) set_string_block_count(oldest, slot.count);
    slot = {bytes, string_block_count(bytes)};
    set_string_block_count(bytes, kFreedMark);
    return oldest;
}

bool check_string_block(const char* operation, std::uintptr_t h, const void* caller) {
    char* bytes = reinterpret_cast<char*>(h);
    if (h == 0 || !is_freed(bytes)) return true;
    if (string_block_count(bytes) == kFreedMark) {
        ReportLine line;
        line.add(operation);
        line.add(": uses a string block already freed");
        add_caller(line, caller);
        line.send();
        set_string_block_count(bytes, kReportedMark);
    }
    return false;
}

void report_handle_owned_twice(const char* operation, const void* caller) {
    ReportLine line;
    line.add(operation);
    line.add(": the handle is owned by another entry of the stack already");
    add_caller(line, caller);
    line.send();
}

void format_code_address(const char* name, std::uintptr_t offset, char* out, std::uint32_t size) {
    if (size == 0) return;
    std::uint32_t n = 0;
    while (*name != 0 && n + 1 < size) out[n++] = *name++;
    char hex[2 + 2 * sizeof offset + 2] = "+0x";
    std::uint32_t k = 3;
    for (int shift = 8 * sizeof offset - 4; shift >= 0; shift -= 4) {
        std::uint32_t digit = (offset >> shift) & 0xF;
        if (digit != 0 || k > 3 || shift == 0) hex[k++] = "0123456789abcdef"[digit];
    }
    for (std::uint32_t i = 0; i < k && n + 1 < size; ++i) out[n++] = hex[i];
    out[n] = 0;
}

std::uint32_t contract_violation_count() { return violations; }
std::int32_t live_string_count() { return string_alloc_seam.live; }
std::uint32_t string_allocation_count() { return string_alloc_seam.calls; }
void fail_string_allocation_at(std::uint32_t k) { string_alloc_seam.fail_at = k; }

namespace {
std::uint32_t program_thread;  // 0 until start-up or the first check names it
}  // namespace

void note_program_thread() { program_thread = current_thread_id(); }

void check_program_thread(const char* operation) {
    std::uint32_t thread = current_thread_id();
    if (program_thread == 0) program_thread = thread;
    if (thread != program_thread) report_contract_violation(operation, "called from a thread other than the program's");
}

void report_contract_violation(const char* operation, const char* what) {
    ReportLine line;
    line.add(operation);
    line.add(": ");
    line.add(what);
    line.send();
}

void report_missing_string_args(const char* operation, std::uint32_t needed, std::uint32_t held) {
    ReportLine line;
    line.add(operation);
    line.add(": takes ");
    line.add(needed);
    line.add(needed == 1 ? " string argument, the stack holds " : " string arguments, the stack holds ");
    line.add(held);
    line.send();
}

void report_frame_left_entries(std::uint32_t left) {
    ReportLine line;
    line.add("a procedure returned with ");
    line.add(left);
    line.add(left == 1 ? " entry on its string argument stack" : " entries on its string argument stack");
    line.send();
}
