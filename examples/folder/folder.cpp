// A folder's files with their sizes and CRC-32 checksums: Choose... picks a
// folder, a worker thread lists it and reads every file while a progress bar
// follows it, Stop cancels it. The list sorts by a column when its header is
// clicked; the Settings tab says whether hidden files count. A file that
// cannot be read shows "?" as its checksum; a folder that is gone says so in
// the status bar. Names in any script, and paths longer than the classic
// limit, work: the worker uses the platform's UTF-16 file functions. An
// application of its own on the toolkit, played by its UI test
// (folder.script).
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <initializer_list>

#include "runtime/startup.h"
#include "runtime/strings.h"
#include "toolkit/toolkit.h"

namespace {

enum : std::int32_t {
    kPages = 101,
    kFiles = 102,
    kHidden = 103,
    kChoose = 104,
    kStop = 105,
    kProgress = 106,
    kStatus = 107,
    kScanJob = 108,
    kClose = IDCANCEL,  // Escape presses it too
};

constexpr auto literals =
    make_literal_pool("Folder checksums", "", "Files", "Settings", "Name", "Size", "CRC-32", "&Choose...", "&Stop",
                      "Include &hidden files", "Choose a folder.", "working", "done", "cancelled", "folder not found",
                      "out of memory", " files", "?", "Close");

enum Literal {
    kTitle,
    kEmpty,
    kFilesTab,
    kSettingsTab,
    kNameColumn,
    kSizeColumn,
    kChecksumColumn,
    kChooseText,
    kStopText,
    kHiddenText,
    kWelcome,
    kWorking,
    kDone,
    kCancelled,
    kNotFound,
    kNoMemory,
    kFilesSuffix,
    kUnknown,
    kCloseText,
};

// The progress bar's range: the worker reports thousandths of the files.
constexpr std::int32_t kProgressEnd = 1000;
// Room for the longest path the platform takes (\\?\ and 32,767 units).
constexpr std::int32_t kPathUnits = 32768 + 8;
constexpr std::uint32_t kChunkBytes = 64 * 1024;

// What the worker learns of one file.
enum FileState : std::int32_t { kPending, kRead, kUnreadable };
struct FileEntry {
    wchar_t name[MAX_PATH];
    std::uint64_t size;
    std::uint32_t crc;
    std::int32_t state;
};

// The worker's results, when the job ends.
enum ScanResult : std::int32_t { kScanFinished = 1, kScanCancelled = 2, kScanNoFolder = -1, kScanNoMemory = -2 };

// The job's context: the dialog's thread fills the folder and the setting
// before start_work and reads the files after kWorkDone; in between only the
// worker touches it.
struct Scan {
    wchar_t path[kPathUnits];   // \\?\ then the folder, a separator and room for a name
    std::int32_t folder_units;  // units of the folder with its separator, after the prefix
    std::int32_t include_hidden;
    FileEntry* files;  // from the process heap, grown as the listing needs
    std::int32_t capacity;
    std::int32_t count;
    unsigned char chunk[kChunkBytes];
};

struct Globals {
    Scan scan;
    std::uint32_t crc_table[256];
    std::int32_t sorted_column;  // the column the list was last sorted by, 0: none
    std::int32_t descending;
};
Globals globals;

// ---- The worker (no strings, no toolkit calls but the two for work) ---------------

void make_crc_table(std::uint32_t* table) {
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
}

// The full path of a name in the folder: with the \\?\ prefix when it is too
// long for the classic functions (only a drive path takes the prefix as is).
const wchar_t* full_path(Scan& s, const wchar_t* name) {
    wchar_t* end = s.path + 4 + s.folder_units;
    std::int32_t n = 0;
    while (name[n] != 0 && 4 + s.folder_units + n < kPathUnits - 1) {
        end[n] = name[n];
        ++n;
    }
    end[n] = 0;
    bool drive_path = s.path[5] == L':';
    return (s.folder_units + n >= MAX_PATH - 1 && drive_path) ? s.path : s.path + 4;
}

void checksum(WorkJob* job, Scan& s, FileEntry& file) {
    HANDLE h =
        CreateFileW(full_path(s, file.name), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        file.state = kUnreadable;
        return;
    }
    std::uint32_t crc = 0xFFFFFFFFu;
    std::uint64_t total = 0;
    file.state = kUnreadable;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(h, s.chunk, kChunkBytes, &got, nullptr)) break;
        if (got == 0) {
            file.state = kRead;
            break;
        }
        for (DWORD i = 0; i < got; ++i) crc = globals.crc_table[(crc ^ s.chunk[i]) & 0xFF] ^ (crc >> 8);
        total += got;
        if (work_cancelled(job)) break;  // the file stays pending
    }
    CloseHandle(h);
    if (work_cancelled(job) && file.state != kRead) {
        file.state = kPending;
        return;
    }
    file.crc = ~crc;
    file.size = total;  // what was read: the file may have changed since the listing
}

bool grow(Scan& s) {
    std::int32_t capacity = s.capacity == 0 ? 256 : s.capacity * 2;
    SIZE_T bytes = static_cast<SIZE_T>(capacity) * sizeof(FileEntry);
    void* p =
        s.files == nullptr ? HeapAlloc(GetProcessHeap(), 0, bytes) : HeapReAlloc(GetProcessHeap(), 0, s.files, bytes);
    if (p == nullptr) return false;
    s.files = static_cast<FileEntry*>(p);
    s.capacity = capacity;
    return true;
}

std::int32_t list_folder(WorkJob* job, Scan& s) {
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileExW(full_path(s, L"*"), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (h == INVALID_HANDLE_VALUE) return kScanNoFolder;
    std::int32_t result = kScanFinished;
    DWORD hidden = s.include_hidden ? 0 : FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | hidden)) continue;
        if (s.count == s.capacity && !grow(s)) {
            result = kScanNoMemory;
            break;
        }
        FileEntry& file = s.files[s.count++];
        std::int32_t n = 0;
        for (; n < MAX_PATH - 1 && found.cFileName[n] != 0; ++n) file.name[n] = found.cFileName[n];
        file.name[n] = 0;
        file.size = (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        file.crc = 0;
        file.state = kPending;
        if (work_cancelled(job)) {
            result = kScanCancelled;
            break;
        }
    } while (FindNextFileW(h, &found));
    FindClose(h);
    return result;
}

// Lists the folder, then reads its files one by one, reporting thousandths
// done; stops between (and within) files once cancelled. Cancelled, but
// only when that left the listing or the reading short: a Stop that came as
// the last file was read still ends as done.
std::int32_t scan_folder(WorkJob* job, void* context) {
    Scan& s = *static_cast<Scan*>(context);
    std::int32_t result = list_folder(job, s);
    if (result != kScanFinished && result != kScanNoMemory) return result;
    for (std::int32_t i = 0; i < s.count && !work_cancelled(job); ++i) {
        checksum(job, s, s.files[i]);
        report_work_progress(job,
                             static_cast<std::int32_t>((static_cast<std::int64_t>(i) + 1) * kProgressEnd / s.count));
    }
    // The files are read in order: the last one unread means the reading stopped.
    if (result == kScanFinished && s.count > 0 && s.files[s.count - 1].state == kPending) result = kScanCancelled;
    return result;
}

// ---- Helpers on the caller's string argument stack -----------------------------

void push_number(ProcFrame& f, std::uint64_t v) {
    char digits[20];
    std::uint32_t pos = sizeof digits;
    do {
        digits[--pos] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    push_copy(f, digits + pos, sizeof digits - pos);
}

void push_hex(ProcFrame& f, std::uint32_t v) {
    char digits[8];
    for (int i = 7; i >= 0; --i, v >>= 4) digits[i] = "0123456789ABCDEF"[v & 15];
    push_copy(f, digits, sizeof digits);
}

// A UTF-16 name in the program's code page (UTF-8 under its manifest).
void push_wide(ProcFrame& f, const wchar_t* text) {
    char bytes[MAX_PATH * 4];
    int n = WideCharToMultiByte(CP_ACP, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
    push_copy(f, bytes, n > 0 ? static_cast<std::uint32_t>(n - 1) : 0);
}

void set_status(ProcFrame& f, HWND dialog, std::int32_t part, Literal text) {
    push_literal(f, literals[text]);
    status_set_text(f, dialog, kStatus, part);
}

HWND add(ProcFrame& f, HWND dialog, std::int32_t id, ControlKind kind, Literal text, std::int32_t x, std::int32_t y,
         std::int32_t width, std::int32_t height, ControlCallback callback = nullptr, std::uint32_t style = 0) {
    push_empty(f);
    push_literal(f, literals[text]);
    return add_control(f, dialog, id, nullptr, x, y, width, height, style, 0, callback, kind);
}

// ---- Callbacks ---------------------------------------------------------------------

// The rows of the files read, added with the list's drawing held.
void fill_rows(ProcFrame& f, HWND dialog) {
    Scan& s = globals.scan;
    HWND view = GetDlgItem(dialog, kFiles);
    SendMessageW(view, WM_SETREDRAW, FALSE, 0);
    std::int32_t row = 0;
    for (std::int32_t i = 0; i < s.count; ++i) {
        const FileEntry& file = s.files[i];
        if (file.state == kPending) continue;
        push_wide(f, file.name);
        row = list_view_insert_row(f, dialog, kFiles, 0);
        if (row == 0) break;
        push_number(f, file.size);
        list_view_set_cell(f, dialog, kFiles, row, 2);
        if (file.state == kRead)
            push_hex(f, file.crc);
        else
            push_literal(f, literals[kUnknown]);
        list_view_set_cell(f, dialog, kFiles, row, 3);
    }
    SendMessageW(view, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(view, nullptr, TRUE);
    push_number(f, static_cast<std::uint64_t>(row));
    push_literal(f, literals[kFilesSuffix]);
    string_concat(f);
    status_set_text(f, dialog, kStatus, 2);
}

// The job's progress moves the bar; its end fills the list and says how it
// ended.
std::int32_t on_scan(HWND dialog, UINT, WPARAM wparam, LPARAM lparam) {
    ProcFrame f;
    if (HIWORD(wparam) == kWorkProgress) {
        progress_set_position(dialog, kProgress, static_cast<std::int32_t>(lparam));
        return f.result;
    }
    if (HIWORD(wparam) != kWorkDone) return f.result;
    std::int32_t result = static_cast<std::int32_t>(lparam);
    set_status(f, dialog, 1,
               result == kScanNoFolder    ? kNotFound
               : result == kScanCancelled ? kCancelled
               : result == kScanNoMemory  ? kNoMemory
                                          : kDone);
    fill_rows(f, dialog);
    if (result == kScanFinished) progress_set_position(dialog, kProgress, kProgressEnd);
    enable_control(dialog, kStop, 0);
    enable_control(dialog, kChoose, 1);
    focus_control(dialog, kChoose);
    return f.result;
}

// Choose...: the picker, then a job for the folder chosen.
std::int32_t on_choose(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    push_empty(f);
    if (pick_folder(f, dialog) == 0) {
        pop_string(f);
        return f.result;
    }
    Scan& s = globals.scan;
    StringView folder = view_string(string_arg(f, 0));
    s.path[0] = L'\\';
    s.path[1] = L'\\';
    s.path[2] = L'?';
    s.path[3] = L'\\';
    int units = MultiByteToWideChar(CP_ACP, 0, folder.bytes, static_cast<int>(folder.count), s.path + 4,
                                    kPathUnits - 4 - MAX_PATH - 1);
    pop_string(f);
    if (units <= 0) {
        set_status(f, dialog, 1, kNotFound);
        return f.result;
    }
    if (s.path[4 + units - 1] != L'\\') s.path[4 + units++] = L'\\';
    s.folder_units = units;
    s.include_hidden = get_control_check(dialog, kHidden) == BST_CHECKED;
    s.count = 0;
    globals.sorted_column = 0;
    list_view_clear(dialog, kFiles);
    progress_set_position(dialog, kProgress, 0);
    set_status(f, dialog, 1, kWorking);
    push_empty(f);
    status_set_text(f, dialog, kStatus, 2);
    if (!start_work(dialog, kScanJob, scan_folder, &s, on_scan)) return f.result;
    enable_control(dialog, kStop, 1);
    focus_control(dialog, kStop);
    enable_control(dialog, kChoose, 0);
    return f.result;
}

std::int32_t on_close(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    close_dialog(dialog, 0);
    return f.result;
}

std::int32_t on_stop(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    cancel_work(dialog, kScanJob);
    return f.result;
}

// A click on a header sorts by its column; a second click on the same one
// reverses the order.
std::int32_t on_files(HWND dialog, UINT message, WPARAM, LPARAM lparam) {
    ProcFrame f;
    ListViewEvent e = list_view_event(message, lparam);
    if (e.code != static_cast<std::uint32_t>(LVN_COLUMNCLICK)) return f.result;
    globals.descending = e.column == globals.sorted_column ? !globals.descending : 0;
    globals.sorted_column = e.column;
    list_view_sort(dialog, kFiles, e.column, globals.descending);
    return f.result;
}

// ---- Building the window ---------------------------------------------------------

void add_controls(ProcFrame& f, HWND dialog) {
    add(f, dialog, kPages, kTabs, kEmpty, 6, 4, 288, 150);
    for (Literal tab : {kFilesTab, kSettingsTab}) {
        push_literal(f, literals[tab]);
        tabs_add(f, dialog, kPages);
    }
    add(f, dialog, kFiles, kListView, kEmpty, 12, 22, 276, 126, on_files);
    push_literal(f, literals[kNameColumn]);
    list_view_add_column(f, dialog, kFiles, 150, kAlignLeft);
    push_literal(f, literals[kSizeColumn]);
    list_view_add_column(f, dialog, kFiles, 50, kAlignRight);
    push_literal(f, literals[kChecksumColumn]);
    list_view_add_column(f, dialog, kFiles, 50, kAlignLeft);
    add(f, dialog, kHidden, kCheckBox, kHiddenText, 16, 28, 150, 10);
    tabs_set_page(dialog, kPages, kFiles, 1);
    tabs_set_page(dialog, kPages, kHidden, 2);
    add(f, dialog, kChoose, kPushButton, kChooseText, 6, 158, 56, 14, on_choose,
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON);
    add(f, dialog, kStop, kPushButton, kStopText, 66, 158, 46, 14, on_stop);
    add(f, dialog, kProgress, kProgressBar, kEmpty, 118, 160, 120, 10);
    add(f, dialog, kClose, kPushButton, kCloseText, 244, 158, 50, 14, on_close);
    progress_set_range(dialog, kProgress, 0, kProgressEnd);
    // The bar spans the width and so covers the dialog's size grip: it
    // draws a grip of its own, which resizes the dialog as that one would.
    add(f, dialog, kStatus, kStatusBar, kEmpty, 0, 0, 0, 0, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP);
    static const std::int32_t parts[] = {100, -1};
    status_set_parts(dialog, kStatus, parts, 2);
    set_status(f, dialog, 1, kWelcome);
    enable_control(dialog, kStop, 0);
}

// The tabs and the list stretch with the dialog; the buttons keep to the
// bottom left and Close to the bottom right, the progress bar stretches
// between them, the status bar
// keeps to the bottom edge.
void anchor_controls(HWND dialog) {
    for (std::int32_t id : {kPages, kFiles})
        set_control_anchors(dialog, id, kAnchorLeft | kAnchorTop | kAnchorRight | kAnchorBottom);
    set_control_anchors(dialog, kChoose, kAnchorLeft | kAnchorBottom);
    set_control_anchors(dialog, kStop, kAnchorLeft | kAnchorBottom);
    set_control_anchors(dialog, kProgress, kAnchorLeft | kAnchorRight | kAnchorBottom);
    set_control_anchors(dialog, kClose, kAnchorRight | kAnchorBottom);
    set_control_anchors(dialog, kStatus, kAnchorLeft | kAnchorRight | kAnchorBottom);
    make_dialog_resizable(dialog);
}

}  // namespace

KW_GLOBAL_AREA(globals);

std::int32_t main_procedure(void*, void*, const char*, std::int32_t) {
    ProcFrame f;
    std::int32_t result = 0;
    make_crc_table(globals.crc_table);
    push_literal(f, literals[kTitle]);
    HWND dialog = create_dialog(f, nullptr, -1, -1, 300, 186, 0, 0);
    add_controls(f, dialog);
    anchor_controls(dialog);
    focus_control(dialog, kChoose);
    run_dialog_modal(dialog, nullptr, &result);
    // The list of files goes with the process: a job still running when the
    // dialog ends is cancelled but not waited for, and may still touch it.
    return f.result;
}
