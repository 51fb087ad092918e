// Measuring, moving and resizing dialogs and controls in dialog units.
#include "toolkit/toolkit_private.h"

namespace {

// The pixels of 1000 x 1000 dialog units of the window, asked afresh each time.
UnitPair scale_of(HWND window) {
    RECT r = {0, 0, 1000, 1000};
    MapDialogRect(window, &r);
    return {r.right, r.bottom};
}

UnitPair to_units(HWND scale_window, std::int32_t x, std::int32_t y) {
    UnitPair s = scale_of(scale_window);
    return {scale_pixels_to_units(x, s.horizontal), scale_pixels_to_units(y, s.vertical)};
}

BOOL place(HWND dialog, std::int32_t id, std::int32_t x, std::int32_t y, UINT flags) {
    UnitPair px = dialog_units_to_pixels(dialog, x, y);
    BOOL moving = (flags & SWP_NOMOVE) == 0;
    return SetWindowPos(control_of(dialog, id), nullptr, moving ? px.horizontal : 0, moving ? px.vertical : 0,
                        moving ? 0 : px.horizontal, moving ? 0 : px.vertical, flags);
}

}  // namespace

HWND find_target_window(HWND dialog, std::int32_t id) { return control_of(dialog, id); }

// MapDialogRect's conversion, in 64 bits: a result beyond 32 bits saturates
// where the platform's gives -1.
UnitPair dialog_units_to_pixels(HWND dialog, std::int32_t x, std::int32_t y) {
    UnitPair s = scale_of(dialog);
    return {scale_units_to_pixels(x, s.horizontal), scale_units_to_pixels(y, s.vertical)};
}

UnitPair pixels_to_dialog_units(HWND dialog, std::int32_t x, std::int32_t y) { return to_units(dialog, x, y); }

UnitPair get_client_size(HWND dialog) {
    RECT r = {0, 0, 0, 0};
    GetClientRect(dialog, &r);
    return to_units(dialog, r.right, r.bottom);
}

UnitPair get_window_size(HWND dialog, std::int32_t id) {
    RECT r = {0, 0, 0, 0};
    GetWindowRect(control_of(dialog, id), &r);
    return to_units(dialog, r.right - r.left, r.bottom - r.top);
}

UnitPair get_window_location(HWND dialog, std::int32_t id) {
    HWND target = control_of(dialog, id);
    RECT r = {0, 0, 0, 0};
    GetWindowRect(target, &r);
    auto reference = reinterpret_cast<HWND>(GetWindowLongPtrA(target, GWLP_HWNDPARENT));
    POINT corner = {r.left, r.top};
    if (reference != nullptr) {
        ScreenToClient(reference, &corner);
    } else {
        reference = target;
    }
    return to_units(reference, corner.x, corner.y);
}

BOOL set_window_size(HWND dialog, std::int32_t id, std::int32_t width, std::int32_t height) {
    return place(dialog, id, width, height, SWP_NOMOVE | SWP_NOZORDER);
}

BOOL set_window_location(HWND dialog, std::int32_t id, std::int32_t x, std::int32_t y) {
    return place(dialog, id, x, y, SWP_NOSIZE | SWP_NOZORDER);
}
