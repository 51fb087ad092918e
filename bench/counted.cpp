// The figures that are pure code, counted in executed instructions instead of
// timed: the greeting's string road, string_assign, and the dialog template
// built in memory, each against a raw hand-written baseline doing the same
// work. Built for the host and run under valgrind's callgrind by
// scripts/bench: each side's region is bracketed by CALLGRIND_ZERO_STATS and
// CALLGRIND_DUMP_STATS_AT (label "FIGURE ours|base"), and an empty bracket
// ("calibration") gives the bracket's own cost, which scripts/bench
// subtracts. Outside valgrind the brackets do nothing; the program then only
// checks that both sides of every figure give the same result.
//
// Both sides use the same allocator: the host's string allocator keeps
// OLE Automation's block layout in malloc'd memory, and the baseline's
// raw_alloc does the same with the platform call's contract (a copy of the
// source when one is given), kept out of line as the platform's is.
#include <valgrind/callgrind.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/startup.h"
#include "runtime/state.h"
#include "runtime/strings.h"
#include "toolkit/dialog_template.h"

namespace {

constexpr long kIterations = 1000;
constexpr long kWarmUp = 100;

volatile unsigned sink;  // keeps every result observable

// ---- The baseline's allocator: SysAllocStringByteLen's contract ----------------

// A block of n bytes with its 32-bit count before it and a zero byte after
// it, holding a copy of src when src is not null.
[[gnu::noipa]] char* raw_alloc(const char* src, std::uint32_t n) {
    auto* block = static_cast<char*>(std::malloc(std::size_t{n} + sizeof n + 1));
    if (block == nullptr) return nullptr;
    std::memcpy(block, &n, sizeof n);
    if (src != nullptr) std::memcpy(block + sizeof n, src, n);
    block[sizeof n + n] = 0;
    return block + sizeof n;
}

[[gnu::noipa]] void raw_free(char* s) {
    if (s != nullptr) std::free(s - sizeof(std::uint32_t));
}

std::uint32_t raw_length(const char* s) {
    std::uint32_t n = 0;
    if (s != nullptr) std::memcpy(&n, s - sizeof n, sizeof n);
    return n;
}

// ---- The string road: "Hello " and the name joined, the entries freed -------

constexpr auto literals = make_literal_pool("Hello ");
const char kName[] = "Ann";
constexpr std::uint32_t kNameLength = 3;

DynString user_name;
char* raw_name;

// The message box's text as the road makes it, taken and freed the way the
// box takes and frees its entries (the box itself left out).
[[gnu::noinline]] void road_ours(long n) {
    for (long i = 0; i < n; ++i) {
        ProcFrame f;
        push_literal(f, literals[0]);
        push_borrowed(f, user_name);
        string_concat(f);
        push_empty(f);
        StringEntry caption = string_arg(f, 0);
        StringEntry text = string_arg(f, 1);
        sink = sink + static_cast<unsigned char>(view_string(text).bytes[6]);
        free_string(caption);
        free_string(text);
        drop_string_args(f, 2);
    }
}

[[gnu::noinline]] void road_base(long n) {
    for (long i = 0; i < n; ++i) {
        char* hello = raw_alloc("Hello ", 6);
        std::uint32_t length = raw_length(raw_name);
        char* text = raw_alloc(nullptr, 6 + length);
        std::memcpy(text, hello, 6);
        std::memcpy(text + 6, raw_name, length);
        raw_free(hello);
        sink = sink + static_cast<unsigned char>(text[6]);
        raw_free(text);
    }
}

// ---- string_assign: a fresh copy of the name moved into a variable ------------

DynString assigned;
char* raw_assigned;

[[gnu::noinline]] void assign_ours(long n) {
    for (long i = 0; i < n; ++i) {
        ProcFrame f;
        push_copy(f, kName, kNameLength);
        string_assign(f, assigned);
    }
    sink = sink + static_cast<unsigned char>(view_string(assigned).bytes[0]);
}

[[gnu::noinline]] void assign_base(long n) {
    for (long i = 0; i < n; ++i) {
        char* fresh = raw_alloc(kName, kNameLength);
        raw_free(raw_assigned);
        raw_assigned = fresh;
    }
    sink = sink + static_cast<unsigned char>(raw_assigned[0]);
}

// ---- The greeting's dialog template, built in memory ------------------------

const char kTitle[] = "What is your name?";
constexpr std::uint32_t kTitleLength = sizeof kTitle - 1;
DialogTemplate ours_template;
DialogTemplate base_template;

[[gnu::noinline]] void template_ours(long n) {
    for (long i = 0; i < n; ++i)
        sink = sink + build_dialog_template(ours_template, kTitle, kTitleLength, -1, -1, 160, 50, 0, 0);
}

// What a C programmer writes to make a template at run time: the fixed
// header, then the title and the typeface widened byte by byte. The title is
// a counted string as ours is, and is cut at its first zero byte, since the
// platform would read a zero unit as its end.
[[gnu::noipa]] std::uint32_t raw_template(unsigned char* out, const char* title, std::uint32_t title_length) {
    struct __attribute__((packed)) Header {
        std::uint32_t style, exstyle;
        std::uint16_t items;
        std::int16_t x, y;
        std::uint16_t cx, cy, menu, window_class;
    };
    const Header h = {0x80C008D4, 0, 0, -1, -1, 160, 50, 0, 0};  // the default style, centred
    std::memcpy(out, &h, sizeof h);
    unsigned char* p = out + sizeof h;
    for (std::uint32_t i = 0; i < title_length && title[i] != 0; ++i, p += 2) {
        p[0] = static_cast<unsigned char>(title[i]);
        p[1] = 0;
    }
    static const unsigned char tail[] = {0,   0, 8,   0, 'M', 0, 'S', 0, ' ', 0, 'S', 0, 'a', 0, 'n', 0,
                                         's', 0, ' ', 0, 'S', 0, 'e', 0, 'r', 0, 'i', 0, 'f', 0, 0,   0};
    std::memcpy(p, tail, sizeof tail);
    return static_cast<std::uint32_t>(p + sizeof tail - out);
}

[[gnu::noinline]] void template_base(long n) {
    for (long i = 0; i < n; ++i) sink = sink + raw_template(base_template.bytes, kTitle, kTitleLength);
}

// ---- Counting ----------------------------------------------------------------

using Run = void (*)(long);

// The bracket's own cost: an empty region, measured like every other.
[[gnu::noinline]] void nothing(long) {}

[[gnu::noinline]] void count(const char* label, Run run) {
    run(kWarmUp);  // the allocator's first blocks and the first calls' set-up stay outside
    CALLGRIND_ZERO_STATS;
    run(kIterations);
    CALLGRIND_DUMP_STATS_AT(label);
}

// Both sides of each figure must do the same work: the same bytes come out.
bool same_results() {
    bool ok = true;
    if (view_string(assigned).count != kNameLength ||
        std::memcmp(view_string(assigned).bytes, kName, kNameLength) != 0 || raw_length(raw_assigned) != kNameLength ||
        std::memcmp(raw_assigned, kName, kNameLength) != 0) {
        std::fprintf(stderr, "counted: string_assign: the two sides hold different strings\n");
        ok = false;
    }
    ProcFrame f;
    push_literal(f, literals[0]);
    push_borrowed(f, user_name);
    string_concat(f);
    StringView road = view_string(string_arg(f, 0));
    if (road.count != 9 || std::memcmp(road.bytes, "Hello Ann", 10) != 0) {
        std::fprintf(stderr, "counted: string road: ours made a different text\n");
        ok = false;
    }
    pop_string(f);
    std::uint32_t n_ours = build_dialog_template(ours_template, kTitle, kTitleLength, -1, -1, 160, 50, 0, 0);
    std::uint32_t n_base = raw_template(base_template.bytes, kTitle, kTitleLength);
    if (n_ours != n_base || std::memcmp(ours_template.bytes, base_template.bytes, n_ours) != 0) {
        std::fprintf(stderr, "counted: dialog template: the two sides built different templates (%u, %u bytes)\n",
                     n_ours, n_base);
        ok = false;
    }
    return ok;
}

}  // namespace

int main() {
    runtime_state.globals = {nullptr, 0};
    reset_runtime();
    ProcFrame f;
    push_copy(f, kName, kNameLength);
    string_assign(f, user_name);
    raw_name = raw_alloc(kName, kNameLength);

    count("calibration", nothing);
    count("string_road ours", road_ours);
    count("string_road base", road_base);
    count("string_assign ours", assign_ours);
    count("string_assign base", assign_base);
    count("dialog_template ours", template_ours);
    count("dialog_template base", template_base);
    std::printf("iterations %ld\n", kIterations);
    return same_results() ? 0 : 1;
}
