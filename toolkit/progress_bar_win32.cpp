// The progress bar (kind 17): its range, position and step, and the marquee
// that shows work of unknown length.
#include "runtime/checked.h"
#include "toolkit/toolkit_private.h"

// After windows.h, which toolkit_private.h brings.
#include <commctrl.h>

namespace {

// The progress bar (dialog, id) names, or null when it is no progress bar:
// its messages share their numbers with those of the slider and the status
// bar, which read some of them as addresses to write to.
HWND progress_bar(HWND dialog, std::int32_t id) {
    return control_of_class(dialog, id, PROGRESS_CLASSA, "a progress bar operation");
}

// The bar's reply; 0 when there is no such control.
LRESULT send(HWND dialog, std::int32_t id, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
    HWND bar = progress_bar(dialog, id);
    return bar != nullptr ? SendMessageA(bar, message, wparam, lparam) : 0;
}

}  // namespace

BOOL progress_set_range(HWND dialog, std::int32_t id, std::int32_t low, std::int32_t high) {
    if (low >= high || progress_bar(dialog, id) == nullptr) return FALSE;
    send(dialog, id, PBM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(high));
    return TRUE;
}

std::int32_t progress_set_position(HWND dialog, std::int32_t id, std::int32_t position) {
    send(dialog, id, PBM_SETPOS, static_cast<WPARAM>(position));
    return progress_get_position(dialog, id);
}

std::int32_t progress_get_position(HWND dialog, std::int32_t id) {
    return static_cast<std::int32_t>(send(dialog, id, PBM_GETPOS));
}

void progress_set_step(HWND dialog, std::int32_t id, std::int32_t step) {
    send(dialog, id, PBM_SETSTEP, static_cast<WPARAM>(step));
}

std::int32_t progress_step(HWND dialog, std::int32_t id) {
    send(dialog, id, PBM_STEPIT);
    return progress_get_position(dialog, id);
}

BOOL progress_marquee(HWND dialog, std::int32_t id, std::int32_t on, std::int32_t milliseconds) {
    HWND bar = progress_bar(dialog, id);
    if (bar == nullptr) return FALSE;
    LONG_PTR style = GetWindowLongPtrA(bar, GWL_STYLE);
    // The style bit turns the bar into a marquee; the message starts and
    // stops its motion. Stopped, the bar shows its position again.
    if (on != 0) {
        SetWindowLongPtrA(bar, GWL_STYLE, style | PBS_MARQUEE);
        SendMessageA(bar, PBM_SETMARQUEE, TRUE, milliseconds > 0 ? milliseconds : 0);
    } else {
        SendMessageA(bar, PBM_SETMARQUEE, FALSE, 0);
        SetWindowLongPtrA(bar, GWL_STYLE, style & ~static_cast<LONG_PTR>(PBS_MARQUEE));
    }
    InvalidateRect(bar, nullptr, TRUE);
    return TRUE;
}
