// What the toolkit's platform files share, written once: where a window keeps
// its callback, the size of a menu item's record, how a dialog of the toolkit
// is known, how (dialog, id) names a window, how an item index reaches the
// platform, which item box (dialog, id) names and whether it selects several
// items, how a text read from a window is handed out, and a text's UTF-16
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

// Whether the window belongs to this process: another process's window
// would take the addresses a message carries for its own.
inline bool is_programs_own(HWND window) {
    DWORD process = 0;
    return GetWindowThreadProcessId(window, &process) != 0 && process == GetCurrentProcessId();
}

// The control (dialog, id) names when its class is class_name (case
// ignored) and it is the program's own, else null: the common controls'
// operations refuse a control of another kind rather than send it messages
// it reads otherwise, and a control of another process, which would take the
// addresses their messages carry for its own. A checked program reports the
// operation when it comes from another thread. (common_controls_win32.cpp)
HWND control_of_class(HWND dialog, std::int32_t id, const char* class_name, const char* operation);

// The combo box or list box (dialog, id) names when its class is class_name
// ("ComboBox", "ListBox"; case ignored), else null: a control of another
// kind answers their messages with 0, which would read as the first item.
inline HWND item_box_of(HWND dialog, std::int32_t id, const char* class_name) {
    HWND box = GetDlgItem(dialog, id);
    char name[16];
    if (box == nullptr || GetClassNameA(box, name, sizeof name) == 0 || lstrcmpiA(name, class_name) != 0)
        return nullptr;
    return box;
}

// Whether a list box lets the user select several items (LBS_MULTIPLESEL or
// LBS_EXTENDEDSEL). Such a box answers LB_GETSELCOUNT with a count, a
// single-selection one with LB_ERR; it answers LB_GETCURSEL with its caret
// item, selected or not, and refuses LB_SETCURSEL (docs/platform.md). Ask
// only a list box (item_box_of): other kinds may answer anything.
inline bool is_multiple_selection(HWND list_box) { return SendMessageA(list_box, LB_GETSELCOUNT, 0, 0) != LB_ERR; }

// Item indexes count from 1; the platform's positions from 0, so index 0
// reaches it as -1.
inline WPARAM item_position(std::int32_t index) { return static_cast<WPARAM>(wrapping_sub(index, 1)); }

// Pushes a string just made, or the empty string when it could not be
// allocated, which is recorded as error 7.
inline void push_new_string(ProcFrame& f, StringAllocation s) {
    push_handle(f, s.handle);
    if (s.failed()) record_error(f, kOutOfMemory);
}

// UTF-16 copies of the caller's texts and UTF-8 strings made from UTF-16, for
// the operations that talk to the common controls and the pickers in their W
// messages and calls: those keep UTF-16 texts, which cross whole in any
// script, whatever the program's code page.

// A UTF-16 copy of a string (up to its first zero byte), in the process heap;
// empty (not null) for the empty string, null when it could not be allocated.
class Wide {
public:
    explicit Wide(StringView s) {
        std::uint32_t count = 0;  // up to the first zero byte, where the platform's text ends
        while (count < s.count && s.bytes[count] != 0) ++count;
        int n = count == 0 || count > 0x3FFFFFFF
                    ? 0
                    : MultiByteToWideChar(CP_ACP, 0, s.bytes, static_cast<int>(count), nullptr, 0);
        text_ = static_cast<WCHAR*>(HeapAlloc(GetProcessHeap(), 0, (static_cast<SIZE_T>(n) + 1) * sizeof(WCHAR)));
        if (text_ == nullptr) return;
        if (n > 0) MultiByteToWideChar(CP_ACP, 0, s.bytes, static_cast<int>(count), text_, n);
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

// A scratch buffer of UTF-16 units in the process heap; null units() when
// it could not be allocated.
class WideBuffer {
public:
    explicit WideBuffer(std::uint32_t units)
        : units_(
              static_cast<WCHAR*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, (SIZE_T{units} + 1) * sizeof(WCHAR)))) {
    }
    ~WideBuffer() {
        if (units_ != nullptr) HeapFree(GetProcessHeap(), 0, units_);
    }
    WideBuffer(const WideBuffer&) = delete;
    WideBuffer& operator=(const WideBuffer&) = delete;

    WCHAR* units() const { return units_; }

private:
    WCHAR* units_;
};

// Pushes the zero-terminated UTF-16 text (null: the empty string) in the
// program's code page; the empty string and error 7 when it could not be
// allocated.
inline void push_wide_text(ProcFrame& f, const WCHAR* w) {
    int n = w == nullptr || w[0] == 0 ? 0 : WideCharToMultiByte(CP_ACP, 0, w, -1, nullptr, 0, nullptr, nullptr);
    std::uint32_t bytes = n > 1 ? static_cast<std::uint32_t>(n) - 1 : 0;  // without the terminator
    StringAllocation s = allocate_string(bytes);
    if (s.handle != 0 && bytes != 0) {
        int made = WideCharToMultiByte(CP_ACP, 0, w, -1, s.bytes, n, nullptr, nullptr);
        if (made != n) s = shrink_string(s.handle, 0);
    }
    push_new_string(f, s);
}

// The font of the dialog created last, which add_control gives every new
// control. create_dialog sets it; dialog_proc sets it to 0 when that dialog is
// destroyed, since the dialog manager deletes the font with the dialog. 0 when
// the process starts.
extern HFONT toolkit_dialog_font;
