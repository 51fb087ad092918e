// The string argument stack against a model: each input is a small program of
// stack operations over one ProcFrame and three string variables, with
// allocation failures injected where the input says. After every operation the
// frame, the variables, the error word and the allocator's counters must match
// the model; at the end everything is released and no block may be left.
//
// The model keeps, per stack entry, its bytes and whether (and from which
// variable) it is borrowed; the depth counts every push, and entries beyond the
// five slots hold nothing. It never assigns a variable while a borrowed entry
// of it waits below the top: the calling procedure's side of the contract.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "runtime/errors.h"
#include "runtime/startup.h"
#include "runtime/state.h"
#include "runtime/string_alloc.h"
#include "runtime/strings.h"

namespace {

constexpr auto pool = make_literal_pool("Hello ", "", "a\0b", "OK", "Cancel", "What is your name?");
const std::string kLiterals[] = {"Hello ", "", std::string("a\0b", 3), "OK", "Cancel", "What is your name?"};
constexpr std::size_t kLiteralCount = sizeof kLiterals / sizeof kLiterals[0];

constexpr std::size_t kVars = 3;
constexpr std::size_t kSlots = 5;
constexpr std::size_t kMaxOps = 2048;
constexpr std::size_t kMaxJoined = 64 * 1024;
constexpr std::uint16_t kOutOfMemoryWord = 0x8007;

struct ModelEntry {
    std::string bytes;
    bool borrowed = false;
    std::size_t var = 0;  // the variable a borrowed entry reads
};

struct Model {
    std::vector<ModelEntry> stack;  // bottom first; one element per push
    std::string vars[kVars];
    std::uint16_t error_word = 0;
    std::uint32_t fail_at = 0;
    std::uint32_t calls = 0;

    // One request for n bytes: false when it is the one set to fail.
    bool allocate(std::size_t n) {
        if (n == 0) return true;
        ++calls;
        if (fail_at == 0) return true;
        return --fail_at != 0;
    }
    void push(ModelEntry e) {
        if (stack.size() >= kSlots) e = ModelEntry{};  // no slot: nothing kept, reads as empty
        stack.push_back(std::move(e));
    }
    // Blocks that someone owns: unborrowed non-empty entries and non-empty variables.
    std::int32_t owned_blocks() const {
        std::int32_t n = 0;
        for (const ModelEntry& e : stack) n += !e.borrowed && !e.bytes.empty();
        for (const std::string& v : vars) n += !v.empty();
        return n;
    }
    // A borrowed entry of var, other than the top entry, is still pending.
    bool var_is_lent_below_top(std::size_t var) const {
        for (std::size_t i = 0; i + 1 < stack.size(); ++i) {
            if (stack[i].borrowed && stack[i].var == var) return true;
        }
        return false;
    }
};

struct Machine {
    ProcFrame f;
    DynString vars[kVars] = {};
    Model m;
    std::uint32_t calls_at_start = string_alloc_seam.calls;
    std::int32_t live_at_start = string_alloc_seam.live;
};

std::string bytes_of(StringEntry e) {
    StringView v = view_string(e);
    return std::string(v.bytes, v.count);
}

void check_view(StringEntry e, const char* what, std::size_t index) {
    StringView v = view_string(e);
    FUZZ_EXPECT(v.bytes[v.count] == 0, "%s %zu followed by a zero byte", what, index);
    if (e.handle() == 0) {
        FUZZ_EXPECT(v.count == 0 && v.bytes == static_empty_string(), "%s %zu empty: the static empty string", what,
                    index);
    } else {
        FUZZ_EXPECT(v.count >= 1 && string_block_count(reinterpret_cast<const char*>(e.handle())) == v.count,
                    "%s %zu: a block of %u bytes with its count", what, index, v.count);
    }
}

void check(const Machine& s, const char* op) {
    const Model& m = s.m;
    const std::size_t depth = m.stack.size();
    FUZZ_EXPECT(s.f.strings.depth == depth, "after %s: depth %zu, got %u", op, depth, s.f.strings.depth);
    for (std::size_t k = 0; k < depth; ++k) {
        const ModelEntry& want = m.stack[depth - 1 - k];
        StringEntry e = string_arg(s.f, static_cast<std::uint32_t>(k));
        std::string got = bytes_of(e);
        FUZZ_EXPECT(got == want.bytes, "after %s: entry %zu below the top holds %zu bytes \"%s\", got %zu \"%s\"", op,
                    k, want.bytes.size(), want.bytes.c_str(), got.size(), got.c_str());
        FUZZ_EXPECT(e.is_borrowed() == want.borrowed, "after %s: entry %zu %s", op, k,
                    want.borrowed ? "borrowed" : "not borrowed");
        if (want.borrowed) {
            FUZZ_EXPECT(e.handle() == s.vars[want.var], "after %s: entry %zu borrows variable %zu's own handle", op, k,
                        want.var);
        }
        check_view(e, "entry", k);
    }
    StringEntry beyond = string_arg(s.f, static_cast<std::uint32_t>(depth));
    FUZZ_EXPECT(beyond.handle() == 0 && !beyond.is_borrowed(), "after %s: nothing below the bottom entry", op);
    for (std::size_t v = 0; v < kVars; ++v) {
        std::string got = bytes_of(s.vars[v]);
        FUZZ_EXPECT(got == m.vars[v], "after %s: variable %zu holds %zu bytes \"%s\", got %zu \"%s\"", op, v,
                    m.vars[v].size(), m.vars[v].c_str(), got.size(), got.c_str());
        FUZZ_EXPECT((s.vars[v] == 0) == m.vars[v].empty(), "after %s: variable %zu %s", op, v,
                    m.vars[v].empty() ? "the handle 0" : "a block");
        check_view(s.vars[v], "variable", v);
    }
    FUZZ_EXPECT(s.f.error_word == m.error_word, "after %s: error word 0x%04X, got 0x%04X", op, m.error_word,
                s.f.error_word);
    FUZZ_EXPECT(string_alloc_seam.calls - s.calls_at_start == m.calls, "after %s: %u allocator requests, got %u", op,
                m.calls, string_alloc_seam.calls - s.calls_at_start);
    FUZZ_EXPECT(string_alloc_seam.fail_at == m.fail_at, "after %s: fail_at %u, got %u", op, m.fail_at,
                string_alloc_seam.fail_at);
    std::int32_t live = string_alloc_seam.live - s.live_at_start;
    FUZZ_EXPECT(live == m.owned_blocks(), "after %s: %d live blocks, got %d", op, m.owned_blocks(), live);
    FUZZ_EXPECT(runtime_state.static_empty.count == 0 && runtime_state.static_empty.byte == 0,
                "after %s: the static empty string untouched", op);
}

// Up to 15 bytes from the input, in a block of exactly that size.
struct InputBytes {
    explicit InputBytes(FuzzInput& in) : n(in.u8() % 16), p(new char[n]) {
        for (std::size_t i = 0; i < n; ++i) p[i] = static_cast<char>(in.u8());
    }
    ~InputBytes() { delete[] p; }
    InputBytes(const InputBytes&) = delete;
    InputBytes& operator=(const InputBytes&) = delete;
    std::string text() const { return std::string(p, n); }
    std::size_t n;
    char* p;
};

void op_push_literal(Machine& s, FuzzInput& in) {
    std::size_t k = in.u8() % kLiteralCount;
    push_literal(s.f, pool[k]);
    bool ok = s.m.allocate(kLiterals[k].size());
    s.m.push({ok ? kLiterals[k] : std::string()});
    if (!ok) s.m.error_word = kOutOfMemoryWord;
}

void op_push_copy(Machine& s, FuzzInput& in) {
    InputBytes b(in);
    push_copy(s.f, b.p, static_cast<std::uint32_t>(b.n));
    bool ok = s.m.allocate(b.n);
    s.m.push({ok ? b.text() : std::string()});  // a failure pushes empty and records nothing
}

void op_push_crlf(Machine& s) {
    push_crlf(s.f);
    bool ok = s.m.allocate(2);
    s.m.push({ok ? std::string("\r\n") : std::string()});
}

void op_push_borrowed(Machine& s, FuzzInput& in) {
    std::size_t v = in.u8() % kVars;
    push_borrowed(s.f, s.vars[v]);
    s.m.push({s.m.vars[v], true, v});
}

// A string made by the caller (as a control operation makes one) handed over.
void op_push_handle(Machine& s, FuzzInput& in) {
    InputBytes b(in);
    StringAllocation r = allocate_string(static_cast<std::uint32_t>(b.n));
    bool ok = s.m.allocate(b.n);
    FUZZ_EXPECT(r.failed() == !ok && (r.error == (ok ? 0 : 7)), "allocate_string(%zu) %s", b.n,
                ok ? "to succeed" : "to fail with 7");
    if (!r.failed()) copy_bytes(r.bytes, b.p, static_cast<std::uint32_t>(b.n));
    push_handle(s.f, r.handle);
    s.m.push({ok ? b.text() : std::string()});
}

// A scratch string cut to its real length, then handed over.
void op_push_shrunk(Machine& s, FuzzInput& in) {
    InputBytes b(in);
    std::size_t keep = in.u8() % (b.n + 1);
    StringAllocation r = allocate_string(static_cast<std::uint32_t>(b.n));
    bool ok = s.m.allocate(b.n);
    FUZZ_EXPECT(r.failed() == !ok, "allocate_string(%zu) %s", b.n, ok ? "to succeed" : "to fail");
    if (!ok) {
        push_handle(s.f, r.handle);
        s.m.push({});
        return;
    }
    copy_bytes(r.bytes, b.p, static_cast<std::uint32_t>(b.n));
    StringAllocation cut = shrink_string(r.handle, static_cast<std::uint32_t>(keep));
    bool cut_ok = s.m.allocate(keep);
    FUZZ_EXPECT(cut.failed() == !cut_ok && (cut.error == (cut_ok ? 0 : 7)), "shrink_string(%zu of %zu) %s", keep, b.n,
                cut_ok ? "to succeed" : "to fail with 7");
    FUZZ_EXPECT(cut_ok || cut.handle == 0, "a failed shrink_string to give the handle 0%s", "");
    push_handle(s.f, cut.handle);
    s.m.push({cut_ok ? b.text().substr(0, keep) : std::string()});
}

void op_pop(Machine& s) {
    if (s.m.stack.empty()) return;  // nothing to pop: not a program a procedure can be
    pop_string(s.f);
    s.m.stack.pop_back();
}

void op_assign(Machine& s, FuzzInput& in) {
    std::size_t v = in.u8() % kVars;
    if (s.m.stack.empty() || s.m.var_is_lent_below_top(v)) return;  // outside the caller's contract
    StringEntry top = string_arg(s.f, 0);
    DynString old = s.vars[v];
    string_assign(s.f, s.vars[v]);

    ModelEntry e = std::move(s.m.stack.back());
    s.m.stack.pop_back();
    std::string& var = s.m.vars[v];
    if (!e.borrowed || e.bytes.empty()) {
        var = e.bytes;  // moved: the variable takes the entry's own handle
        FUZZ_EXPECT(s.vars[v] == top.handle(), "string_assign to move the top entry's handle into variable %zu", v);
    } else if (!var.empty() && var.size() == e.bytes.size()) {
        var = e.bytes;  // copied over the variable's own bytes
        FUZZ_EXPECT(s.vars[v] == old, "string_assign of as many bytes to keep variable %zu's handle", v);
    } else {
        bool ok = s.m.allocate(e.bytes.size());
        var = ok ? e.bytes : std::string();
        if (!ok) s.m.error_word = kOutOfMemoryWord;
    }
}

void op_concat(Machine& s) {
    if (s.m.stack.size() < 2) return;  // string_concat takes two arguments
    // Joining a string with itself doubles it; unbounded, a few dozen joins
    // make every later check crawl through gigabytes.
    std::size_t n = s.m.stack.size();
    if (s.m.stack[n - 1].bytes.size() + s.m.stack[n - 2].bytes.size() > kMaxJoined) return;
    string_concat(s.f);
    ModelEntry b = std::move(s.m.stack.back());
    s.m.stack.pop_back();
    ModelEntry a = std::move(s.m.stack.back());
    s.m.stack.pop_back();
    std::string joined = a.bytes + b.bytes;
    // With the top entry beyond the slots the join is the next entry's bytes
    // alone: an owned next entry is kept as it is, only a borrowed one copied.
    bool ok = n <= kSlots || a.borrowed ? s.m.allocate(joined.size()) : true;
    s.m.push({ok ? joined : std::string()});  // a failure leaves one empty entry
    if (!ok) s.m.error_word = kOutOfMemoryWord;
}

void op_fail_at(Machine& s, FuzzInput& in) {
    std::uint32_t k = in.u8() % 8;  // 0: never fail
    string_alloc_seam.fail_at = k;
    s.m.fail_at = k;
}

void op_clear_error(Machine& s) {
    s.f.error_word = 0;
    s.m.error_word = 0;
}

const char* run_op(Machine& s, FuzzInput& in) {
    switch (in.u8() % 12) {
        case 0:
            push_empty(s.f);
            s.m.push({});
            return "push_empty";
        case 1:
            op_push_literal(s, in);
            return "push_literal";
        case 2:
            op_push_copy(s, in);
            return "push_copy";
        case 3:
            op_push_crlf(s);
            return "push_crlf";
        case 4:
            op_push_borrowed(s, in);
            return "push_borrowed";
        case 5:
            op_push_handle(s, in);
            return "push_handle";
        case 6:
            op_push_shrunk(s, in);
            return "push_handle of shrink_string";
        case 7:
            op_pop(s);
            return "pop_string";
        case 8:
            op_assign(s, in);
            return "string_assign";
        case 9:
            op_concat(s);
            return "string_concat";
        case 10:
            op_fail_at(s, in);
            return "setting fail_at";
        default:
            op_clear_error(s);
            return "clearing the error word";
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    reset_runtime();
    string_alloc_seam.fail_at = 0;
    Machine s;
    check(s, "start");

    FuzzInput in(data, size);
    for (std::size_t i = 0; i < kMaxOps && !in.at_end(); ++i) check(s, run_op(s, in));

    string_alloc_seam.fail_at = 0;
    s.m.fail_at = 0;
    while (!s.m.stack.empty()) {
        pop_string(s.f);
        s.m.stack.pop_back();
        check(s, "the final pop_string");
    }
    for (DynString& v : s.vars) {
        free_string(v);
        v = 0;
    }
    FUZZ_EXPECT(string_alloc_seam.live == s.live_at_start, "every block released at the end: %d live, got %d",
                s.live_at_start, string_alloc_seam.live);
    return 0;
}
