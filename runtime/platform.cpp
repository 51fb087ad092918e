#include "runtime/state.h"

// Platform and processor classification is not made yet: the fields keep the
// zero that RuntimeState starts with.
void detect_platform() {}
