// write_control_text, set_dialog_title and set_control_image. Kept out of
// controls_win32.cpp so that a program which uses none of them imports neither
// SetWindowTextA nor GetClientRect: the linker keeps the imports of every
// object it takes.
#include "toolkit/toolkit.h"

void write_control_text(ProcFrame& f, HWND dialog, std::int32_t id) {
    expect_string_args(f, 1, "write_control_text");
    SetWindowTextA(GetDlgItem(dialog, id), view_string(string_arg(f, 0)).bytes);
    pop_string_args(f, 1);
}

void set_dialog_title(ProcFrame& f, HWND dialog) {
    expect_string_args(f, 1, "set_dialog_title");
    SetWindowTextA(dialog, view_string(string_arg(f, 0)).bytes);
    pop_string_args(f, 1);
}

void set_control_image(ProcFrame& f, HWND dialog, std::int32_t id, std::uint32_t mode) {
    expect_string_args(f, 1, "set_control_image");
    HWND control = GetDlgItem(dialog, id);
    RECT client = {0, 0, 0, 0};
    if (mode & kImageModeFit) GetClientRect(control, &client);
    load_control_image(control, view_string(string_arg(f, 0)).bytes, client.right, client.bottom, mode);
    pop_string_args(f, 1);
}
