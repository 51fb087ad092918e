// The message box of compiled procedures.
#pragma once

#include <cstdint>

#include "runtime/proc_frame.h"

// Caption used when the caption argument is empty.
extern const char kDefaultCaption[];

// Shows a message box with no owner. Takes the text (next entry) and the
// caption (top entry) from the caller's stack and removes both, freeing the
// owned ones; an empty caption gives "Kestrowane". Only the low 16 bits of
// style reach the platform. Gives the id of the button pressed, or 0 when the
// box could not be shown. Records nothing.
std::int32_t message_box(ProcFrame& f, std::uint32_t style);

// The simple system beep.
void beep();
