// A program of ours started as a process of its own for an end-to-end test,
// and ended whatever the test left it doing.
#pragma once

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "tools/poll.h"
#include "tools/window_find.h"

constexpr DWORD kStartTimeout = 20000;  // a first Wine process start can take seconds
constexpr DWORD kStepTimeout = 5000;
constexpr DWORD kExitTimeout = 20000;

// Two rectangles compared; a failure shows both.
inline ::testing::AssertionResult same_rect(const RECT& expected, const RECT& actual) {
    if (EqualRect(&expected, &actual)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected (" << expected.left << "," << expected.top << ")-("
                                         << expected.right << "," << expected.bottom << "), got (" << actual.left << ","
                                         << actual.top << ")-(" << actual.right << "," << actual.bottom << ")";
}

class ProgramUnderTest {
public:
    ProgramUnderTest() = default;
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;
    ~ProgramUnderTest() {
        if (!started_) return;
        if (!ended()) {
            TerminateProcess(process_.hProcess, 0xDEAD);
            WaitForSingleObject(process_.hProcess, kExitTimeout);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }

    // Starts the program at path and waits for its window with that title;
    // gives it, or null with what went wrong in error.
    HWND start(const char* path, const char* title, std::string& error) {
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        std::string line = path;
        if (!CreateProcessA(path, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &process_)) {
            error = "cannot start " + line + ": error " + std::to_string(GetLastError());
            return nullptr;
        }
        started_ = true;
        HWND w = nullptr;
        if (!poll_until(kStartTimeout,
                        [&] { return (w = find_process_window(process_.dwProcessId, title)) != nullptr; }))
            error = std::string("no window \"") + title + "\" within " + std::to_string(kStartTimeout) +
                    " ms; visible windows: " + visible_titles();
        return w;
    }

    DWORD id() const { return process_.dwProcessId; }
    bool ended() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }

    // The exit code once the process has ended, STILL_ACTIVE if it runs on.
    DWORD exit_code() {
        if (WaitForSingleObject(process_.hProcess, kExitTimeout) != WAIT_OBJECT_0) return STILL_ACTIVE;
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION process_ = {};
    bool started_ = false;
};
