// The process entry of every program built on the runtime: it takes the place
// of the C runtime's start-up, fills RuntimeState, runs the main procedure and
// ends the process with its result.
#include <windows.h>

#include "runtime/platform.h"
#include "runtime/startup.h"

namespace {

// wShowWindow when the starting process asked for it, else SW_SHOWDEFAULT.
std::int32_t startup_show_command() {
    STARTUPINFOA info;
    info.cb = sizeof info;  // 68
    info.dwFlags = 0;
    GetStartupInfoA(&info);
    return (info.dwFlags & STARTF_USESHOWWINDOW) ? info.wShowWindow : SW_SHOWDEFAULT;
}

// Only platform detection reads the version record, so it lives in this
// frame rather than in the runtime state, and not in the entry's frame,
// where its 148 bytes would push the entry's other locals out of reach of
// short displacements.
[[gnu::noinline]] void detect_this_platform() {
    VersionRecord version;
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version));
    detect_platform(version);
}

}  // namespace

extern "C" __attribute__((force_align_arg_pointer, noreturn)) void kw_process_entry() {
    runtime_state.globals = the_program_names_its_globals_with_KW_GLOBAL_AREA;
    std::int32_t show_command = startup_show_command();
    const char* command_tail = skip_program_name(GetCommandLineA());
    runtime_state.instance = GetModuleHandleA(nullptr);
    detect_this_platform();
    reset_runtime();
    ExitProcess(static_cast<UINT>(main_procedure(runtime_state.instance, nullptr, command_tail, show_command)));
}
