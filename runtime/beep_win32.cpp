// The simple system beep, apart from the message box so that a program
// without it imports no MessageBeep.
#include <windows.h>

#include "runtime/message_box.h"

void beep() { MessageBeep(0xFFFFFFFFu); }
