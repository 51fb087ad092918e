// Programs run as processes of their own: started from a command line,
// waited for with a limit, ended when they still run. The one way drive and
// the end-to-end drivers handle processes.
#pragma once

#include <windows.h>

#include <string>

// How long end waits for an ended process to be gone.
constexpr DWORD kEndWait = 5000;
// The exit code of a process that end ended.
constexpr DWORD kEndedCode = 0xDEAD;

// The standard handles a started program gets; each must be inheritable.
struct StandardHandles {
    HANDLE input = nullptr;
    HANDLE output = nullptr;
    HANDLE error = nullptr;
};

// One process held: started, or opened by its id. Whatever it holds when it
// goes is ended first, so that a failure never leaves a program running;
// release lets go of a process that is meant to run on.
class Process {
public:
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process() { end(); }

    // Ends what it held, then starts the command line (UTF-8, its program's
    // path first: command_line_of makes one from words), with flags for
    // CreateProcess and, when handles is given, those standard handles and
    // every inheritable handle of this process. A start that the platform
    // ends before the program runs (error 1359 under Wine) is made again,
    // three tries in all. False with error set to "cannot start LINE
    // (error N)", with what N means after it for a file that is not there
    // or is no program (": no such file"), and ", 3 tries" when it was
    // tried again.
    bool start(const std::string& command_line, std::string& error, const StandardHandles* handles = nullptr,
               DWORD flags = 0);
    // Ends what it held, then holds the running process pid, to wait for
    // it, read its exit code and end it; false (GetLastError says why) when
    // it cannot be opened.
    bool open(DWORD pid);

    bool held() const { return pi_.hProcess != nullptr; }
    DWORD id() const { return pi_.dwProcessId; }
    // Held and not yet ended.
    bool running() const;
    // Waits up to ms for it to end: true once it has ended.
    bool wait(DWORD ms) const;
    // Its exit code once it has ended, STILL_ACTIVE while it runs or when
    // nothing is held.
    DWORD exit_code() const;
    // Lets a process started with CREATE_SUSPENDED run.
    void resume() const;
    // Ends it with kEndedCode if it still runs, waits up to ms for it to be
    // gone, and lets go of it.
    void end(DWORD ms = kEndWait);
    // Lets go of it, leaving it running.
    void release();

private:
    PROCESS_INFORMATION pi_ = {};
};

// Whether the process pid runs.
bool process_running(DWORD pid);
