// The checked build's reports and counters (compiled into the checked
// libraries only).
#include "runtime/checked.h"

#include "runtime/string_alloc.h"

StringAllocSeam string_alloc_seam;

namespace {

std::uint32_t violations;

// A report line under construction; long texts are cut, never overrun.
struct ReportLine {
    char bytes[160];
    std::uint32_t n = 0;

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

}  // namespace

std::uint32_t contract_violation_count() { return violations; }
std::int32_t live_string_count() { return string_alloc_seam.live; }
std::uint32_t string_allocation_count() { return string_alloc_seam.calls; }
void fail_string_allocation_at(std::uint32_t k) { string_alloc_seam.fail_at = k; }

void report_contract_violation(const char* operation, const char* what) {
    ReportLine line;
    line.add("kestrowane: ");
    line.add(operation);
    line.add(": ");
    line.add(what);
    line.send();
}

void report_missing_string_args(const char* operation, std::uint32_t needed, std::uint32_t held) {
    ReportLine line;
    line.add("kestrowane: ");
    line.add(operation);
    line.add(": takes ");
    line.add(needed);
    line.add(needed == 1 ? " string argument, the stack holds " : " string arguments, the stack holds ");
    line.add(held);
    line.send();
}

void report_frame_left_entries(std::uint32_t left) {
    ReportLine line;
    line.add("kestrowane: a procedure returned with ");
    line.add(left);
    line.add(left == 1 ? " entry on its string argument stack" : " entries on its string argument stack");
    line.send();
}
