// Putting an image on a control after it was made: set_control_image.
#include "toolkit/toolkit.h"

void set_control_image(ProcFrame& f, HWND dialog, std::int32_t id, std::uint32_t mode) {
    expect_string_args(f, 1, "set_control_image");
    HWND control = GetDlgItem(dialog, id);
    RECT client = {0, 0, 0, 0};
    if (mode & kImageModeFit) GetClientRect(control, &client);
    load_control_image(control, view_string(string_arg(f, 0)).bytes, client.right, client.bottom, mode);
    pop_string_args(f, 1);
}
