#include "tools/common/process.h"

#include "tools/common/text.h"

namespace {

// What the platform's error means for a start that failed, in words, for
// the errors a wrong path or a wrong file gives; "" for another.
const char* start_error_words(DWORD code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return ": no such file";
        case ERROR_ACCESS_DENIED:
            return ": access denied";
        case ERROR_BAD_EXE_FORMAT:
        case ERROR_EXE_MACHINE_TYPE_MISMATCH:
            return ": no Windows program that this Wine or Windows can run";
        default:
            return "";
    }
}

}  // namespace

bool Process::start(const std::string& command_line, std::string& error, const StandardHandles* handles, DWORD flags) {
    end();
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    if (handles != nullptr) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = handles->input;
        si.hStdOutput = handles->output;
        si.hStdError = handles->error;
    }
    // Under Wine a new process now and then ends in the platform's own
    // start-up, before any of its code runs, and CreateProcessW fails with
    // ERROR_INTERNAL_ERROR (docs/platform.md). Nothing of the program ran,
    // so the start is made again, three tries in all.
    for (int tries = 1;; ++tries) {
        std::wstring wide = utf16_of(command_line);  // CreateProcessW may write into the line
        if (CreateProcessW(nullptr, &wide[0], nullptr, nullptr, handles != nullptr, flags, nullptr, nullptr, &si, &pi_))
            return true;
        DWORD code = GetLastError();
        pi_ = {};
        if (code != ERROR_INTERNAL_ERROR || tries == 3) {
            error = "cannot start " + command_line + " (error " + std::to_string(code) + start_error_words(code) +
                    (tries > 1 ? ", " + std::to_string(tries) + " tries" : std::string()) + ")";
            return false;
        }
    }
}

bool Process::open(DWORD pid) {
    end();
    pi_.hProcess = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, pid);
    pi_.dwProcessId = pi_.hProcess != nullptr ? pid : 0;
    return pi_.hProcess != nullptr;
}

bool Process::running() const { return held() && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

bool Process::wait(DWORD ms) const { return held() && WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0; }

DWORD Process::exit_code() const {
    DWORD code = STILL_ACTIVE;
    if (held()) GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

void Process::resume() const {
    if (pi_.hThread != nullptr) ResumeThread(pi_.hThread);
}

void Process::end(DWORD ms) {
    if (running() && TerminateProcess(pi_.hProcess, kEndedCode)) WaitForSingleObject(pi_.hProcess, ms);
    release();
}

void Process::release() {
    if (pi_.hThread != nullptr) CloseHandle(pi_.hThread);
    if (pi_.hProcess != nullptr) CloseHandle(pi_.hProcess);
    pi_ = {};
}

bool process_running(DWORD pid) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (process == nullptr) return false;
    bool runs = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return runs;
}
