// Menus: menu bars, popups and items whose item data holds their callback.
#include "toolkit/toolkit_private.h"

namespace {

constexpr UINT kAddMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE | MIIM_DATA;  // 0x37

bool is_separator_text(StringView text) { return text.count == 1 && text.bytes[0] == '-'; }

// The by-position argument of the item-info calls: MF_BYPOSITION (0x400),
// which the platform reads as true, or 0 for a command id.
UINT by_position(std::uint32_t flags) { return (flags & MENU_FLAG_BY_COMMAND) ? 0 : MF_BYPOSITION; }

MENUITEMINFOA item_info(UINT mask) {
    MENUITEMINFOA info = {};
    info.cbSize = kMenuItemInfoSize;
    info.fMask = mask;
    return info;
}

// Add positions count from 1 and 0 means the end: n - 1, so 0 wraps to
// 0xFFFFFFFF, the platform's position after the last item.
UINT insert_number(std::uint32_t item, std::uint32_t flags) { return (flags & MENU_FLAG_BY_COMMAND) ? item : item - 1; }

// The record for a new item with the given text; a separator drops the id,
// state and callback.
MENUITEMINFOA new_item_info(StringView text, std::uintptr_t id_or_submenu, std::uint32_t state,
                            ControlCallback callback, std::uint32_t flags) {
    MENUITEMINFOA info = item_info(kAddMask);
    if (is_separator_text(text)) {
        info.fType = MFT_SEPARATOR;
        id_or_submenu = 0;
        state = 0;
        callback = nullptr;
    } else {
        info.fType = MFT_STRING;
    }
    info.fState = state;
    if (flags & MENU_FLAG_SUBMENU) {
        info.hSubMenu = reinterpret_cast<HMENU>(id_or_submenu);
    } else {
        info.wID = static_cast<UINT>(id_or_submenu);
    }
    info.dwItemData = reinterpret_cast<ULONG_PTR>(callback);
    info.dwTypeData = text.bytes;
    info.cch = text.count;
    return info;
}

// The length the platform reports for the item's text, or -1 when it knows
// no such item.
std::int32_t item_text_length(HMENU menu, std::uint32_t item, std::uint32_t flags) {
    MENUITEMINFOA info = item_info(MIIM_TYPE);
    if (!GetMenuItemInfoA(menu, item, by_position(flags), &info)) return -1;
    return static_cast<std::int32_t>(info.cch);
}

// Reads the text into a new string of n bytes; the block's terminator byte
// gives room for the zero the platform writes after the text. The platform
// then reports how many bytes it copied, and only those are kept.
StringAllocation read_item_text(HMENU menu, std::uint32_t item, std::uint32_t flags, std::uint32_t n) {
    StringAllocation s = allocate_string(n);
    if (s.failed()) return s;
    MENUITEMINFOA info = item_info(MIIM_TYPE);
    info.dwTypeData = s.bytes;
    info.cch = n + 1;
    if (!GetMenuItemInfoA(menu, item, by_position(flags), &info)) return shrink_string(s.handle, 0);
    if (info.cch >= n) return s;
    return shrink_string(s.handle, info.cch);
}

}  // namespace

HMENU create_menu(std::int32_t popup) { return popup != 0 ? CreatePopupMenu() : CreateMenu(); }

BOOL add_menu_item(ProcFrame& f, HMENU menu, std::uintptr_t id_or_submenu, std::uint32_t state, std::uint32_t item,
                   ControlCallback callback, std::uint32_t flags) {
    expect_string_args(f, 1, "add_menu_item");
    MENUITEMINFOA info = new_item_info(view_string(string_arg(f, 0)), id_or_submenu, state, callback, flags);
    BOOL r = InsertMenuItemA(menu, insert_number(item, flags), by_position(flags), &info);
    pop_string_args(f, 1);
    return r;
}

// The platform answers TRUE to SetMenu on a handle that is no window (seen
// under Wine), a closed dialog's too.
BOOL attach_menu(HWND window, HMENU menu) { return IsWindow(window) && SetMenu(window, menu); }

BOOL delete_menu_item(HMENU menu, std::uint32_t item, std::uint32_t flags) {
    return DeleteMenu(menu, item, (flags & MENU_FLAG_BY_COMMAND) ? MF_BYCOMMAND : MF_BYPOSITION);
}

BOOL draw_menu_bar(HWND window) { return DrawMenuBar(window); }

std::uint32_t get_menu_item_state(HMENU menu, std::uint32_t item, std::uint32_t flags) {
    MENUITEMINFOA info = item_info(MIIM_STATE);
    if (!GetMenuItemInfoA(menu, item, by_position(flags), &info)) return 0;
    return info.fState;
}

BOOL set_menu_item_state(HMENU menu, std::uint32_t item, std::uint32_t state, std::uint32_t flags) {
    MENUITEMINFOA info = item_info(MIIM_STATE);
    info.fState = state;
    return SetMenuItemInfoA(menu, item, by_position(flags), &info);
}

void get_menu_item_text(ProcFrame& f, HMENU menu, std::uint32_t item, std::uint32_t flags) {
    std::int32_t n = item_text_length(menu, item, flags);
    if (n <= 0) {
        push_empty(f);
        return;
    }
    push_new_string(f, read_item_text(menu, item, flags, static_cast<std::uint32_t>(n)));
}

BOOL set_menu_item_text(ProcFrame& f, HMENU menu, std::uint32_t item, std::uint32_t flags) {
    expect_string_args(f, 1, "set_menu_item_text");
    StringView text = view_string(string_arg(f, 0));
    MENUITEMINFOA info = item_info(MIIM_TYPE);
    info.fType = MFT_STRING;
    info.dwTypeData = text.bytes;
    info.cch = text.count;
    BOOL r = SetMenuItemInfoA(menu, item, by_position(flags), &info);
    pop_string_args(f, 1);
    return r;
}
