// Building the greeting's dialog and tearing it down again, 1,000 times per
// run (or as many as the second argument says): create_dialog, three add_control and close_dialog, against the raw
// calls a Win32 C program makes for the same window tree.
#include <windows.h>

#include "bench/timing.h"
#include "runtime/startup.h"
#include "runtime/state.h"
#include "toolkit/toolkit.h"

namespace {

constexpr auto literals = make_literal_pool("What is your name?", "", "OK", "Cancel");
enum { kTitle, kEmpty, kOk, kCancel };
constexpr int kNameBox = 100;

void build_ours(long n) {
    for (long i = 0; i < n; ++i) {
        ProcFrame f;
        push_literal(f, literals[kTitle]);
        HWND dialog = create_dialog(f, nullptr, -1, -1, 160, 50, 0, 0);
        push_empty(f);
        push_literal(f, literals[kEmpty]);
        add_control(f, dialog, kNameBox, nullptr, 14, 12, 134, 12, 0, 0, nullptr, kTextBox);
        push_empty(f);
        push_literal(f, literals[kOk]);
        add_control(f, dialog, IDOK, nullptr, 34, 32, 40, 14, BS_DEFPUSHBUTTON, 0, nullptr, kPushButton);
        push_empty(f);
        push_literal(f, literals[kCancel]);
        add_control(f, dialog, IDCANCEL, nullptr, 84, 32, 40, 14, 0, 0, nullptr, kPushButton);
        close_dialog(dialog, 0);
    }
}

// The same 90-byte template a C programmer writes as a static record.
#pragma pack(push, 2)
struct GreetingTemplate {
    DLGTEMPLATE header;
    WORD menu;
    WORD window_class;
    WCHAR title[19];
    WORD point_size;
    WCHAR typeface[14];
};
#pragma pack(pop)
static_assert(sizeof(GreetingTemplate) == 90, "the greeting's template is 90 bytes");

const GreetingTemplate raw_template = {
    {WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK | DS_CENTER, 0, 0, 0, 0, 160, 50},
    0,
    0,
    L"What is your name?",
    8,
    L"MS Sans Serif",
};

INT_PTR CALLBACK raw_proc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

struct RawChild {
    DWORD exstyle;
    const char* window_class;
    const char* text;
    DWORD style;
    int id;
    RECT box;  // pixels, measured once on a real dialog
};
RawChild raw_children[3] = {
    {WS_EX_CLIENTEDGE, "EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, kNameBox, {14, 12, 148, 24}},
    {0, "BUTTON", "OK", BS_DEFPUSHBUTTON, IDOK, {34, 32, 74, 46}},
    {0, "BUTTON", "Cancel", WS_TABSTOP, IDCANCEL, {84, 32, 124, 46}},
};

HWND raw_dialog() {
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &raw_template.header, nullptr, raw_proc, 0);
}

void measure_raw_children() {
    HWND dialog = raw_dialog();
    for (RawChild& c : raw_children) MapDialogRect(dialog, &c.box);
    DestroyWindow(dialog);
}

void build_raw(long n) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    for (long i = 0; i < n; ++i) {
        HWND dialog = raw_dialog();
        WPARAM font = static_cast<WPARAM>(SendMessageA(dialog, WM_GETFONT, 0, 0));
        for (const RawChild& c : raw_children) {
            HWND child = CreateWindowExA(c.exstyle, c.window_class, c.text, WS_CHILD | WS_VISIBLE | c.style, c.box.left,
                                         c.box.top, c.box.right - c.box.left, c.box.bottom - c.box.top, dialog,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
            SendMessageA(child, WM_SETFONT, font, TRUE);
        }
        DestroyWindow(dialog);
    }
}

}  // namespace

int main(int argc, char** argv) {
    runtime_state.instance = GetModuleHandleA(nullptr);
    runtime_state.globals = {nullptr, 0};
    reset_runtime();
    measure_raw_children();
    interleave(
        "dialog_build", pairs_argument(argc, argv, 5), count_argument(argc, argv, 2, 1000),
        [](long n) {
            build_ours(n);
            drain_queue();
        },
        [](long n) {
            build_raw(n);
            drain_queue();
        });
    return 0;
}
