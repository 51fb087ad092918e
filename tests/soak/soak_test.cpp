// Long runs against the real platform: thousands of dialogs with every kind
// of control, deep nesting of modal loops, floods of posted messages, and every
// operation on windows that are not there. The number of dialog cycles comes
// from KW_SOAK_CYCLES (default 500).
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "tests/common/string_testing.h"
#include "tests/common/win32_testing.h"
#include "toolkit/toolkit.h"

namespace {

constexpr auto pool = make_literal_pool("Soak", "SQUARE", "text", "BUTTON");
enum { kTitle, kSquare, kText, kButtonClass };

int soak_cycles() {
    const char* v = std::getenv("KW_SOAK_CYCLES");
    int n = v != nullptr ? std::atoi(v) : 0;
    return n > 0 ? n : 500;
}

// Under Wine, GetGuiResources and GetProcessMemoryInfo's private usage both
// answer 0, so the figures come from the process itself: committed private
// memory from VirtualQuery, for USER the slot of a fresh window, and for GDI
// the number of live objects. A fresh GDI object takes the slot freed last
// (docs/platform.md), which says nothing of leaks; so many fresh brushes are
// made that they take every free slot and then new ones: the highest slot
// they get, less their number, is the number of objects alive.
struct Usage {
    std::uint32_t user_slot;
    std::uint32_t gdi_objects;
    SIZE_T private_bytes;
};

SIZE_T committed_private_bytes() {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION info;
    for (char* p = nullptr; VirtualQuery(p, &info, sizeof info) == sizeof info; p += info.RegionSize) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += info.RegionSize;
        if (reinterpret_cast<std::uintptr_t>(p) + info.RegionSize < reinterpret_cast<std::uintptr_t>(p)) break;
    }
    return total;
}

std::uint32_t live_gdi_objects() {
    constexpr std::uint32_t kBrushes = 4000;
    static HBRUSH brushes[kBrushes];
    std::uint32_t highest = 0;
    for (HBRUSH& b : brushes) {
        b = CreateSolidBrush(0);
        std::uint32_t slot = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(b) & 0xFFFF);
        if (slot > highest) highest = slot;
    }
    for (HBRUSH b : brushes) DeleteObject(b);
    return highest > kBrushes ? highest - kBrushes : 0;
}

Usage usage_now() {
    HWND w = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    Usage u = {static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(w) & 0xFFFF), live_gdi_objects(),
               committed_private_bytes()};
    DestroyWindow(w);
    return u;
}

class Soak : public StringRuntimeTest {
protected:
    void SetUp() override {
        StringRuntimeTest::SetUp();
        start_runtime_for_test();
    }
    HWND make_dialog(HWND parent = nullptr) {
        ProcFrame f;
        push_literal(f, pool[kTitle]);
        return create_dialog(f, parent, 10, 10, 220, 160, 0, 0);
    }
};

// One dialog with one control of every kind, shown and closed.
void dialog_cycle(HWND dialog) {
    DynString items[2] = {0, 0};
    ProcFrame f;
    push_literal(f, pool[kText]);
    string_assign(f, items[0]);
    push_literal(f, pool[kText]);
    string_assign(f, items[1]);
    ArrayDescriptor list = {items, kArrayHasItems, 2};
    for (ControlKind kind = 0; kind <= kLastControlKind; ++kind) {
        if (kind == kCustom) {
            push_literal(f, pool[kButtonClass]);
        } else {
            push_empty(f);
        }
        push_literal(f, is_image_kind(kind) ? pool[kSquare] : pool[kText]);
        add_control(f, dialog, 100 + static_cast<std::int32_t>(kind), &list, 2, 2 + 8 * static_cast<int>(kind), 60, 8,
                    kind == kCustom ? WS_CHILD | WS_VISIBLE : 0, 0, nullptr, kind);
    }
    std::int32_t end = 0;
    show_dialog_modeless(dialog, nullptr, &end);
    pump_messages();
    close_dialog(dialog, 1);
    free_string(items[0]);
    free_string(items[1]);
}

TEST_F(Soak, ThousandsOfDialogsLeaveHandlesAndMemoryFlat) {
    const int cycles = soak_cycles();
    Usage at_100 = {};
    for (int i = 0; i < cycles; ++i) {
        HWND d = make_dialog();
        ASSERT_NE(d, nullptr) << "cycle " << i;
        dialog_cycle(d);
        ASSERT_FALSE(IsWindow(d));
        if (i == 99) at_100 = usage_now();
    }
    Usage end = usage_now();
    std::printf("after %d cycles: user slot %u -> %u, GDI objects %u -> %u, private bytes %lu -> %lu\n", cycles,
                at_100.user_slot, end.user_slot, at_100.gdi_objects, end.gdi_objects,
                static_cast<unsigned long>(at_100.private_bytes), static_cast<unsigned long>(end.private_bytes));
    if (cycles > 100) {
        EXPECT_LE(end.user_slot, at_100.user_slot + 16);
        EXPECT_LE(end.gdi_objects, at_100.gdi_objects + 16);
        // Allowance for the heap's own growth; a leak of even one small
        // block per cycle would pass it after a few thousand cycles.
        EXPECT_LE(end.private_bytes, at_100.private_bytes + 256 * 1024);
    }
    EXPECT_EQ(live(), 0);
}

// 32 modal dialogs, each run from a callback of the one before.
struct Nest {
    std::vector<HWND> dialogs;
    std::vector<int> returned;  // depth at which each run_dialog_modal returned
    bool innermost_first = true;
    int disabled_owners = 0;            // owners disabled when the deepest runs
    std::vector<int> enabled_on_close;  // innermost first: each owner's state once its dialog closed
} nest;

std::int32_t nest_callback(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message != WM_APP) return 0;
    std::size_t depth = 0;
    while (nest.dialogs[depth] != dialog) ++depth;
    if (depth + 1 < nest.dialogs.size()) {
        HWND next = nest.dialogs[depth + 1];
        std::int32_t end = 0;
        PostMessageA(next, WM_APP, 0, 0);
        run_dialog_modal(next, nest_callback, &end);
        nest.returned.push_back(static_cast<int>(depth + 1));
        return 1;
    }
    // The deepest: every dialog before it owns a running modal one and is
    // disabled. Close all, innermost or outermost first.
    for (std::size_t i = 0; i + 1 < nest.dialogs.size(); ++i) nest.disabled_owners += !IsWindowEnabled(nest.dialogs[i]);
    if (nest.innermost_first) {
        for (std::size_t i = nest.dialogs.size(); i-- > 0;) {
            close_dialog(nest.dialogs[i], static_cast<int>(i));
            if (i > 0) nest.enabled_on_close.push_back(IsWindowEnabled(nest.dialogs[i - 1]) ? 1 : 0);
        }
    } else {
        for (std::size_t i = 0; i < nest.dialogs.size(); ++i) close_dialog(nest.dialogs[i], static_cast<int>(i));
    }
    return 1;
}

TEST_F(Soak, ThirtyTwoNestedModalDialogsUnwindInOrder) {
    for (bool innermost_first : {true, false}) {
        nest = Nest{};
        nest.innermost_first = innermost_first;
        HWND owner = nullptr;
        for (int i = 0; i < 32; ++i) {
            owner = make_dialog(owner);
            nest.dialogs.push_back(owner);
        }
        std::int32_t end = -1;
        PostMessageA(nest.dialogs[0], WM_APP, 0, 0);
        run_dialog_modal(nest.dialogs[0], nest_callback, &end);
        nest.returned.push_back(0);
        ASSERT_EQ(nest.returned.size(), 32u);
        for (int i = 0; i < 32; ++i) EXPECT_EQ(nest.returned[i], 31 - i) << "innermost returns first";
        EXPECT_EQ(nest.disabled_owners, 31);
        if (innermost_first) {
            EXPECT_EQ(nest.enabled_on_close, std::vector<int>(31, 1)) << "each owner enabled by its dialog's close";
        }
        EXPECT_EQ(end, 0);
        for (HWND d : nest.dialogs) EXPECT_FALSE(IsWindow(d));
    }
}

std::atomic<int> flood_received{0};

std::int32_t flood_callback(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    if (message == WM_APP) ++flood_received;
    if (message == WM_APP + 1) close_dialog(dialog, static_cast<std::int32_t>(wparam));
    return 0;
}

// Posts the message, waiting while the queue is full (the loop drains it),
// for 10 s at most.
bool post_within_10s(HWND d, UINT message, WPARAM wparam) {
    for (DWORD start = GetTickCount(); !PostMessageA(d, message, wparam, 0); Sleep(1))
        if (GetTickCount() - start > 10000) return false;
    return true;
}

TEST_F(Soak, NoPostedMessageIsLostInTheModalLoop) {
    const int total = 100000;
    flood_received = 0;
    HWND d = make_dialog();
    int stuck_at = -1;
    std::thread poster([d, &stuck_at] {
        for (int i = 0; i < total && stuck_at < 0; ++i)
            if (!post_within_10s(d, WM_APP, static_cast<WPARAM>(i))) stuck_at = i;
        post_within_10s(d, WM_APP + 1, 9);
    });
    std::int32_t end = 0;
    run_dialog_modal(d, flood_callback, &end);
    poster.join();
    EXPECT_EQ(stuck_at, -1) << "the queue stayed full for 10 s: the loop stopped draining it";
    EXPECT_EQ(end, 9);
    EXPECT_EQ(flood_received.load(), total);
}

// Every operation on a control id that names no control, on a dialog that
// was destroyed, and on the handle 0: no crash, the empty result, both string
// arguments consumed.
void every_operation(HWND dialog, std::int32_t id) {
    ProcFrame f;
    read_control_text(f, dialog, id);
    EXPECT_EQ(view_string(string_arg(f, 0)).count, 0u);
    pop_string(f);
    push_literal(f, pool[kText]);
    write_control_text(f, dialog, id);
    set_control_callback(dialog, id, flood_callback);
    enable_control(dialog, id, 0);
    focus_control(dialog, id);
    kill_control(dialog, id);
    EXPECT_EQ(get_control_check(dialog, id), 0);
    set_control_check(dialog, id, 1);
    push_literal(f, pool[kText]);
    combo_add_item(f, dialog, id);
    combo_delete_item(dialog, id, 1);
    combo_get_selected(f, dialog, id);
    EXPECT_EQ(view_string(string_arg(f, 0)).count, 0u);
    pop_string(f);
    combo_reset(dialog, id);
    combo_select_item(dialog, id, 1);
    push_literal(f, pool[kText]);
    list_add_item(f, dialog, id);
    list_delete_item(dialog, id, 1);
    list_get_selected(f, dialog, id);
    EXPECT_EQ(view_string(string_arg(f, 0)).count, 0u);
    pop_string(f);
    list_reset(dialog, id);
    list_select_item(dialog, id, 1);
    EXPECT_EQ(combo_get_selected_index(dialog, id), 0);
    EXPECT_EQ(list_get_selected_index(dialog, id), 0);
    push_literal(f, pool[kText]);
    EXPECT_EQ(combo_insert_item(f, dialog, id, 1), 0);
    push_literal(f, pool[kText]);
    EXPECT_EQ(list_insert_item(f, dialog, id, 0), 0);
    push_literal(f, pool[kText]);
    EXPECT_EQ(combo_replace_item(f, dialog, id, 1), 0);
    push_literal(f, pool[kText]);
    EXPECT_EQ(list_replace_item(f, dialog, id, 1), 0);
    push_literal(f, pool[kSquare]);
    set_control_image(f, dialog, id, 3);
    UnitPair size = get_window_size(dialog, id);
    UnitPair location = get_window_location(dialog, id);
    EXPECT_EQ(size.horizontal, 0);
    EXPECT_EQ(size.vertical, 0);
    EXPECT_EQ(location.horizontal, 0);
    EXPECT_EQ(location.vertical, 0);
    EXPECT_FALSE(set_window_size(dialog, id, 10, 10));
    EXPECT_FALSE(set_window_location(dialog, id, 10, 10));
    push_literal(f, pool[kText]);
    EXPECT_EQ(tabs_add(f, dialog, id), 0);
    EXPECT_EQ(tabs_get_count(dialog, id), 0);
    tabs_get_text(f, dialog, id, 1);
    EXPECT_EQ(view_string(string_arg(f, 0)).count, 0u);
    pop_string(f);
    EXPECT_EQ(tabs_get_selected(dialog, id), 0);
    EXPECT_FALSE(tabs_select(dialog, id, 1));
    EXPECT_FALSE(tabs_set_page(dialog, id, id, 1));
    EXPECT_FALSE(slider_set_range(dialog, id, 0, 10));
    EXPECT_FALSE(slider_set_position(dialog, id, 1));
    EXPECT_EQ(slider_get_position(dialog, id), 0);
    EXPECT_FALSE(updown_set_range(dialog, id, 0, 10));
    EXPECT_FALSE(updown_set_position(dialog, id, 1));
    EXPECT_EQ(updown_get_position(dialog, id), 0);
    const std::int32_t widths[] = {10, -1};
    EXPECT_FALSE(status_set_parts(dialog, id, widths, 2));
    EXPECT_EQ(status_get_part_count(dialog, id), 0);
    push_literal(f, pool[kText]);
    EXPECT_FALSE(status_set_text(f, dialog, id, 1));
    status_get_text(f, dialog, id, 1);
    EXPECT_EQ(view_string(string_arg(f, 0)).count, 0u);
    pop_string(f);
    push_literal(f, pool[kText]);
    EXPECT_FALSE(set_control_tooltip(f, dialog, id));
    get_control_tooltip(f, dialog, id);
    EXPECT_EQ(view_string(string_arg(f, 0)).count, 0u);
    pop_string(f);
    EXPECT_EQ(f.strings.depth, 0u);
    EXPECT_EQ(f.error_word, 0);
}

TEST_F(Soak, OperationsOnWindowsThatAreNotThere) {
    HWND d = make_dialog();
    every_operation(d, 4711);
    EXPECT_TRUE(IsWindow(d));
    EXPECT_TRUE(IsWindowEnabled(d));
    close_dialog(d, 0);
    for (HWND gone : {d, static_cast<HWND>(nullptr)}) {
        ProcFrame f;
        push_literal(f, pool[kText]);
        set_dialog_title(f, gone);
        EXPECT_EQ(f.strings.depth, 0u);
        const DialogShortcut none[] = {{0, 0, nullptr}};
        EXPECT_FALSE(set_dialog_shortcuts(gone, none));
    }
    every_operation(d, 4711);
    every_operation(d, -1);
    every_operation(nullptr, 4711);
    every_operation(nullptr, -1);
    UnitPair client = get_client_size(nullptr);
    EXPECT_EQ(client.horizontal, 0);
    close_dialog(nullptr, 1);
    std::int32_t end = 5;
    run_dialog_modal(d, nullptr, &end);  // destroyed: returns at once
    EXPECT_EQ(end, 5);
    EXPECT_EQ(live(), 0);
}

TEST_F(Soak, TitlesOfEveryLengthUpTo70000Bytes) {
    for (std::uint32_t n : {0u, 1u, 255u, 256u, 257u, 1000u, 65535u, 65536u, 70000u}) {
        std::string title(n, 'T');
        ProcFrame f;
        push_copy(f, title.data(), n);
        HWND d = create_dialog(f, nullptr, 0, 0, 50, 50, 0, 0);
        ASSERT_NE(d, nullptr) << n;
        char caption[300] = {};
        int got = GetWindowTextA(d, caption, sizeof caption);
        EXPECT_EQ(got, n == 0 ? 1 : static_cast<int>(std::min(n, 256u))) << n;
        EXPECT_EQ(f.strings.depth, 0u);
        DestroyWindow(d);
    }
    EXPECT_EQ(live(), 0);
}

}  // namespace
