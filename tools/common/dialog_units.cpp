#include "tools/common/dialog_units.h"

#include "toolkit/dialog_template.h"

namespace {

INT_PTR CALLBACK reference_proc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

HWND reference_dialog() {
    static HWND dialog = nullptr;
    if (dialog == nullptr) {
        // The toolkit's own template, with its default style and its font.
        DialogTemplate t;
        build_dialog_template(t, "", 0, 0, 0, 100, 50, 0, 0);
        dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(t.bytes),
                                            nullptr, reference_proc, 0);
    }
    return dialog;
}

bool map_reference_dialog_rect(RECT& r) {
    HWND dialog = reference_dialog();
    return dialog != nullptr && MapDialogRect(dialog, &r);
}

bool unmap_reference_dialog_rect(RECT& r) {
    // A dialog unit is a quarter of the base width and an eighth of the base
    // height, which MapDialogRect gives for 4 by 8 units.
    RECT base = {0, 0, 4, 8};
    if (!map_reference_dialog_rect(base) || base.right <= 0 || base.bottom <= 0) return false;
    r.left = MulDiv(r.left, 4, base.right);
    r.right = MulDiv(r.right, 4, base.right);
    r.top = MulDiv(r.top, 8, base.bottom);
    r.bottom = MulDiv(r.bottom, 8, base.bottom);
    return true;
}
