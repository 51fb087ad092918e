// The common controls' library, loaded by the first control of a kind above 15.
#include "toolkit/toolkit.h"

// Only programs that make such a control link this, so the others keep their
// four system libraries.
void load_common_controls() { LoadLibraryA("comctl32.dll"); }
