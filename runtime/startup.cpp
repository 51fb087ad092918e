// The portable steps of start-up: the program-name skip and the runtime reset.
#include "runtime/startup.h"

#include "runtime/checked.h"

RuntimeState runtime_state;

const char* skip_program_name(const char* p) {
    auto at = [&p] { return static_cast<unsigned char>(*p); };
    if (at() == '"') {
        ++p;
        while (at() != '"' && at() != 0) ++p;
        if (at() == 0) return p;  // no closing quote: the tail is empty
        ++p;
    } else if (at() != ' ') {
        while (at() > 0x20) ++p;
        if (at() != ' ') return p;  // a control character or the terminator
    }
    while (at() == ' ') ++p;
    return p;
}

void reset_runtime() {
    GlobalArea area = runtime_state.globals;
    auto* bytes = static_cast<unsigned char*>(area.start);
    for (std::uint32_t i = 0; i < area.size; ++i) bytes[i] = 0;
    runtime_state.static_empty.count = 0;
    runtime_state.static_empty.byte = 0;
    note_program_thread();
}
