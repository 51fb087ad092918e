/* Starts programs and times how long their dialog takes to appear.
 *
 *   launcher start ROUNDS TITLE LABEL=PROGRAM...
 *       Runs the programs in turn, ROUNDS times (A B A B ...). Each run:
 *       CreateProcess, then FindWindow for TITLE every millisecond until the
 *       program's window is visible, then Cancel is posted and the process
 *       is waited for. Prints "start LABEL MICROSECONDS" per run.
 *   launcher wait TITLE MS     waits until a visible window has TITLE
 *   launcher close TITLE       posts Cancel to it and waits until it is gone
 *
 * Exit status 0 on success, 1 when a window never came or a program failed. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

static double qpc_us(LARGE_INTEGER from, LARGE_INTEGER to) {
    static LARGE_INTEGER frequency;
    if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
    return (double)(to.QuadPart - from.QuadPart) * 1e6 / (double)frequency.QuadPart;
}

/* The visible top-level window with this title, of this process (0: any). */
static HWND visible_window(const char* title, DWORD process_id) {
    HWND w = FindWindowA(NULL, title);
    DWORD owner = 0;
    if (w == NULL || !IsWindowVisible(w)) return NULL;
    GetWindowThreadProcessId(w, &owner);
    return process_id == 0 || owner == process_id ? w : NULL;
}

static HWND poll_window(const char* title, DWORD process_id, DWORD timeout_ms) {
    DWORD start = GetTickCount();
    HWND w;
    while ((w = visible_window(title, process_id)) == NULL) {
        if (GetTickCount() - start > timeout_ms) return NULL;
        Sleep(1);
    }
    return w;
}

static void post_cancel(HWND w) { PostMessageA(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }

static int time_start(const char* label, const char* program, const char* title) {
    STARTUPINFOA si;
    PROCESS_INFORMATION pi;
    LARGE_INTEGER t0, t1;
    char command_line[MAX_PATH + 2];
    HWND w;
    DWORD code = 1;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    snprintf(command_line, sizeof command_line, "\"%s\"", program);
    QueryPerformanceCounter(&t0);
    if (!CreateProcessA(program, command_line, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) {
        fprintf(stderr, "launcher: cannot start %s (error %lu)\n", program, GetLastError());
        return 1;
    }
    w = poll_window(title, pi.dwProcessId, 20000);
    QueryPerformanceCounter(&t1);
    if (w == NULL) {
        fprintf(stderr, "launcher: %s showed no window \"%s\"\n", program, title);
        TerminateProcess(pi.hProcess, 1);
    } else {
        post_cancel(w);
        if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) {
            fprintf(stderr, "launcher: %s did not end after Cancel\n", program);
            TerminateProcess(pi.hProcess, 1);
        }
        GetExitCodeProcess(pi.hProcess, &code);
        if (code != 0)
            fprintf(stderr, "launcher: %s ended with %lu\n", program, code);
        else
            printf("start %s %.0f\n", label, qpc_us(t0, t1));
        fflush(stdout);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return w != NULL && code == 0 ? 0 : 1;
}

int main(int argc, char** argv) {
    int failures = 0;
    if (argc >= 5 && strcmp(argv[1], "start") == 0) {
        int rounds = atoi(argv[2]), r, k;
        for (r = 0; r < rounds; ++r) {
            for (k = 4; k < argc; ++k) {
                char label[64];
                const char* eq = strchr(argv[k], '=');
                if (eq == NULL || eq - argv[k] >= (int)sizeof label) return 2;
                memcpy(label, argv[k], (size_t)(eq - argv[k]));
                label[eq - argv[k]] = 0;
                failures += time_start(label, eq + 1, argv[3]);
            }
        }
        return failures ? 1 : 0;
    }
    if (argc == 4 && strcmp(argv[1], "wait") == 0) return poll_window(argv[2], 0, (DWORD)atoi(argv[3])) ? 0 : 1;
    if (argc == 3 && strcmp(argv[1], "close") == 0) {
        HWND w = poll_window(argv[2], 0, 5000);
        DWORD start = GetTickCount();
        if (w == NULL) return 1;
        post_cancel(w);
        while (IsWindow(w)) {
            if (GetTickCount() - start > 10000) return 1;
            Sleep(1);
        }
        return 0;
    }
    fprintf(stderr, "usage: launcher start ROUNDS TITLE LABEL=PROGRAM... | wait TITLE MS | close TITLE\n");
    return 2;
}
