// drive's verbs about the program it plays: start, exit, run, and watch, the
// detached drive process that waits for a program started from the command
// line. Each wait has a limit; one that runs out says what is on the screen.
#pragma once

#include <windows.h>

#include "tools/drive_session.h"

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
// watch PID MS: waits up to MS for the (suspended) process PID that start
// made, resumed by start once this holds it, and records its end.
int verb_watch(Session& s, const Words& a);

// The checks of their arguments, made before any verb of a command or a
// script runs: 0, or 2 with the error set (the verbs take checked arguments).
int check_start(Session& s, const Words& a);
int check_exit(Session& s, const Words& a);
int check_run(Session& s, const Words& a);
int check_watch(Session& s, const Words& a);

// Ends the program a script started if it still runs (after a script, also
// one that failed).
void end_program(Session& s);
