// Sliders (trackbars) and up-down controls: their range and position. Both
// tell their dialog of a change with WM_HSCROLL or WM_VSCROLL, which the
// dialog procedure hands to the control's own callback; the up-down sends
// UDN_DELTAPOS before it moves as well.
#include "runtime/checked.h"
#include "toolkit/toolkit_private.h"

#include <commctrl.h>

namespace {

// The messages of one kind of ranged control.
struct RangeMessages {
    const char* class_name;
    UINT set_minimum, set_maximum, set_range, get_position, set_position;
};
constexpr RangeMessages kSliderMessages = {TRACKBAR_CLASSA, TBM_SETRANGEMIN, TBM_SETRANGEMAX, 0,
                                           TBM_GETPOS,      TBM_SETPOS};
constexpr RangeMessages kUpDownMessages = {UPDOWN_CLASSA, 0, 0, UDM_SETRANGE32, UDM_GETPOS32, UDM_SETPOS32};

// The control (dialog, id) names when it is of the kind, else null.
HWND ranged(HWND dialog, std::int32_t id, const RangeMessages& m) {
    return control_of_class(dialog, id, m.class_name, "a slider or up-down operation");
}

BOOL set_range(HWND dialog, std::int32_t id, std::int32_t minimum, std::int32_t maximum, const RangeMessages& m) {
    HWND control = ranged(dialog, id, m);
    if (control == nullptr || minimum > maximum) return FALSE;
    // The slider divides by its span computed in 32 bits, which is -1 for
    // the whole range: a position then overflows the division and ends the
    // program (seen under Wine as soon as the slider moves).
    if (m.set_range == 0 && minimum == INT32_MIN && maximum == INT32_MAX) return FALSE;
    if (m.set_range != 0) {
        SendMessageW(control, m.set_range, static_cast<WPARAM>(minimum), static_cast<LPARAM>(maximum));
    } else {
        SendMessageW(control, m.set_minimum, FALSE, static_cast<LPARAM>(minimum));
        SendMessageW(control, m.set_maximum, TRUE, static_cast<LPARAM>(maximum));
    }
    return TRUE;
}

std::int32_t get_position(HWND dialog, std::int32_t id, const RangeMessages& m) {
    HWND control = ranged(dialog, id, m);
    return control != nullptr ? static_cast<std::int32_t>(SendMessageW(control, m.get_position, 0, 0)) : 0;
}

BOOL set_position(HWND dialog, std::int32_t id, std::int32_t position, const RangeMessages& m) {
    HWND control = ranged(dialog, id, m);
    if (control == nullptr) return FALSE;
    // The slider takes the position in lParam (wParam: redraw), the up-down in lParam too.
    SendMessageW(control, m.set_position, m.set_range == 0 ? TRUE : 0, static_cast<LPARAM>(position));
    return TRUE;
}

}  // namespace

BOOL slider_set_range(HWND dialog, std::int32_t id, std::int32_t minimum, std::int32_t maximum) {
    return set_range(dialog, id, minimum, maximum, kSliderMessages);
}
std::int32_t slider_get_position(HWND dialog, std::int32_t id) { return get_position(dialog, id, kSliderMessages); }
BOOL slider_set_position(HWND dialog, std::int32_t id, std::int32_t position) {
    return set_position(dialog, id, position, kSliderMessages);
}

BOOL updown_set_range(HWND dialog, std::int32_t id, std::int32_t minimum, std::int32_t maximum) {
    return set_range(dialog, id, minimum, maximum, kUpDownMessages);
}
std::int32_t updown_get_position(HWND dialog, std::int32_t id) { return get_position(dialog, id, kUpDownMessages); }
BOOL updown_set_position(HWND dialog, std::int32_t id, std::int32_t position) {
    return set_position(dialog, id, position, kUpDownMessages);
}
