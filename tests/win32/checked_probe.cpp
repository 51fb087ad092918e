// A program linked with the checked libraries that misuses its string argument
// stack twice, then pushes a string and calls a control operation from a
// second thread; its exit code is the number of violations the runtime
// counted.
#include "runtime/checked.h"
#include "runtime/startup.h"
#include "runtime/strings.h"
#include "toolkit/toolkit.h"

namespace {

struct Globals {
    DynString unused;
} globals;

void returns_with_an_entry_left() {
    ProcFrame f;
    push_empty(f);
}

DWORD WINAPI works_on_another_thread(void*) {
    ProcFrame f;
    push_empty(f);
    drop_string_args(f, 1);
    get_control_check(nullptr, 1);
    return 0;
}

}  // namespace

KW_GLOBAL_AREA(globals);

std::int32_t main_procedure(void*, void*, const char*, std::int32_t) {
    ProcFrame f;
    for (int i = 0; i < 6; ++i) push_empty(f);  // the sixth has no slot
    drop_string_args(f, 6);
    returns_with_an_entry_left();
    HANDLE worker = CreateThread(nullptr, 0, works_on_another_thread, nullptr, 0, nullptr);
    if (worker == nullptr || WaitForSingleObject(worker, 10000) != WAIT_OBJECT_0) return -1;
    CloseHandle(worker);
    return static_cast<std::int32_t>(contract_violation_count());
}
