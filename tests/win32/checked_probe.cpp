// A program linked with the checked libraries that misuses its string argument
// stack twice; its exit code is the number of violations the runtime counted.
#include "runtime/checked.h"
#include "runtime/startup.h"
#include "runtime/strings.h"

namespace {

struct Globals {
    DynString unused;
} globals;

void returns_with_an_entry_left() {
    ProcFrame f;
    push_empty(f);
}

}  // namespace

KW_GLOBAL_AREA(globals);

std::int32_t main_procedure(void*, void*, const char*, std::int32_t) {
    ProcFrame f;
    for (int i = 0; i < 6; ++i) push_empty(f);  // the sixth has no slot
    drop_string_args(f, 6);
    returns_with_an_entry_left();
    return static_cast<std::int32_t>(contract_violation_count());
}
