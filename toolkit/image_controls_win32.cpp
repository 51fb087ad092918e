// Controls of the image kinds (10 to 13) as add_control makes them, and
// images put on any control by set_control_image and load_control_image: the
// bitmaps they show are theirs, and go with them. A bitmap loaded by name is
// a new object on every load (the platform shares icons and cursors only),
// so the toolkit tells a bitmap from an icon by its resource instead of by
// loading it, deletes a bitmap a control hands back when given another, and
// deletes the one a control shows when it is destroyed.
#include "runtime/state.h"
#include "toolkit/toolkit_private.h"

namespace {

constexpr UINT kBitmapLoadFlags = LR_LOADMAP3DCOLORS;            // each load the caller's own
constexpr UINT kIconLoadFlags = LR_SHARED | LR_LOADMAP3DCOLORS;  // shared, never destroyed
// The window property that holds the control's own window procedure.
constexpr char kOwnProcedure[] = "kw.image.procedure";

HINSTANCE instance() { return static_cast<HINSTANCE>(runtime_state.instance); }

bool is_button_kind(ControlKind kind) { return kind == kImageButton || kind == kStretchedImageButton; }

// The image a static or a button shows (each answers 0 to the other's
// message).
HGDIOBJ image_of(HWND control) {
    LRESULT image = SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0);
    if (image == 0) image = SendMessageA(control, BM_GETIMAGE, IMAGE_BITMAP, 0);
    return reinterpret_cast<HGDIOBJ>(image);
}

// Deletes the image when it is a bitmap still alive. GDI's two functions are
// found at run time in the GDI library, which every process with windows has
// loaded, so a program keeps the four system libraries in its imports.
void delete_bitmap(HGDIOBJ image) {
    HMODULE gdi = image != nullptr ? GetModuleHandleA("gdi32.dll") : nullptr;
    if (gdi == nullptr) return;
    using TypeOf = DWORD(WINAPI*)(HGDIOBJ);
    using Delete = BOOL(WINAPI*)(HGDIOBJ);
    auto type_of = reinterpret_cast<TypeOf>(reinterpret_cast<void (*)()>(GetProcAddress(gdi, "GetObjectType")));
    auto remove = reinterpret_cast<Delete>(reinterpret_cast<void (*)()>(GetProcAddress(gdi, "DeleteObject")));
    if (type_of != nullptr && remove != nullptr && type_of(image) == OBJ_BITMAP) remove(image);
}

// Runs the control's own procedure; at WM_NCDESTROY, its last message,
// deletes the bitmap it showed once that procedure is done with it.
LRESULT CALLBACK owning_procedure(HWND control, UINT message, WPARAM wparam, LPARAM lparam) {
    auto own = reinterpret_cast<WNDPROC>(GetPropA(control, kOwnProcedure));
    if (own == nullptr) return DefWindowProcA(control, message, wparam, lparam);
    if (message != WM_NCDESTROY) return CallWindowProcA(own, control, message, wparam, lparam);
    HGDIOBJ image = image_of(control);
    RemovePropA(control, kOwnProcedure);
    SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
    LRESULT result = CallWindowProcA(own, control, message, wparam, lparam);
    delete_bitmap(image);
    return result;
}

// Loads the bitmap of that name at the size (0 x 0: its own), or the shared
// icon when there is no bitmap, hands it to the control and deletes the
// bitmap the control gives back.
void show_image(HWND control, const char* name, std::int32_t width, std::int32_t height, bool button) {
    WPARAM type = IMAGE_BITMAP;
    HANDLE image = LoadImageA(instance(), name, IMAGE_BITMAP, width, height, kBitmapLoadFlags);
    if (image == nullptr) {
        type = IMAGE_ICON;
        image = LoadImageA(instance(), name, IMAGE_ICON, width, height, kIconLoadFlags);
    }
    LRESULT old = SendMessageA(control, button ? BM_SETIMAGE : STM_SETIMAGE, type, reinterpret_cast<LPARAM>(image));
    if (reinterpret_cast<HANDLE>(old) != image) delete_bitmap(reinterpret_cast<HGDIOBJ>(old));
    // A control that does not show images of this kind (a text box, a static
    // addressed as a button, a button without BS_BITMAP) refuses the bitmap,
    // and a static may show a copy of its own: the loaded one is then no
    // one's, and goes.
    LRESULT held = SendMessageA(control, button ? BM_GETIMAGE : STM_GETIMAGE, type, 0);
    if (reinterpret_cast<HANDLE>(held) != image) delete_bitmap(image);
}

// Has the control delete the bitmap it shows when it is destroyed.
void own_images(HWND control) {
    SetPropA(control, kOwnProcedure,
             reinterpret_cast<HANDLE>(
                 SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(owning_procedure))));
}

}  // namespace

HWND add_image_control(ProcFrame& f, HWND parent, std::int32_t id, std::int32_t x, std::int32_t y, std::int32_t width,
                       std::int32_t height, std::uint32_t style, std::uint32_t exstyle, ControlCallback callback,
                       std::uint32_t kind) {
    expect_string_args(f, 2, "add_control");
    const char* name = view_string(string_arg(f, 0)).bytes;
    RECT r = {x, y, wrapping_add(x, width), wrapping_add(y, height)};
    MapDialogRect(parent, &r);
    std::int32_t pixel_width = wrapping_sub(r.right, r.left);
    std::int32_t pixel_height = wrapping_sub(r.bottom, r.top);
    ControlStyle cs = compute_control_style(kind, style, exstyle, pixel_width, pixel_height, nullptr);
    if (FindResourceA(instance(), name, MAKEINTRESOURCEA(2)) == nullptr)  // RT_BITMAP
        cs.style = image_fallback_style(kind, cs.style);
    // A static of the bitmap type loads the bitmap named by its text itself.
    HWND control = CreateWindowExA(cs.exstyle, cs.class_name, name, cs.style, r.left, r.top, pixel_width, pixel_height,
                                   parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance(), nullptr);
    if (control != nullptr) {
        HFONT font = toolkit_dialog_font;
        WPARAM font_word = font != nullptr ? reinterpret_cast<WPARAM>(font)
                                           : static_cast<WPARAM>(SendMessageA(parent, WM_GETFONT, 0, 0));
        SendMessageA(control, WM_SETFONT, font_word, 1);
        keep_callback(control, callback);
        own_images(control);
        bool fit = kind == kStretchedImage || kind == kStretchedImageButton;
        if (is_button_kind(kind) && (cs.style & BS_DEFPUSHBUTTON))
            SendMessageA(parent, DM_SETDEFID, static_cast<WPARAM>(id), 0);
        if (kind != kImage)
            show_image(control, name, fit ? pixel_width : 0, fit ? pixel_height : 0, is_button_kind(kind));
    }
    pop_string_args(f, 2);
    return control;
}

void load_control_image(HWND control, const char* name, std::int32_t width, std::int32_t height, std::uint32_t mode) {
    if (!IsWindow(control)) return;
    if (GetPropA(control, kOwnProcedure) == nullptr) own_images(control);
    show_image(control, name, width, height, (mode & kImageModeButton) != 0);
}

void set_control_image(ProcFrame& f, HWND dialog, std::int32_t id, std::uint32_t mode) {
    expect_string_args(f, 1, "set_control_image");
    HWND control = GetDlgItem(dialog, id);
    RECT client = {0, 0, 0, 0};
    if (mode & kImageModeFit) GetClientRect(control, &client);
    load_control_image(control, view_string(string_arg(f, 0)).bytes, client.right, client.bottom, mode);
    pop_string_args(f, 1);
}
