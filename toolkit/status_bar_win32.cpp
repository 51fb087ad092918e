// Status bars: their parts, given as widths in dialog units, and the texts
// of the parts, in UTF-16 through the W messages.
#include "runtime/checked.h"
#include "toolkit/toolkit_private.h"

#include <commctrl.h>

namespace {

// The platform's limit on a status bar's parts.
constexpr std::int32_t kMostParts = 256;
// A part's text is read into this many UTF-16 units at least.
constexpr std::uint32_t kPartTextUnits = 1024;
// The longest text a part is given. The bar tells a part's length in 16
// bits (SB_GETTEXTLENGTHW) but copies its text out whole (SB_GETTEXTW takes
// no room), so a longer text could not be read back into a buffer of the
// length it tells.
constexpr int kMostPartUnits = 0xFFFF;

HWND status_bar(HWND dialog, std::int32_t id) {
    return control_of_class(dialog, id, STATUSCLASSNAMEA, "a status bar operation");
}

std::int32_t part_count(HWND bar) { return static_cast<std::int32_t>(SendMessageW(bar, SB_GETPARTS, 0, 0)); }

}  // namespace

BOOL status_set_parts(HWND dialog, std::int32_t id, const std::int32_t* widths, std::int32_t count) {
    HWND bar = status_bar(dialog, id);
    if (bar == nullptr || widths == nullptr || count < 1 || count > kMostParts) return FALSE;
    int edges[kMostParts];
    std::int32_t edge = 0;  // dialog units
    for (std::int32_t i = 0; i < count; ++i) {
        bool stretches = i == count - 1 && widths[i] == -1;
        if (!stretches && (widths[i] < 0 || widths[i] > 0x7FFF - edge)) return FALSE;
        edge += stretches ? 0 : widths[i];
        RECT r = {edge, 0, 0, 0};
        MapDialogRect(dialog, &r);
        edges[i] = stretches ? -1 : r.left;
    }
    return SendMessageW(bar, SB_SETPARTS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(edges)) != 0;
}

std::int32_t status_get_part_count(HWND dialog, std::int32_t id) {
    HWND bar = status_bar(dialog, id);
    return bar != nullptr ? part_count(bar) : 0;
}

BOOL status_set_text(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t part) {
    expect_string_args(f, 1, "status_set_text");
    HWND bar = status_bar(dialog, id);
    BOOL set = FALSE;
    if (bar != nullptr && part >= 1 && part <= part_count(bar)) {
        Wide text(view_string(string_arg(f, 0)));
        if (text.text() != nullptr && text.length() > kMostPartUnits) {
            // A character of two units (a surrogate pair) is kept whole or not at all.
            int end = kMostPartUnits;
            if (text.text()[end - 1] >= 0xD800 && text.text()[end - 1] <= 0xDBFF) --end;
            text.text()[end] = 0;
        }
        if (text.text() != nullptr)
            set = SendMessageW(bar, SB_SETTEXTW, item_position(part), reinterpret_cast<LPARAM>(text.text())) != 0;
    }
    pop_string_args(f, 1);
    return set;
}

void status_get_text(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t part) {
    HWND bar = status_bar(dialog, id);
    if (bar == nullptr || part < 1 || part > part_count(bar)) {
        push_empty(f);
        return;
    }
    auto length = static_cast<std::uint32_t>(LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, item_position(part), 0)));
    WideBuffer text(length < kPartTextUnits ? kPartTextUnits : length + 1);
    if (text.units() == nullptr) {
        record_error(f, kOutOfMemory);
        push_empty(f);
        return;
    }
    SendMessageW(bar, SB_GETTEXTW, item_position(part), reinterpret_cast<LPARAM>(text.units()));
    push_wide_text(f, text.units());
}
