// A plain Win32 program whose code page is the system's (no manifest; 1252 in
// the test prefix), for drive's tests of text that the code page cannot hold.
// It shows an ANSI dialog made from an in-memory template with
// CreateDialogIndirectParamA: an edit box (id 100) and a static (id 101).
// Its title, "Boîte à texte", has letters of code page 1252 outside ASCII. Enter copies what the program itself reads
// from the box (GetDlgItemTextA) into the static; Escape ends it with exit code 0.
//
// Its message loop uses the A calls (GetMessageA, IsDialogMessageA,
// DispatchMessageA), or the W calls when its command line ends in " w".
#include <windows.h>

#include <cstring>
#include <initializer_list>

namespace {

constexpr int kBox = 100;
constexpr int kOwnReading = 101;

// A DLGTEMPLATE and its items as 16-bit units, each item 4-byte aligned.
struct alignas(4) Template {
    WORD units[256];
    int used = 0;

    void add(WORD u) { units[used++] = u; }
    void add_long(DWORD d) {
        add(LOWORD(d));
        add(HIWORD(d));
    }
    void add_text(const wchar_t* text) {
        while (*text != L'\0') add(static_cast<WORD>(*text++));
        add(0);
    }
    void align() {
        if (used % 2 != 0) add(0);
    }
    // One control: its style, place, id and predefined class atom.
    void add_item(DWORD style, WORD x, WORD y, WORD cx, WORD cy, WORD id, WORD atom) {
        align();
        add_long(style | WS_CHILD | WS_VISIBLE);
        add_long(0);
        for (WORD u : {x, y, cx, cy, id, WORD(0xFFFF), atom}) add(u);
        add(0);  // no text
        add(0);  // no creation data
    }
};

Template box_template() {
    Template t;
    t.add_long(WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME | DS_SETFONT | DS_CENTER);
    t.add_long(0);
    t.add(2);  // items
    for (WORD u : {0, 0, 200, 50}) t.add(u);
    t.add(0);  // no menu
    t.add(0);  // the dialog class
    t.add_text(L"Bo\u00EEte \u00E0 texte");
    t.add(8);
    t.add_text(L"MS Sans Serif");
    t.add_item(WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 10, 8, 180, 12, kBox, 0x0081);
    t.add_item(SS_LEFT, 10, 28, 180, 10, kOwnReading, 0x0082);
    return t;
}

INT_PTR CALLBACK box_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    if (message != WM_COMMAND) return FALSE;
    if (LOWORD(wparam) == IDOK) {
        char text[256] = {};
        GetDlgItemTextA(dialog, kBox, text, sizeof text);
        SetDlgItemTextA(dialog, kOwnReading, text);
        return TRUE;
    }
    if (LOWORD(wparam) == IDCANCEL) PostQuitMessage(0);
    return LOWORD(wparam) == IDCANCEL;
}

bool wide_loop() {
    const char* line = GetCommandLineA();
    std::size_t n = std::strlen(line);
    return n >= 2 && std::strcmp(line + n - 2, " w") == 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    Template t = box_template();
    HWND dialog =
        CreateDialogIndirectParamA(instance, reinterpret_cast<LPCDLGTEMPLATEA>(t.units), nullptr, box_proc, 0);
    if (dialog == nullptr) return 1;
    bool wide = wide_loop();
    MSG msg;
    while (wide ? GetMessageW(&msg, nullptr, 0, 0) : GetMessageA(&msg, nullptr, 0, 0)) {
        if (wide ? IsDialogMessageW(dialog, &msg) : IsDialogMessageA(dialog, &msg)) continue;
        TranslateMessage(&msg);
        if (wide) {
            DispatchMessageW(&msg);
        } else {
            DispatchMessageA(&msg);
        }
    }
    DestroyWindow(dialog);
    return static_cast<int>(msg.wParam);
}
