// A program of ours started as a process of its own for an end-to-end test,
// and ended whatever the test left it doing.
#pragma once

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "tools/common/poll.h"
#include "tools/common/process.h"
#include "tools/common/text.h"
#include "tools/common/window_find.h"

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
    ~ProgramUnderTest() { process_.end(kExitTimeout); }

    // Starts the program at path and waits for its window with that title;
    // gives it, or null with what went wrong in error.
    HWND start(const char* path, const char* title, std::string& error) {
        if (!process_.start(command_line_of({path}), error)) return nullptr;
        HWND w = nullptr;
        if (!poll_until(kStartTimeout, [&] { return (w = find_process_window(process_.id(), title)) != nullptr; }))
            error = std::string("no window \"") + title + "\" within " + std::to_string(kStartTimeout) +
                    " ms; visible windows: " + visible_titles();
        return w;
    }

    DWORD id() const { return process_.id(); }
    bool ended() const { return !process_.running(); }

    // The exit code once the process has ended, STILL_ACTIVE if it runs on.
    DWORD exit_code() const {
        process_.wait(kExitTimeout);
        return process_.exit_code();
    }

private:
    Process process_;  // ended, if still running, when the test is over
};
