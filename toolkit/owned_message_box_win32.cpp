// The message box that belongs to a window.
#include "runtime/message_box.h"
#include "toolkit/toolkit.h"

std::int32_t owned_message_box(ProcFrame& f, HWND owner, std::uint32_t style) {
    expect_string_args(f, 2, "owned_message_box");
    StringView text = view_string(string_arg(f, 1));
    StringView caption = view_string(string_arg(f, 0));
    // The platform disables the owner's top-level window while the box is
    // open, and enables it when the box ends even when it had been disabled
    // before (seen under Wine): an owner kept disabled by a modal dialog of
    // its own is disabled again, so that dialog stays modal.
    HWND top = GetAncestor(owner, GA_ROOT);
    bool was_disabled = top != nullptr && !IsWindowEnabled(top);
    std::int32_t result =
        MessageBoxA(owner, text.bytes, caption.count == 0 ? kDefaultCaption : caption.bytes, style & 0xFFFFu);
    if (was_disabled) EnableWindow(top, FALSE);
    pop_string_args(f, 2);
    // The platform gives -1, no button's id, for a box it could not show (an
    // owner that is no window, a closed dialog's, seen under Wine).
    return result > 0 ? result : 0;
}
