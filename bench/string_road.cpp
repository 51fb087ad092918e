// The greeting's strings, 1,000,000 times per run: the road from "Hello " to
// the message box's text (the box itself left out; its entries freed the way
// the box frees them), and string_assign of a freshly made name, against the
// raw allocator calls for the same allocations.
#include <windows.h>
// after windows.h, which it needs
#include <oleauto.h>

#include <cstring>

#include "bench/timing.h"
#include "runtime/state.h"
#include "runtime/strings.h"

namespace {

constexpr auto literals = make_literal_pool("Hello ");
const char kName[] = "Ann";
constexpr std::uint32_t kNameLength = 3;

volatile unsigned sink;  // keeps every result observable

DynString user_name;

void road_ours(long n) {
    for (long i = 0; i < n; ++i) {
        ProcFrame f;
        push_literal(f, literals[0]);
        push_borrowed(f, user_name);
        string_concat(f);
        push_empty(f);
        sink = sink + static_cast<unsigned char>(view_string(string_arg(f, 1)).bytes[6]);
        free_string(string_arg(f, 0));
        free_string(string_arg(f, 1));
        drop_string_args(f, 2);
    }
}

char* raw_name;

void road_raw(long n) {
    for (long i = 0; i < n; ++i) {
        BSTR hello = SysAllocStringByteLen("Hello ", 6);
        UINT length = SysStringByteLen(reinterpret_cast<BSTR>(raw_name));
        BSTR text = SysAllocStringByteLen(nullptr, 6 + length);
        std::memcpy(text, hello, 6);
        std::memcpy(reinterpret_cast<char*>(text) + 6, raw_name, length);
        SysFreeString(hello);
        sink = sink + static_cast<unsigned char>(reinterpret_cast<char*>(text)[6]);
        SysFreeString(text);
    }
}

DynString assigned;

void assign_ours(long n) {
    for (long i = 0; i < n; ++i) {
        ProcFrame f;
        push_copy(f, kName, kNameLength);
        string_assign(f, assigned);
    }
    sink = sink + static_cast<unsigned char>(view_string(assigned).bytes[0]);
}

BSTR raw_assigned;

void assign_raw(long n) {
    for (long i = 0; i < n; ++i) {
        BSTR fresh = SysAllocStringByteLen(kName, kNameLength);
        SysFreeString(raw_assigned);
        raw_assigned = fresh;
    }
    sink = sink + static_cast<unsigned char>(reinterpret_cast<char*>(raw_assigned)[0]);
}

}  // namespace

int main(int argc, char** argv) {
    runtime_state.instance = GetModuleHandleA(nullptr);
    runtime_state.globals = {nullptr, 0};
    reset_runtime();
    ProcFrame f;
    push_copy(f, kName, kNameLength);
    string_assign(f, user_name);
    raw_name = reinterpret_cast<char*>(SysAllocStringByteLen(kName, kNameLength));
    int pairs = pairs_argument(argc, argv, 5);
    interleave("string_road", pairs, 1000000, road_ours, road_raw);
    interleave("string_assign", pairs, 1000000, assign_ours, assign_raw);
    return 0;
}
