// What one drive process knows while it runs its verbs: shared by the verb
// table and the verbs.
#pragma once

#include <windows.h>

#include <string>

#include "tools/common/process.h"
#include "tools/common/text.h"

struct Session {
    DWORD timeout = 10000;   // every wait's limit, unless the verb names one
    bool in_script = false;  // start and exit keep the program in this process
    Words program;           // what a script's `start` without arguments starts
    std::string self;        // drive.exe's own path (drive_hook.dll is beside it)
    Process started;         // the program a script started last, until exit reads its end
    std::string error;       // what the last failed verb waited for and what it saw, or why a command is bad usage
};

// "250 ms", for messages.
inline std::string ms_text(DWORD ms) { return std::to_string(ms) + " ms"; }

// Sets the error and gives 1, the status of a failed verb.
inline int fail(Session& s, const std::string& message) {
    s.error = message;
    return 1;
}

// Sets the error and gives 2, the status of bad usage.
inline int bad_usage(Session& s, const std::string& message) {
    s.error = message;
    return 2;
}
