/* The greeting with the platform's own modal dialog: every control inside the
 * template and DialogBoxIndirectParamA running the loop. Linked without the C
 * runtime, like the shipped program. */
#include <windows.h>

#define NAME_BOX 100

static char user_name[256];

/* Template writer: DWORD-aligned items, strings widened byte by byte. */
static WORD template_words[256] __attribute__((aligned(4)));
static WORD* put_word(WORD* p, WORD w) {
    *p++ = w;
    return p;
}
static WORD* put_text(WORD* p, const char* s) {
    do *p++ = (WORD)(unsigned char)*s;
    while (*s++);
    return p;
}
static WORD* put_dword(WORD* p, DWORD d) { return put_word(put_word(p, LOWORD(d)), HIWORD(d)); }
static WORD* align4(WORD* p) { return ((UINT_PTR)p & 2) ? put_word(p, 0) : p; }

static WORD* put_item(WORD* p, DWORD style, DWORD exstyle, short x, short y, short cx, short cy, WORD id, WORD atom,
                      const char* text) {
    p = align4(p);
    p = put_dword(p, WS_CHILD | WS_VISIBLE | style);
    p = put_dword(p, exstyle);
    p = put_word(p, (WORD)x);
    p = put_word(p, (WORD)y);
    p = put_word(p, (WORD)cx);
    p = put_word(p, (WORD)cy);
    p = put_word(p, id);
    p = put_word(p, 0xFFFF);
    p = put_word(p, atom);
    p = put_text(p, text);
    return put_word(p, 0); /* no creation data */
}

static const DLGTEMPLATE* build_template(void) {
    WORD* p = template_words;
    p = put_dword(p, WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK | DS_CENTER);
    p = put_dword(p, 0);
    p = put_word(p, 3);
    p = put_word(p, 0);
    p = put_word(p, 0);
    p = put_word(p, 160);
    p = put_word(p, 50);
    p = put_word(p, 0); /* menu */
    p = put_word(p, 0); /* class */
    p = put_text(p, "What is your name?");
    p = put_word(p, 8);
    p = put_text(p, "MS Sans Serif");
    p = put_item(p, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 14, 12, 134, 12, NAME_BOX, 0x0081, "");
    p = put_item(p, BS_DEFPUSHBUTTON, 0, 34, 32, 40, 14, IDOK, 0x0080, "OK");
    put_item(p, WS_TABSTOP, 0, 84, 32, 40, 14, IDCANCEL, 0x0080, "Cancel");
    return (const DLGTEMPLATE*)template_words;
}

static INT_PTR CALLBACK greeting_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    (void)lparam;
    if (message == WM_INITDIALOG) return TRUE;
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wparam)) {
        case IDOK:
            GetDlgItemTextA(dialog, NAME_BOX, user_name, sizeof user_name);
            EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
    }
    return FALSE;
}

void WINAPI greeting_entry(void) {
    if (DialogBoxIndirectParamA(GetModuleHandleA(NULL), build_template(), NULL, greeting_proc, 0) == 1) {
        char text[6 + sizeof user_name];
        lstrcpyA(text, "Hello ");
        lstrcatA(text, user_name);
        MessageBoxA(NULL, text, "Kestrowane", MB_OK);
    }
    ExitProcess(0);
}
