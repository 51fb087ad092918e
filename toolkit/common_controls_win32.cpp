// The common controls' library, loaded by the first control of a kind above
// 15, and the lookup of a common control that their operations share.
#include "runtime/checked.h"
#include "toolkit/toolkit_private.h"

// Only programs that make such a control link this, so the others keep their
// four system libraries.
void load_common_controls() { LoadLibraryA("comctl32.dll"); }

namespace {

// The control the last lookup found. A list view filled row by row, a
// progress bar stepped in a loop, name the same control call after call, and
// under Wine each GetDlgItem is a round trip to the server (about 28 us, a
// tenth of inserting a list view row). The control is believed only while it
// is still that dialog's child with that id, which two calls answer from the
// process's own window data. The toolkit is called from the program's thread
// alone, so one variable serves.
HWND last_control;

HWND find_control(HWND dialog, std::int32_t id) {
    HWND control = last_control;
    if (control != nullptr && GetAncestor(control, GA_PARENT) == dialog && GetWindowLongPtrA(control, GWLP_ID) == id)
        return control;
    control = GetDlgItem(dialog, id);
    if (control != nullptr) last_control = control;
    return control;
}

}  // namespace

HWND control_of_class(HWND dialog, std::int32_t id, const char* class_name, const char* operation) {
    check_program_thread(operation);
    HWND control = find_control(dialog, id);
    char name[32];
    if (control == nullptr || !is_programs_own(control) || GetClassNameA(control, name, sizeof name) == 0 ||
        lstrcmpiA(name, class_name) != 0)
        return nullptr;
    return control;
}
