// The mouse pointer: the table of pointer shapes and set_mouse_pointer.
#include "toolkit/toolkit.h"

// clang-format off
const std::uint16_t PointerShapeTable[14] = {
    0,       //  0 none
    0x7F00,  //  1 IDC_ARROW
    0x7F03,  //  2 IDC_CROSS
    0x7F01,  //  3 IDC_IBEAM
    0x7F00,  //  4 IDC_ARROW
    0x7F86,  //  5 IDC_SIZEALL
    0x7F83,  //  6 IDC_SIZENESW
    0x7F85,  //  7 IDC_SIZENS
    0x7F82,  //  8 IDC_SIZENWSE
    0x7F84,  //  9 IDC_SIZEWE
    0x7F04,  // 10 IDC_UPARROW
    0x7F02,  // 11 IDC_WAIT
    0x7F88,  // 12 IDC_NO
    0x7F8A,  // 13 IDC_APPSTARTING
};
// clang-format on

void set_mouse_pointer(std::int32_t index) {
    auto i = static_cast<std::uint32_t>(index);
    if (i > 13) i = 0;
    HANDLE cursor = nullptr;
    if (PointerShapeTable[i] != 0) {
        cursor = LoadImageA(nullptr, MAKEINTRESOURCEA(PointerShapeTable[i]), IMAGE_CURSOR, 0, 0,
                            LR_SHARED | LR_LOADMAP3DCOLORS | LR_DEFAULTSIZE);
    }
    SetCursor(static_cast<HCURSOR>(cursor));
}
