// Layout: dialogs the user can resize, controls that follow their anchors,
// and a menu bar that keeps the client area a dialog was designed with.
//
// A resizable dialog's window procedure (the dialog manager's) is replaced
// by layout_proc, which keeps the old one in a window property and hands it
// every message. The dialog's minimum and last client sizes are window
// properties of the dialog, each control's anchors a window property of the
// control: nothing is kept anywhere else. A file of its own: a program that
// makes no dialog resizable links none of it.
#include "toolkit/toolkit_private.h"

namespace {

constexpr char kOldProcProperty[] = "KestrowaneLayoutProc";     // the dialog's window procedure before
constexpr char kLastSizeProperty[] = "KestrowaneLayoutSize";    // the client size controls were laid out for
constexpr char kMinimumProperty[] = "KestrowaneLayoutMinimum";  // the least client size
constexpr char kAnchorsProperty[] = "KestrowaneAnchors";        // a control's anchors, with kAnchorsKept

// Marks a stored anchor set, so that anchors 0 (centred both ways) is a value
// a property can hold; left and top alone, the default, is no property.
constexpr std::uint32_t kAnchorsKept = 0x100;
constexpr std::uint32_t kAllAnchors = kAnchorLeft | kAnchorTop | kAnchorRight | kAnchorBottom;

// A client size in pixels, packed into a property's value (16 bits a side).
HANDLE pack_size(std::int32_t width, std::int32_t height) {
    auto packed = (static_cast<std::uintptr_t>(width & 0xFFFF) << 16) | static_cast<std::uintptr_t>(height & 0xFFFF);
    return reinterpret_cast<HANDLE>(packed);
}
POINT unpack_size(HANDLE value) {
    auto packed = reinterpret_cast<std::uintptr_t>(value);
    return {static_cast<LONG>((packed >> 16) & 0xFFFF), static_cast<LONG>(packed & 0xFFFF)};
}

POINT client_size(HWND window) {
    RECT r = {0, 0, 0, 0};
    GetClientRect(window, &r);
    return {r.right, r.bottom};
}

// Grows (or shrinks) the window so that its client area has the size it had
// before a change of its frame or menu bar: the difference is measured, so
// it is exact whatever the frame, the font or a menu bar wrapped over lines.
void restore_client_size(HWND window, POINT before) {
    POINT after = client_size(window);
    if (after.x == before.x && after.y == before.y) return;
    RECT r = {0, 0, 0, 0};
    GetWindowRect(window, &r);
    SetWindowPos(window, nullptr, 0, 0, r.right - r.left + before.x - after.x, r.bottom - r.top + before.y - after.y,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// How far one side of a control moves when its dialog grows by the
// difference from old_extent to new_extent: anchored to both edges the far
// side follows the far edge; to the far edge alone, both sides do; to
// neither, both move with the centre. Halving each extent before taking the
// difference makes successive steps add up exactly to one step.
struct Shift {
    std::int32_t start;  // of the left (top) side
    std::int32_t size;   // of the width (height)
};
Shift shift_of(std::uint32_t anchors, std::uint32_t near_anchor, std::uint32_t far_anchor, LONG old_extent,
               LONG new_extent) {
    std::int32_t delta = new_extent - old_extent;
    bool near_side = (anchors & near_anchor) != 0;
    bool far_side = (anchors & far_anchor) != 0;
    if (near_side && far_side) return {0, delta};
    if (far_side) return {delta, 0};
    if (near_side) return {0, 0};
    return {new_extent / 2 - old_extent / 2, 0};
}

std::uint32_t anchors_of(HWND control) {
    auto kept = reinterpret_cast<std::uintptr_t>(GetPropA(control, kAnchorsProperty));
    if ((kept & kAnchorsKept) == 0) return kAnchorLeft | kAnchorTop;
    return static_cast<std::uint32_t>(kept) & kAllAnchors;
}

void keep_anchors(HWND control, std::uint32_t anchors) {
    if (anchors == (kAnchorLeft | kAnchorTop)) {
        RemovePropA(control, kAnchorsProperty);
    } else {
        SetPropA(control, kAnchorsProperty,
                 reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(anchors | kAnchorsKept)));
    }
}

// Moves one control for a client area that went from old_size to new_size.
void follow_anchors(HWND dialog, HWND control, POINT old_size, POINT new_size) {
    std::uint32_t anchors = anchors_of(control);
    if (anchors == (kAnchorLeft | kAnchorTop)) return;
    Shift h = shift_of(anchors, kAnchorLeft, kAnchorRight, old_size.x, new_size.x);
    Shift v = shift_of(anchors, kAnchorTop, kAnchorBottom, old_size.y, new_size.y);
    RECT r = {0, 0, 0, 0};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    std::int32_t width = r.right - r.left + h.size;
    std::int32_t height = r.bottom - r.top + v.size;
    SetWindowPos(control, nullptr, r.left + h.start, r.top + v.start, width < 0 ? 0 : width, height < 0 ? 0 : height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// Lays the dialog's own controls out for its new client size.
void lay_out(HWND dialog, POINT new_size) {
    POINT old_size = unpack_size(GetPropA(dialog, kLastSizeProperty));
    if (old_size.x == new_size.x && old_size.y == new_size.y) return;
    SetPropA(dialog, kLastSizeProperty, pack_size(new_size.x, new_size.y));
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        follow_anchors(dialog, child, old_size, new_size);
    // Controls that moved leave their old places to the dialog's background.
    InvalidateRect(dialog, nullptr, TRUE);
}

// The least window size: the minimum client size and the frame and menu bar
// the window has now.
void limit_tracking(HWND dialog, MINMAXINFO* info) {
    POINT minimum = unpack_size(GetPropA(dialog, kMinimumProperty));
    POINT client = client_size(dialog);
    RECT r = {0, 0, 0, 0};
    GetWindowRect(dialog, &r);
    info->ptMinTrackSize.x = minimum.x + (r.right - r.left) - client.x;
    info->ptMinTrackSize.y = minimum.y + (r.bottom - r.top) - client.y;
}

LRESULT CALLBACK layout_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    auto old_proc = reinterpret_cast<WNDPROC>(GetPropA(dialog, kOldProcProperty));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old_proc));
        RemovePropA(dialog, kOldProcProperty);
        RemovePropA(dialog, kLastSizeProperty);
        RemovePropA(dialog, kMinimumProperty);
        return CallWindowProcA(old_proc, dialog, message, wparam, lparam);
    }
    if (message == WM_SIZE && wparam != SIZE_MINIMIZED) lay_out(dialog, {LOWORD(lparam), HIWORD(lparam)});
    LRESULT r = CallWindowProcA(old_proc, dialog, message, wparam, lparam);
    if (message == WM_GETMINMAXINFO) limit_tracking(dialog, reinterpret_cast<MINMAXINFO*>(lparam));
    return r;
}

// The size grip: a size-box scroll bar in the client area's bottom-right
// corner, last in the tab order and a group of its own (so the arrow keys
// never reach it), drawn under any control that overlaps it.
void add_size_grip(HWND dialog, POINT client) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_GROUP | SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN;
    HWND grip = CreateWindowExA(0, "SCROLLBAR", nullptr, style, 0, 0, client.x, client.y, dialog, nullptr,
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE)), nullptr);
    if (grip == nullptr) return;
    SetWindowPos(grip, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    keep_anchors(grip, kAnchorRight | kAnchorBottom);
}

}  // namespace

BOOL make_dialog_resizable(HWND dialog) {
    if (!is_toolkit_dialog(dialog)) return FALSE;
    if (GetPropA(dialog, kOldProcProperty) != nullptr) return TRUE;
    POINT client = client_size(dialog);
    SetWindowLongPtrA(dialog, GWL_STYLE, GetWindowLongPtrA(dialog, GWL_STYLE) | WS_THICKFRAME);
    SetWindowPos(dialog, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    restore_client_size(dialog, client);
    add_size_grip(dialog, client);
    SetPropA(dialog, kMinimumProperty, pack_size(client.x, client.y));
    SetPropA(dialog, kLastSizeProperty, pack_size(client.x, client.y));
    // The old procedure is kept before layout_proc can be called.
    SetPropA(dialog, kOldProcProperty, reinterpret_cast<HANDLE>(GetWindowLongPtrA(dialog, GWLP_WNDPROC)));
    SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(layout_proc));
    return TRUE;
}

BOOL set_control_anchors(HWND dialog, std::int32_t id, std::uint32_t anchors) {
    if ((anchors & ~kAllAnchors) != 0 || id == -1) return FALSE;
    HWND control = GetDlgItem(dialog, id);
    if (control == nullptr) return FALSE;
    keep_anchors(control, anchors);
    return TRUE;
}

BOOL attach_menu_keeping_client(HWND window, HMENU menu) {
    if (!IsWindow(window)) return FALSE;
    POINT client = client_size(window);
    if (!SetMenu(window, menu)) return FALSE;
    restore_client_size(window, client);
    return TRUE;
}
