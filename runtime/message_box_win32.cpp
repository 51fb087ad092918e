#include "runtime/message_box.h"

#include <windows.h>

#include "runtime/strings.h"

const char kDefaultCaption[] = "Kestrowane";

std::int32_t message_box(ProcFrame& f, std::uint32_t style) {
    expect_string_args(f, 2, "message_box");
    StringEntry caption_entry = string_arg(f, 0);
    StringEntry text_entry = string_arg(f, 1);
    StringView text = view_string(text_entry);
    StringView caption = view_string(caption_entry);
    const char* caption_bytes = caption.count == 0 ? kDefaultCaption : caption.bytes;
    // Every box is preceded by a 5 ms pause that hands the processor to other
    // threads, so a box raised right after a dialog closed comes up once the
    // windows that dialog uncovered had their turn; part of the box's contract
    // (programs that time their boxes see it), not something Wine needs: the
    // box and UI tests pass without it.
    Sleep(5);
    std::int32_t result = MessageBoxA(nullptr, text.bytes, caption_bytes, style & 0xFFFFu);
    free_string(caption_entry);
    free_string(text_entry);
    drop_string_args(f, 2);
    return result;
}
