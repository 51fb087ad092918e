/* The greeting written in plain Win32 C: an in-memory dialog template with no
 * items, three controls made with CreateWindowExA, a PeekMessageA + Sleep(1)
 * loop, and a message box. Built with the C runtime (WinMain) and without
 * it (GREETING_NO_CRT: own entry, linked like a shipped program); with
 * GREETING_FOUR_DLLS it also probes the registry at start-up and keeps the
 * greeting text in an OLE Automation string, so it loads the same DLLs. */
#include <windows.h>
#ifdef GREETING_FOUR_DLLS
#include <oleauto.h>
#endif

#define NAME_BOX 100

/* 90 bytes: header, no menu, default class, title, 8-point "MS Sans Serif". */
static const struct {
    DLGTEMPLATE header;
    WORD menu;
    WORD window_class;
    WCHAR title[19];
    WORD point_size;
    WCHAR typeface[14];
} greeting_template = {
    {WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK | DS_CENTER, 0, 0, 0, 0, 160, 50},
    0,
    0,
    L"What is your name?",
    8,
    L"MS Sans Serif",
};

static char user_name[256];
static int confirmed;

static INT_PTR CALLBACK greeting_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    (void)lparam;
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wparam)) {
        case IDOK:
            GetDlgItemTextA(dialog, NAME_BOX, user_name, sizeof user_name);
            confirmed = 1;
            DestroyWindow(dialog);
            return TRUE;
        case IDCANCEL:
            DestroyWindow(dialog);
            return TRUE;
    }
    return FALSE;
}

static void add_child(HWND dialog, HFONT font, DWORD exstyle, const char* cls, const char* text, DWORD style, int id,
                      int x, int y, int width, int height) {
    RECT r = {x, y, x + width, y + height};
    HWND child;
    MapDialogRect(dialog, &r);
    child = CreateWindowExA(exstyle, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                            r.bottom - r.top, dialog, (HMENU)(INT_PTR)id, GetModuleHandleA(NULL), NULL);
    SendMessageA(child, WM_SETFONT, (WPARAM)font, TRUE);
}

static void probe_registry(void) {
#ifdef GREETING_FOUR_DLLS
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\FloatingPointProcessor", 0, KEY_READ, &key) ==
        ERROR_SUCCESS)
        RegCloseKey(key);
#endif
}

static void show_greeting(const char* text) {
#ifdef GREETING_FOUR_DLLS
    BSTR copy = SysAllocStringByteLen(text, (UINT)lstrlenA(text));
    MessageBoxA(NULL, (const char*)copy, "Kestrowane", MB_OK);
    SysFreeString(copy);
#else
    MessageBoxA(NULL, text, "Kestrowane", MB_OK);
#endif
}

static int greet(HINSTANCE instance) {
    probe_registry(); /* before the dialog, as start-up's platform detection does */
    HWND dialog = CreateDialogIndirectParamA(instance, &greeting_template.header, NULL, greeting_proc, 0);
    HFONT font = (HFONT)SendMessageA(dialog, WM_GETFONT, 0, 0);
    MSG msg;
    add_child(dialog, font, WS_EX_CLIENTEDGE, "EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, NAME_BOX, 14, 12, 134, 12);
    add_child(dialog, font, 0, "BUTTON", "OK", BS_DEFPUSHBUTTON, IDOK, 34, 32, 40, 14);
    add_child(dialog, font, 0, "BUTTON", "Cancel", WS_TABSTOP, IDCANCEL, 84, 32, 40, 14);
    ShowWindow(dialog, SW_SHOW);
    while (IsWindow(dialog)) {
        if (!PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            Sleep(1);
            continue;
        }
        if (!IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (confirmed) {
        char text[6 + sizeof user_name];
        lstrcpyA(text, "Hello ");
        lstrcatA(text, user_name);
        show_greeting(text);
    }
    return 0;
}

#ifdef GREETING_NO_CRT
void WINAPI greeting_entry(void) { ExitProcess((UINT)greet(GetModuleHandleA(NULL))); }
#else
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
    (void)previous;
    (void)command_line;
    (void)show;
    return greet(instance);
}
#endif
