// The process entry of every program built on the runtime: it takes the place
// of the C runtime's start-up, fills RuntimeState, runs the main procedure and
// ends the process with its result.
#include <windows.h>

#include "runtime/state.h"

namespace {

void read_startup_info() {
    STARTUPINFOA info;
    info.cb = sizeof info;  // 68
    info.dwFlags = 0;
    GetStartupInfoA(&info);
    runtime_state.startup_show_command = (info.dwFlags & STARTF_USESHOWWINDOW) ? info.wShowWindow : SW_SHOWDEFAULT;
}

}  // namespace

extern "C" __attribute__((force_align_arg_pointer, noreturn)) void kw_process_entry() {
    runtime_state.globals = the_program_names_its_globals_with_KW_GLOBAL_AREA;
    runtime_state.started_as_executable = 1;
    runtime_state.version.dwOSVersionInfoSize = sizeof(VersionRecord);
    GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&runtime_state.version));
    read_startup_info();
    runtime_state.command_tail = skip_program_name(GetCommandLineA());
    runtime_state.environment_block = GetEnvironmentStringsA();
    runtime_state.instance = GetModuleHandleA(nullptr);
    detect_platform();
    if (runtime_state.started_as_executable == 1) reset_runtime();

    [[maybe_unused]] ProcFrame outermost;  // error word 0, no trap target, empty stack
    std::int32_t result =
        main_procedure(runtime_state.instance, nullptr, runtime_state.command_tail, runtime_state.startup_show_command);
    ExitProcess(static_cast<UINT>(result));
}
