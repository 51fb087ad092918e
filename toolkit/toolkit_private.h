// What the toolkit's platform files share, written once: where a window keeps
// its callback, the size of a menu item's record, how a dialog of the toolkit
// is known, how (dialog, id) names a window, how an item index reaches the
// platform, how a text read from a window is handed out, and a text's UTF-16
// copy for the platform's W functions. Internal: not
// installed, and no part of toolkit.h. Every helper is inline, so a file that
// uses one takes no other file with it (CMakeLists.txt says why that
// matters).
#pragma once

#include <cstddef>

#include "runtime/errors.h"
#include "toolkit/toolkit.h"

// A control's or dialog's callback lives in its GWLP_USERDATA slot.
inline ControlCallback callback_of(HWND window) {
    return reinterpret_cast<ControlCallback>(GetWindowLongPtrA(window, GWLP_USERDATA));
}
inline void keep_callback(HWND window, ControlCallback callback) {
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(callback));
}

// The size of every MENUITEMINFOA the toolkit hands to the platform: the
// record up to cch, without the trailing hbmpItem, the form every version of
// the platform accepts (44 bytes on i686, 72 on x86-64).
constexpr UINT kMenuItemInfoSize = offsetof(MENUITEMINFOA, hbmpItem);
static_assert(sizeof(void*) != 4 || kMenuItemInfoSize == 44, "the 32-bit record up to cch is 44 bytes");

// Whether the window is a dialog of the toolkit: its dialog procedure is
// dialog_proc. False for the null window.
inline bool is_toolkit_dialog(HWND window) {
    return GetWindowLongPtrA(window, DWLP_DLGPROC) == reinterpret_cast<LONG_PTR>(dialog_proc);
}

// The window (dialog, id) names: id -1 the dialog itself, any other id the
// dialog's control with that id (find_target_window).
inline HWND control_of(HWND dialog, std::int32_t id) { return id == -1 ? dialog : GetDlgItem(dialog, id); }

// Item indexes count from 1; the platform's positions from 0, so index 0
// reaches it as -1.
inline WPARAM item_position(std::int32_t index) { return static_cast<WPARAM>(wrapping_sub(index, 1)); }

// Pushes a string just made, or the empty string when it could not be
// allocated, which is recorded as error 7.
inline void push_new_string(ProcFrame& f, StringAllocation s) {
    push_handle(f, s.handle);
    if (s.failed()) record_error(f, kOutOfMemory);
}

// A UTF-16 copy of a string, in the process heap; empty (not null) for the
// empty string, null when it could not be allocated.
class Wide {
public:
    explicit Wide(StringView s) {
        int n = s.count == 0 || s.count > 0x3FFFFFFF
                    ? 0
                    : MultiByteToWideChar(CP_ACP, 0, s.bytes, static_cast<int>(s.count), nullptr, 0);
        text_ = static_cast<WCHAR*>(HeapAlloc(GetProcessHeap(), 0, (static_cast<SIZE_T>(n) + 1) * sizeof(WCHAR)));
        if (text_ == nullptr) return;
        if (n > 0) MultiByteToWideChar(CP_ACP, 0, s.bytes, static_cast<int>(s.count), text_, n);
        text_[n] = 0;
        length_ = n;
    }
    ~Wide() {
        if (text_ != nullptr) HeapFree(GetProcessHeap(), 0, text_);
    }
    Wide(const Wide&) = delete;
    Wide& operator=(const Wide&) = delete;

    WCHAR* text() const { return text_; }
    int length() const { return length_; }
    bool empty() const { return length_ == 0; }

private:
    WCHAR* text_ = nullptr;
    int length_ = 0;
};

// The font of the dialog created last, which add_control gives every new
// control. create_dialog sets it; dialog_proc sets it to 0 when that dialog is
// destroyed, since the dialog manager deletes the font with the dialog. 0 when
// the process starts.
extern HFONT toolkit_dialog_font;
