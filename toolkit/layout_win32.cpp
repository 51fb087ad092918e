// Layout: dialogs the user can resize, controls that follow their anchors,
// and a menu bar that keeps the client area a dialog was designed with.
//
// A resizable dialog's window procedure (the dialog manager's) is replaced
// by layout_proc, which keeps the old one in a window property and hands it
// every message. The dialog's minimum and last client sizes are window
// properties of the dialog; a control's anchors, with the place it had and
// its dialog's client size when they were given, window properties of the
// control: nothing is kept anywhere else. A file of its own: a program that
// makes no dialog resizable links none of it.
#include "toolkit/toolkit_private.h"

namespace {

constexpr char kOldProcProperty[] = "KestrowaneLayoutProc";     // the dialog's window procedure before
constexpr char kLastSizeProperty[] = "KestrowaneLayoutSize";    // the client size controls were laid out for
constexpr char kMinimumProperty[] = "KestrowaneLayoutMinimum";  // the least client size
// A control's anchors (with kAnchorsKept), and where they were given: its
// top-left and bottom-right corners and its dialog's client size then.
constexpr char kAnchorsProperty[] = "KestrowaneAnchors";
constexpr char kAnchoredNearProperty[] = "KestrowaneAnchoredNear";
constexpr char kAnchoredFarProperty[] = "KestrowaneAnchoredFar";
constexpr char kAnchoredClientProperty[] = "KestrowaneAnchoredClient";

// Marks a stored anchor set, so that anchors 0 (centred both ways) is a value
// a property can hold; left and top alone, the default, is no property.
constexpr std::uint32_t kAnchorsKept = 0x100;
constexpr std::uint32_t kAllAnchors = kAnchorLeft | kAnchorTop | kAnchorRight | kAnchorBottom;

// Two signed 16-bit pixel values packed into a property's value (which is
// 32 bits wide on i686).
HANDLE pack(LONG x, LONG y) {
    auto packed = (static_cast<std::uintptr_t>(x & 0xFFFF) << 16) | static_cast<std::uintptr_t>(y & 0xFFFF);
    return reinterpret_cast<HANDLE>(packed);
}
POINT unpack(HANDLE value) {
    auto packed = reinterpret_cast<std::uintptr_t>(value);
    return {static_cast<std::int16_t>((packed >> 16) & 0xFFFF), static_cast<std::int16_t>(packed & 0xFFFF)};
}

POINT client_size(HWND window) {
    RECT r = {0, 0, 0, 0};
    GetClientRect(window, &r);
    return {r.right, r.bottom};
}

// The control's rectangle in its parent's client area.
RECT place_of(HWND parent, HWND control) {
    RECT r = {0, 0, 0, 0};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
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

// Where one axis of a control goes when its dialog's client extent went from
// the one its anchors were given at to the new one: anchored to both edges,
// the far side follows the far edge; to the far edge alone, both sides do; to
// neither, both move with the centre.
struct Span {
    LONG start;
    LONG end;
};
Span follow(Span given, std::uint32_t anchors, std::uint32_t near_anchor, std::uint32_t far_anchor, LONG given_extent,
            LONG new_extent) {
    LONG delta = new_extent - given_extent;
    bool near_side = (anchors & near_anchor) != 0;
    bool far_side = (anchors & far_anchor) != 0;
    if (near_side && far_side) return {given.start, given.end + delta < given.start ? given.start : given.end + delta};
    if (far_side) return {given.start + delta, given.end + delta};
    if (near_side) return given;
    LONG centre = new_extent / 2 - given_extent / 2;
    return {given.start + centre, given.end + centre};
}

std::uint32_t anchors_of(HWND control) {
    auto kept = reinterpret_cast<std::uintptr_t>(GetPropA(control, kAnchorsProperty));
    if ((kept & kAnchorsKept) == 0) return kAnchorLeft | kAnchorTop;
    return static_cast<std::uint32_t>(kept) & kAllAnchors;
}

void forget_anchors(HWND control) {
    RemovePropA(control, kAnchorsProperty);
    RemovePropA(control, kAnchoredNearProperty);
    RemovePropA(control, kAnchoredFarProperty);
    RemovePropA(control, kAnchoredClientProperty);
}

// Keeps the anchors with the control's place and its parent's client size as
// they are now, the place every later one is measured from.
void keep_anchors(HWND parent, HWND control, std::uint32_t anchors) {
    if (anchors == (kAnchorLeft | kAnchorTop)) {
        forget_anchors(control);
        return;
    }
    RECT r = place_of(parent, control);
    POINT client = client_size(parent);
    SetPropA(control, kAnchoredNearProperty, pack(r.left, r.top));
    SetPropA(control, kAnchoredFarProperty, pack(r.right, r.bottom));
    SetPropA(control, kAnchoredClientProperty, pack(client.x, client.y));
    SetPropA(control, kAnchorsProperty, reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(anchors | kAnchorsKept)));
}

// Places one control for the client size: always from where its anchors were
// given, never from where it is now, so a control that adjusts the size it is
// given (a list box keeps to whole items) does not drift over many resizes.
void follow_anchors(HWND control, POINT client) {
    std::uint32_t anchors = anchors_of(control);
    if (anchors == (kAnchorLeft | kAnchorTop)) return;
    POINT near_corner = unpack(GetPropA(control, kAnchoredNearProperty));
    POINT far_corner = unpack(GetPropA(control, kAnchoredFarProperty));
    POINT given = unpack(GetPropA(control, kAnchoredClientProperty));
    Span h = follow({near_corner.x, far_corner.x}, anchors, kAnchorLeft, kAnchorRight, given.x, client.x);
    Span v = follow({near_corner.y, far_corner.y}, anchors, kAnchorTop, kAnchorBottom, given.y, client.y);
    SetWindowPos(control, nullptr, h.start, v.start, h.end - h.start, v.end - v.start, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool is_status_bar(HWND control) {
    char name[24] = "";
    return GetClassNameA(control, name, sizeof name) != 0 && lstrcmpiA(name, "msctls_statusbar32") == 0;
}

// Lays the dialog's own controls out for its new client size. A status bar
// given no anchors places itself, as it does when its parent hands it
// WM_SIZE: along the bottom edge (or the top, as its style says), the whole
// width; left where it was, it would float over the controls that grew.
void lay_out(HWND dialog, POINT client) {
    POINT last = unpack(GetPropA(dialog, kLastSizeProperty));
    if (last.x == client.x && last.y == client.y) return;
    SetPropA(dialog, kLastSizeProperty, pack(client.x, client.y));
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        follow_anchors(child, client);
        if (anchors_of(child) == (kAnchorLeft | kAnchorTop) && is_status_bar(child))
            SendMessageA(child, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.x, client.y));
    }
    // Controls that moved leave their old places to the dialog's background.
    InvalidateRect(dialog, nullptr, TRUE);
}

// The least window size: the minimum client size and the frame and menu bar
// the window has now.
void limit_tracking(HWND dialog, MINMAXINFO* info) {
    POINT minimum = unpack(GetPropA(dialog, kMinimumProperty));
    POINT client = client_size(dialog);
    RECT r = {0, 0, 0, 0};
    GetWindowRect(dialog, &r);
    info->ptMinTrackSize.x = minimum.x + (r.right - r.left) - client.x;
    info->ptMinTrackSize.y = minimum.y + (r.bottom - r.top) - client.y;
}

// Raises the height a change of size gives the window until its client area
// keeps the minimum height at the new width. A menu bar that wraps onto more
// lines at that width takes more of the window than the bar the tracking
// limit was measured with (the window is wider when the change begins).
void keep_minimum_height(HWND dialog, WINDOWPOS* pos) {
    if ((pos->flags & SWP_NOSIZE) != 0 || IsIconic(dialog)) return;
    RECT client = {0, 0, pos->cx, pos->cy};
    SendMessageA(dialog, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&client));
    LONG short_by = unpack(GetPropA(dialog, kMinimumProperty)).y - (client.bottom - client.top);
    if (short_by > 0) pos->cy += short_by;
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
    // The controls' anchors are taken away before the controls are
    // destroyed, as the platform asks of every window property.
    if (message == WM_DESTROY) {
        for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
            forget_anchors(child);
    }
    LRESULT r = CallWindowProcA(old_proc, dialog, message, wparam, lparam);
    if (message == WM_GETMINMAXINFO) limit_tracking(dialog, reinterpret_cast<MINMAXINFO*>(lparam));
    if (message == WM_WINDOWPOSCHANGING) keep_minimum_height(dialog, reinterpret_cast<WINDOWPOS*>(lparam));
    return r;
}

// The size grip: a size-box scroll bar in the client area's bottom-right
// corner, last in the tab order and a group of its own (so the arrow keys
// never reach it), drawn under any control that overlaps it. Its id is -1,
// which names the dialog itself and no control: an operation on id 0, which
// labels often share, never finds the grip.
void add_size_grip(HWND dialog, POINT client) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_GROUP | SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN;
    HWND grip = CreateWindowExA(0, "SCROLLBAR", nullptr, style, 0, 0, client.x, client.y, dialog,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE)), nullptr);
    if (grip == nullptr) return;
    SetWindowPos(grip, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    keep_anchors(dialog, grip, kAnchorRight | kAnchorBottom);
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
    SetPropA(dialog, kMinimumProperty, pack(client.x, client.y));
    SetPropA(dialog, kLastSizeProperty, pack(client.x, client.y));
    // The old procedure is kept before layout_proc can be called.
    SetPropA(dialog, kOldProcProperty, reinterpret_cast<HANDLE>(GetWindowLongPtrA(dialog, GWLP_WNDPROC)));
    SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(layout_proc));
    return TRUE;
}

BOOL set_control_anchors(HWND dialog, std::int32_t id, std::uint32_t anchors) {
    if ((anchors & ~kAllAnchors) != 0 || id == -1) return FALSE;
    HWND control = GetDlgItem(dialog, id);
    if (control == nullptr) return FALSE;
    keep_anchors(dialog, control, anchors);
    return TRUE;
}

BOOL attach_menu_keeping_client(HWND window, HMENU menu) {
    if (!IsWindow(window)) return FALSE;
    POINT client = client_size(window);
    if (!SetMenu(window, menu)) return FALSE;
    restore_client_size(window, client);
    return TRUE;
}
