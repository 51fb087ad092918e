// Dialog timers. A timer is named by its callback: the platform's timer id is
// the callback's address, and the toolkit's timer procedure calls the
// callback at that address, so no table of timers is kept anywhere. A running
// timer is marked by a window property of the dialog named after that
// address, since a WM_TIMER that anyone may post carries an id of the
// poster's choosing. The platform ends a window's timers with the window,
// and its properties with it.
#include "runtime/checked.h"
#include "toolkit/toolkit.h"

namespace {

// The name of the property that marks the callback's timer as running:
// "KestrowaneTimer" and the callback's address in hexadecimal.
class TimerName {
public:
    explicit TimerName(ControlCallback callback) {
        constexpr char kPrefix[] = "KestrowaneTimer";
        std::uint32_t n = 0;
        while (kPrefix[n] != 0) {
            text_[n] = kPrefix[n];
            ++n;
        }
        auto address = reinterpret_cast<std::uintptr_t>(callback);
        for (int shift = 8 * sizeof address - 4; shift >= 0; shift -= 4)
            text_[n++] = "0123456789abcdef"[(address >> shift) & 0xF];
        text_[n] = 0;
    }
    const char* text() const { return text_; }

private:
    char text_[sizeof "KestrowaneTimer" + 2 * sizeof(std::uintptr_t)];
};

// Calls the callback the id names when its timer runs on the dialog: a
// WM_TIMER posted with the address of anything else calls nothing.
void CALLBACK on_timer(HWND dialog, UINT, UINT_PTR id, DWORD time) {
    auto callback = reinterpret_cast<ControlCallback>(id);
    if (GetPropA(dialog, TimerName(callback).text()) != nullptr)
        callback(dialog, WM_TIMER, 0, static_cast<LPARAM>(time));
}

}  // namespace

BOOL start_dialog_timer(HWND dialog, ControlCallback callback, std::uint32_t milliseconds) {
    check_program_thread("start_dialog_timer");
    // The null window would make a timer of the thread instead, with an id
    // of the platform's choosing.
    if (callback == nullptr || !IsWindow(dialog)) return FALSE;
    auto id = reinterpret_cast<UINT_PTR>(callback);
    // The mark follows the timer: no tick is handled before it, since ticks
    // come from this thread's message loop.
    if (SetTimer(dialog, id, milliseconds, on_timer) == 0) return FALSE;
    if (SetPropA(dialog, TimerName(callback).text(), reinterpret_cast<HANDLE>(1))) return TRUE;
    KillTimer(dialog, id);
    return FALSE;
}

BOOL stop_dialog_timer(HWND dialog, ControlCallback callback) {
    check_program_thread("stop_dialog_timer");
    if (callback == nullptr || dialog == nullptr) return FALSE;
    if (!KillTimer(dialog, reinterpret_cast<UINT_PTR>(callback))) return FALSE;
    RemovePropA(dialog, TimerName(callback).text());
    return TRUE;
}
