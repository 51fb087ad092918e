// The dialog font: the font of the dialog created last, which add_control
// gives every new control. create_dialog sets it; dialog_proc sets it to 0
// when that dialog is destroyed, since the dialog manager deletes the font
// with the dialog. 0 when the process starts.
#pragma once

#include <windows.h>

extern HFONT dialog_font;
