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
