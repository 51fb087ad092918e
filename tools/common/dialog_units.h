// Dialog units in this process, for reading the geometry of another
// process's dialogs.
#pragma once

#include <windows.h>

// MapDialogRect refuses a dialog of another process (Wine: error 1400), so a
// foreign dialog's scale is measured on a hidden dialog of this process made
// from the toolkit's own template (toolkit/dialog_template.h), with the same
// font as every toolkit dialog, 8-point "MS Sans Serif". The dialog is made
// on first use and lives as long as the process.
HWND reference_dialog();
// r from dialog units to pixels with the reference dialog's MapDialogRect.
bool map_reference_dialog_rect(RECT& r);
// r from pixels to dialog units of the reference dialog, each value rounded
// to the nearest whole unit (the inverse of map_reference_dialog_rect, exact
// for values that came from dialog units through it).
bool unmap_reference_dialog_rect(RECT& r);
