// Dialog timers. A timer is named by its callback: the platform's timer id is
// the callback's address, and the toolkit's timer procedure calls the
// callback at that address, so no table of timers is kept anywhere. The
// platform ends a window's timers with the window.
#include "runtime/checked.h"
#include "toolkit/toolkit.h"

namespace {

void CALLBACK on_timer(HWND dialog, UINT, UINT_PTR id, DWORD time) {
    reinterpret_cast<ControlCallback>(id)(dialog, WM_TIMER, 0, static_cast<LPARAM>(time));
}

}  // namespace

BOOL start_dialog_timer(HWND dialog, ControlCallback callback, std::uint32_t milliseconds) {
    check_program_thread("start_dialog_timer");
    // The null window would make a timer of the thread instead, with an id
    // of the platform's choosing.
    if (callback == nullptr || !IsWindow(dialog)) return FALSE;
    return SetTimer(dialog, reinterpret_cast<UINT_PTR>(callback), milliseconds, on_timer) != 0;
}

BOOL stop_dialog_timer(HWND dialog, ControlCallback callback) {
    check_program_thread("stop_dialog_timer");
    if (callback == nullptr || dialog == nullptr) return FALSE;
    return KillTimer(dialog, reinterpret_cast<UINT_PTR>(callback));
}
