// Work off the dialog's thread. A job is a worker thread and a hidden child
// window of the dialog with the job's id: the window keeps the job's callback
// in its GWLP_USERDATA slot like every control, and the job itself in its
// extra bytes. The worker posts to the window; the window's procedure, on the
// dialog's thread, hands each report and the end to the callback. So the
// toolkit keeps no table of jobs, and a job whose dialog is destroyed is told
// to stop by its window's end.
#include "runtime/checked.h"
#include "runtime/state.h"
#include "toolkit/toolkit_private.h"

struct WorkJob {
    WorkProcedure work;
    void* context;
    HWND window;
    volatile LONG references;        // the window's and the worker's
    volatile LONG cancelled;         // set by cancel_work and by the window's end
    volatile LONG progress_waiting;  // a progress message is on its way
    volatile LONG progress;          // the latest value reported
    std::int32_t result;
};

namespace {

constexpr char kJobClass[] = "KestrowaneWork";
constexpr UINT kProgressPosted = WM_APP;
constexpr UINT kDonePosted = WM_APP + 1;
constexpr int kJobSlot = 0;  // the window's extra bytes hold the job

void release(WorkJob* job) {
    if (InterlockedDecrement(&job->references) == 0) HeapFree(GetProcessHeap(), 0, job);
}

WorkJob* job_of(HWND window) { return reinterpret_cast<WorkJob*>(GetWindowLongPtrA(window, kJobSlot)); }

// Hands the callback of the job window one notification, as a control's
// WM_COMMAND from the dialog.
void notify(ControlCallback callback, HWND dialog, int id, WORD code, std::int32_t value) {
    if (callback != nullptr) callback(dialog, WM_COMMAND, MAKEWPARAM(id, code), static_cast<LPARAM>(value));
}

LRESULT CALLBACK job_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    WorkJob* job = job_of(window);
    if (job != nullptr && message == kProgressPosted) {
        // Cleared before the value is read: a report made meanwhile posts
        // again, so the latest value always arrives (perhaps twice).
        InterlockedExchange(&job->progress_waiting, 0);
        notify(callback_of(window), GetParent(window), GetDlgCtrlID(window), kWorkProgress, job->progress);
        return 0;
    }
    if (job != nullptr && message == kDonePosted) {
        // The window goes first, so the id is free when the callback hears
        // of the end: it may start the next job under the same id.
        ControlCallback callback = callback_of(window);
        HWND dialog = GetParent(window);
        int id = GetDlgCtrlID(window);
        std::int32_t result = job->result;
        DestroyWindow(window);
        notify(callback, dialog, id, kWorkDone, result);
        return 0;
    }
    if (job != nullptr && message == WM_NCDESTROY) {
        InterlockedExchange(&job->cancelled, 1);
        SetWindowLongPtrA(window, kJobSlot, 0);
        release(job);
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

DWORD WINAPI run_job(void* parameter) {
    auto* job = static_cast<WorkJob*>(parameter);
    job->result = job->work(job, job->context);
    // Fails harmlessly when the window is gone (its dialog ended).
    PostMessageA(job->window, kDonePosted, 0, 0);
    release(job);
    return 0;
}

}  // namespace

BOOL start_work(HWND dialog, std::int32_t id, WorkProcedure work, void* context, ControlCallback callback) {
    check_program_thread("start_work");
    // The job's window is a child of the dialog and a window of the calling
    // thread, so the dialog's thread alone may start a job: made on another
    // (a work procedure's), the window would end with that thread and its
    // job unheard; of another process's dialog, it would tie the two
    // programs' input together and hand that window's handle to the callback
    // as the dialog.
    if (work == nullptr || GetWindowThreadProcessId(dialog, nullptr) != GetCurrentThreadId() ||
        GetDlgItem(dialog, id) != nullptr)
        return FALSE;
    auto instance = static_cast<HINSTANCE>(runtime_state.instance);
    WNDCLASSA job_class = {};
    job_class.lpfnWndProc = job_window_proc;
    job_class.cbWndExtra = sizeof(WorkJob*);
    job_class.hInstance = instance;
    job_class.lpszClassName = kJobClass;
    RegisterClassA(&job_class);  // fails harmlessly once the class exists
    auto* job = static_cast<WorkJob*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(WorkJob)));
    if (job == nullptr) return FALSE;
    job->work = work;
    job->context = context;
    job->references = 2;
    HWND window = CreateWindowExA(0, kJobClass, "", WS_CHILD, 0, 0, 0, 0, dialog,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (window == nullptr) {
        HeapFree(GetProcessHeap(), 0, job);
        return FALSE;
    }
    job->window = window;
    keep_callback(window, callback);
    SetWindowLongPtrA(window, kJobSlot, reinterpret_cast<LONG_PTR>(job));
    HANDLE thread = CreateThread(nullptr, 0, run_job, job, 0, nullptr);
    if (thread == nullptr) {
        InterlockedDecrement(&job->references);  // no worker: the window's end frees the job
        DestroyWindow(window);
        return FALSE;
    }
    CloseHandle(thread);
    return TRUE;
}

BOOL cancel_work(HWND dialog, std::int32_t id) {
    check_program_thread("cancel_work");
    HWND window = GetDlgItem(dialog, id);
    if (GetWindowLongPtrA(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(job_window_proc)) return FALSE;
    WorkJob* job = job_of(window);
    if (job == nullptr) return FALSE;
    InterlockedExchange(&job->cancelled, 1);
    return TRUE;
}

void report_work_progress(WorkJob* job, std::int32_t value) {
    InterlockedExchange(&job->progress, value);
    if (InterlockedExchange(&job->progress_waiting, 1) == 0) PostMessageA(job->window, kProgressPosted, 0, 0);
}

bool work_cancelled(const WorkJob* job) { return job->cancelled != 0; }
