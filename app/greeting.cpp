// The greeting program.
#include "runtime/message_box.h"
#include "runtime/state.h"
#include "runtime/strings.h"

namespace {

struct Globals {
    DynString user_name;
};
Globals globals;

constexpr auto literals = make_literal_pool("Ann", "Hello ");
enum Literal { kAnn, kHello };

}  // namespace

KW_GLOBAL_AREA(globals);

std::int32_t main_procedure(void*, void*, const char*, std::int32_t) {
    ProcFrame f;
    push_literal(f, literals[kAnn]);
    string_assign(f, globals.user_name);
    push_literal(f, literals[kHello]);
    push_borrowed(f, globals.user_name);
    string_concat(f);
    push_empty(f);
    message_box(f, 0);
    return f.result;
}
