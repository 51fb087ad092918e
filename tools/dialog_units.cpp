#include "tools/dialog_units.h"

namespace {

// A plain DLGTEMPLATE with no items: style, no class, no menu, title "", then
// the font block 8, "MS Sans Serif". Units are 16-bit, the record 4-aligned.
struct alignas(4) ReferenceTemplate {
    WORD units[64];
};

ReferenceTemplate reference_template() {
    ReferenceTemplate t = {};
    DWORD style = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT;
    WORD* u = t.units;
    *u++ = LOWORD(style);
    *u++ = HIWORD(style);
    u += 2;      // extended style 0
    u += 1;      // no items
    u += 2;      // x, y 0
    *u++ = 100;  // width
    *u++ = 50;   // height
    u += 3;      // no menu, the dialog class, empty title
    *u++ = 8;    // point size
    for (const char* p = "MS Sans Serif"; *p; ++p) *u++ = static_cast<unsigned char>(*p);
    return t;  // the typeface ends with the zero unit left in place
}

INT_PTR CALLBACK reference_proc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

HWND reference_dialog() {
    static HWND dialog = nullptr;
    if (dialog == nullptr) {
        ReferenceTemplate t = reference_template();
        dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(t.units),
                                            nullptr, reference_proc, 0);
    }
    return dialog;
}

bool map_reference_dialog_rect(RECT& r) {
    HWND dialog = reference_dialog();
    return dialog != nullptr && MapDialogRect(dialog, &r);
}
