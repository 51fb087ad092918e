// Putting an image on a control after it was made: set_control_image and
// load_control_image.
#include "runtime/state.h"
#include "toolkit/toolkit.h"

namespace {
constexpr UINT kImageLoadFlags = LR_SHARED | LR_LOADMAP3DCOLORS;  // 0x9000
}  // namespace

void load_control_image(HWND control, const char* name, std::int32_t width, std::int32_t height, std::uint32_t mode) {
    UINT message = (mode & kImageModeButton) ? BM_SETIMAGE : STM_SETIMAGE;
    WPARAM type = IMAGE_BITMAP;
    HANDLE image =
        LoadImageA(static_cast<HINSTANCE>(runtime_state.instance), name, IMAGE_BITMAP, width, height, kImageLoadFlags);
    if (image == nullptr) {
        type = IMAGE_ICON;
        image = LoadImageA(static_cast<HINSTANCE>(runtime_state.instance), name, IMAGE_ICON, width, height,
                           kImageLoadFlags);
    }
    SendMessageA(control, message, type, reinterpret_cast<LPARAM>(image));
}

void set_control_image(ProcFrame& f, HWND dialog, std::int32_t id, std::uint32_t mode) {
    expect_string_args(f, 1, "set_control_image");
    HWND control = GetDlgItem(dialog, id);
    RECT client = {0, 0, 0, 0};
    if (mode & kImageModeFit) GetClientRect(control, &client);
    load_control_image(control, view_string(string_arg(f, 0)).bytes, client.right, client.bottom, mode);
    pop_string_args(f, 1);
}
