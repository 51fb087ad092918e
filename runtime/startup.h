// Process start-up: what it does before the application's main procedure
// runs, and what a program gives it.
#pragma once

#include <cstdint>

#include "runtime/state.h"

// Program-name skip: the command tail begins after the program name and the
// blanks that follow it. Only the blank 0x20 separates; a quoted name ends at
// the next double quote (or the terminator when there is none).
const char* skip_program_name(const char* command_line);

// Runtime reset of start-up: zeroes the global-variable area and the static
// empty string.
void reset_runtime();

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
