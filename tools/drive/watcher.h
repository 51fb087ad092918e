// Programs that `drive start` leaves running from the command line: each is
// waited for by a watcher, a detached drive process (`drive watch PID MS`)
// that outlives the drive that started it, ends the program at its limit,
// and records its end in a state file, named after the program's process
// id, in the user's temporary folder. A later `drive exit` reads that file,
// so it learns the exit code also of a program that ended long before; no
// other process holds the program, so the platform would forget its code.
#pragma once

#include <windows.h>

#include "tools/drive/session.h"

// Starts the program's words under a watcher with that limit, prints its
// process id and leaves it running: 0, or 1 with the error set.
int start_watched(Session& s, const Words& words, DWORD limit);
// exit [PID [MS]]: waits up to ms for the watcher of PID (without one, of
// the only program started and not yet waited for) to record its end,
// prints its exit code, and fails unless it is 0.
int exit_started(Session& s, const Words& a, DWORD ms);

// watch PID MS: waits up to MS for the (suspended) process PID that start
// made, resumed by start once this holds it, and records its end.
int verb_watch(Session& s, const Words& a);
int check_watch(Session& s, const Words& a);
