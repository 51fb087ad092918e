// A plain Win32 program with the platform's common controls, made from their
// classes directly, for drive's tests of them: a list view in report view
// (id 200) with texts in several scripts, a tab control (210), a progress bar
// (220), a slider (230), an up-down (240) with its edit box (241), a status
// bar (250) of three parts, and buttons that show a file picker (260) and a
// folder picker (261), and close it (262), and two list boxes that select
// several items, one with LBS_EXTENDEDSEL (270), one with LBS_MULTIPLESEL
// (271). A label (300) tells what the user did: "activated N" (a list view
// row, double-clicked), "column N, click K" (a header clicked, the K-th
// header click), "tab N", "list ID: N selected" (a list box's selection
// changed), "opened PATH", "folder PATH" or "cancelled".
//
// It makes the folder C:\Ελένη 李雷 for the folder picker, and removes it at
// its end; it ends with exit code 0 when closed.
#include <windows.h>

#include <commctrl.h>
#include <shobjidl.h>

#include <initializer_list>
#include <string>

namespace {

constexpr int kList = 200, kTabs = 210, kProgress = 220, kSlider = 230, kUpDown = 240, kUpDownEdit = 241, kStatus = 250,
              kOpen = 260, kFolder = 261, kClose = 262, kExtended = 270, kMultiple = 271, kReport = 300;
const wchar_t kFolderPath[] = L"C:\\\u0395\u03BB\u03AD\u03BD\u03B7 \u674E\u96F7";  // C:\Ελένη 李雷

const wchar_t* const kColumns[] = {L"Name", L"\u03A0\u03CC\u03BB\u03B7", L"\u57CE\u5E02"};  // Name, Πόλη, 城市
const wchar_t* const kRows[][3] = {
    {L"Ann", L"Paris", L"\u5DF4\u9ECE"},                                    // 巴黎
    {L"\u674E\u96F7", L"\u0391\u03B8\u03AE\u03BD\u03B1", L"\u96C5\u5178"},  // 李雷, Αθήνα, 雅典
    {L"\u0395\u03BB\u03AD\u03BD\u03B7", L"\u5317\u4EAC", L"Peking"},        // Ελένη, 北京
    {L"Zo\u00EB", L"K\u00F6ln", L"\u79D1\u9686"},                           // Zoë, Köln, 科隆
};
const wchar_t* const kItems[] = {L"Ann", L"Zo\u00EB", L"\u674E\u96F7", L"\u0395\u03BB\u03AD\u03BD\u03B7"};
const wchar_t* const kTabTexts[] = {L"G\u00E9n\u00E9ral", L"\u8BE6\u7EC6",
                                    L"\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC"};
const wchar_t* const kParts[] = {L"Pr\u00EAt", L"\u884C 1", L"\u03A9\u03BC\u03AD\u03B3\u03B1"};  // Prêt, 行 1, Ωμέγα

HWND child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id) {
    return CreateWindowExW(0, cls, text, style | WS_CHILD | WS_VISIBLE, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

// How many header clicks the list view has told of.
int column_clicks = 0;

void report(HWND window, const std::wstring& text) { SetDlgItemTextW(window, kReport, text.c_str()); }

void make_controls(HWND w) {
    HWND list =
        child(w, WC_LISTVIEWW, L"", LVS_REPORT | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, 10, 10, 400, 150, kList);
    for (int c = 0; c < 3; ++c) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 120;
        column.pszText = const_cast<wchar_t*>(kColumns[c]);
        SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
    for (int r = 0; r < 4; ++r) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = r;
        item.pszText = const_cast<wchar_t*>(kRows[r][0]);
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        for (int c = 1; c < 3; ++c) {
            item.iSubItem = c;
            item.pszText = const_cast<wchar_t*>(kRows[r][c]);
            SendMessageW(list, LVM_SETITEMTEXTW, r, reinterpret_cast<LPARAM>(&item));
        }
    }
    HWND tabs = child(w, WC_TABCONTROLW, L"", WS_TABSTOP, 420, 10, 260, 60, kTabs);
    for (int t = 0; t < 3; ++t) {
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(kTabTexts[t]);
        SendMessageW(tabs, TCM_INSERTITEMW, t, reinterpret_cast<LPARAM>(&item));
    }
    HWND progress = child(w, PROGRESS_CLASSW, L"", 0, 10, 170, 200, 20, kProgress);
    SendMessageW(progress, PBM_SETRANGE32, 0, 100);
    SendMessageW(progress, PBM_SETPOS, 40, 0);
    HWND slider = child(w, TRACKBAR_CLASSW, L"", WS_TABSTOP, 220, 170, 200, 30, kSlider);
    SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(0, 20));
    SendMessageW(slider, TBM_SETPOS, TRUE, 5);
    HWND edit = child(w, L"Edit", L"", WS_BORDER, 430, 170, 60, 22, kUpDownEdit);
    HWND updown = child(w, UPDOWN_CLASSW, L"", UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS, 0, 0, 0, 0, kUpDown);
    SendMessageW(updown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
    SendMessageW(updown, UDM_SETRANGE32, 0, 10);
    SendMessageW(updown, UDM_SETPOS32, 0, 7);
    for (int id : {kExtended, kMultiple}) {
        DWORD several = id == kExtended ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
        HWND box = child(w, L"ListBox", L"", several | LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP,
                         id == kExtended ? 500 : 595, 80, 85, 85, id);
        for (const wchar_t* item : kItems) SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    child(w, L"Button", L"Open a file", WS_TABSTOP, 10, 210, 120, 24, kOpen);
    child(w, L"Button", L"Choose a folder", WS_TABSTOP, 140, 210, 120, 24, kFolder);
    child(w, L"Button", L"Close", WS_TABSTOP, 270, 210, 80, 24, kClose);
    child(w, L"Static", L"", 0, 10, 245, 600, 20, kReport);
    HWND status = child(w, STATUSCLASSNAMEW, L"", 0, 0, 0, 0, 0, kStatus);
    int edges[] = {150, 300, -1};
    SendMessageW(status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    for (int p = 0; p < 3; ++p) SendMessageW(status, SB_SETTEXTW, p, reinterpret_cast<LPARAM>(kParts[p]));
}

// Shows the platform's item dialog as a file or a folder picker and reports
// the path it gives.
void pick(HWND owner, bool folder) {
    IFileOpenDialog* dialog = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                reinterpret_cast<void**>(&dialog)))) {
        report(owner, L"no picker");
        return;
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    if (folder) dialog->SetOptions(options | FOS_PICKFOLDERS);
    dialog->SetTitle(folder ? L"Choose a folder" : L"Open a file");
    IShellItem* item = nullptr;
    wchar_t* path = nullptr;
    if (dialog->Show(owner) == S_OK && dialog->GetResult(&item) == S_OK &&
        item->GetDisplayName(SIGDN_FILESYSPATH, &path) == S_OK) {
        report(owner, std::wstring(folder ? L"folder " : L"opened ") + path);
        CoTaskMemFree(path);
    } else {
        report(owner, L"cancelled");
    }
    if (item != nullptr) item->Release();
    dialog->Release();
}

LRESULT CALLBACK window_proc(HWND w, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            make_controls(w);
            return 0;
        case WM_SIZE:
            SendDlgItemMessageW(w, kStatus, WM_SIZE, 0, 0);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wparam) == kOpen || LOWORD(wparam) == kFolder) pick(w, LOWORD(wparam) == kFolder);
            if (LOWORD(wparam) == kClose) DestroyWindow(w);
            if ((LOWORD(wparam) == kExtended || LOWORD(wparam) == kMultiple) && HIWORD(wparam) == LBN_SELCHANGE)
                report(w, L"list " + std::to_wstring(LOWORD(wparam)) + L": " +
                              std::to_wstring(SendMessageW(reinterpret_cast<HWND>(lparam), LB_GETSELCOUNT, 0, 0)) +
                              L" selected");
            return 0;
        case WM_NOTIFY: {
            auto* head = reinterpret_cast<NMHDR*>(lparam);
            if (head->code == LVN_ITEMACTIVATE)
                report(w, L"activated " + std::to_wstring(reinterpret_cast<NMITEMACTIVATE*>(lparam)->iItem + 1));
            if (head->code == LVN_COLUMNCLICK)
                report(w, L"column " + std::to_wstring(reinterpret_cast<NMLISTVIEW*>(lparam)->iSubItem + 1) +
                              L", click " + std::to_wstring(++column_clicks));
            if (head->code == TCN_SELCHANGE)
                report(w, L"tab " + std::to_wstring(SendMessageW(head->hwndFrom, TCM_GETCURSEL, 0, 0) + 1));
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(w, message, wparam, lparam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS |
                                                        ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
    if (!InitCommonControlsEx(&classes) || FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    CreateDirectoryW(kFolderPath, nullptr);
    WNDCLASSW c = {};
    c.lpfnWndProc = window_proc;
    c.hInstance = instance;
    c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    c.lpszClassName = L"KwControlsBox";
    RegisterClassW(&c);
    HWND w = CreateWindowExW(0, c.lpszClassName, L"Common controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 700, 320,
                             nullptr, nullptr, instance, nullptr);
    MSG msg = {};
    while (w != nullptr && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    RemoveDirectoryW(kFolderPath);
    CoUninitialize();
    return w != nullptr ? static_cast<int>(msg.wParam) : 1;
}
