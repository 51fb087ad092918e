// drive's verbs about the program it plays: start, exit and run (a program
// that start leaves running from the command line is watcher.h's). Each
// wait has a limit; one that runs out says what is on the screen.
#pragma once

#include <windows.h>

#include "tools/common/process.h"
#include "tools/drive/session.h"

// How long run waits, and a watcher, unless --limit says: an hour, long
// enough for a person playing the program, short enough to end.
constexpr DWORD kProgramLimit = 3600000;

// start [--limit MS] [EXE [ARGS]]: in a script, starts EXE (or the script's
// program) in this process; from the command line, starts EXE with a
// watcher, prints its process id, and leaves it running.
int verb_start(Session& s, const Words& a);
// exit [PID [MS]] (in a script: exit [MS]): waits for the program to end,
// prints its exit code, and fails unless it is 0.
int verb_exit(Session& s, const Words& a);
// run [--limit MS] EXE [ARGS]: starts EXE, waits for it, prints its exit code.
int verb_run(Session& s, const Words& a);

// The checks of their arguments, made before any verb of a command or a
// script runs: 0, or 2 with the error set (the verbs take checked arguments).
int check_start(Session& s, const Words& a);
int check_exit(Session& s, const Words& a);
int check_run(Session& s, const Words& a);

// How a program started by drive gets its standard handles.
enum class Output {
    kDrives,       // drive's own output and error: drive waits for the program (run, a script)
    kDrivesError,  // drive's error for both: drive ends first (start from the command line)
    kNone,         // none at all (a detached watcher)
};

// Starts the words (the program's path first) into p with the flags for
// CreateProcess; false with the error set.
bool start_process(Session& s, const Words& words, Process& p, DWORD flags, Output output);

// Prints the exit code: 0 when it is 0, else 1 with the error set.
int exit_code_result(Session& s, DWORD code);
