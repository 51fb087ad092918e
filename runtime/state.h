// The one process-wide record of the run-time library, and process start-up.
#pragma once

#include <cstdint>

#include "runtime/strings.h"

// The platform's OSVERSIONINFOA, laid out field for field.
struct VersionRecord {
    std::uint32_t dwOSVersionInfoSize;
    std::uint32_t dwMajorVersion;
    std::uint32_t dwMinorVersion;
    std::uint32_t dwBuildNumber;
    std::uint32_t dwPlatformId;
    char szCSDVersion[128];
};
static_assert(sizeof(VersionRecord) == 148, "OSVERSIONINFOA is 148 bytes");

// Where the application's global variables live; start-up zeroes it before
// main runs. A program names its area with KW_GLOBAL_AREA.
struct GlobalArea {
    void* start;
    std::uint32_t size;
};

struct RuntimeState {
    std::uint32_t started_as_executable;  // 1 once start-up has begun
    VersionRecord version;                // from GetVersionExA
    std::int32_t startup_show_command;    // wShowWindow, or SW_SHOWDEFAULT (10)
    const char* command_tail;             // the command line after the program name
    const char* environment_block;        // GetEnvironmentStringsA
    void* instance;                       // GetModuleHandleA(NULL)

    // Platform detection.
    std::uint16_t platform_flags;
    std::uint16_t version_word;
    std::uint8_t processor_class;

    // Strings: the static empty string is a zero word then a zero byte; every
    // empty view points at that byte. The string state is set by init_strings.
    struct {
        std::uint32_t count;
        char byte;
    } static_empty;
    std::uint32_t string_state_word;
    const char* string_state_empty;

    // Font of the dialog created last, given to every new control; 0 once that
    // dialog is destroyed, since the dialog manager deletes its font with it.
    void* dialog_font;

    GlobalArea globals;
};

extern RuntimeState runtime_state;

// The bytes of the static empty string.
inline char* static_empty_string() { return &runtime_state.static_empty.byte; }

// Program-name skip: the command tail begins after the program name and the
// blanks that follow it. Only the blank 0x20 separates; a quoted name ends at
// the next double quote (or the terminator when there is none).
const char* skip_program_name(const char* command_line);

// Runtime reset of start-up: zeroes the global-variable area and the static
// empty string, sets the string state, and forgets the dialog font.
void reset_runtime();

// Platform and processor detection; fills platform_flags, version_word and
// processor_class from the version record.
void detect_platform();

// The application's main procedure, called by start-up with the four classic
// GUI-entry arguments; its result becomes the process exit code.
std::int32_t main_procedure(void* instance, void* previous, const char* command_tail, std::int32_t show_command);

// Names the application's global variables for start-up's reset:
//   struct Globals { DynString user_name; } globals;  KW_GLOBAL_AREA(globals);
// Every program needs one; without it the link stops with "undefined
// reference to the_program_names_its_globals_with_KW_GLOBAL_AREA".
#define KW_GLOBAL_AREA(object) \
    extern const GlobalArea the_program_names_its_globals_with_KW_GLOBAL_AREA = {&(object), sizeof(object)}
extern const GlobalArea the_program_names_its_globals_with_KW_GLOBAL_AREA;
