#include "tools/common/common_controls.h"

#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <cwchar>

#include "tools/common/numbers.h"
#include "tools/common/text.h"
#include "tools/common/window_find.h"

namespace {

// How long a message that writes into the program waits for its answer.
constexpr UINT kAnswerWait = 5000;

// A block of memory in the process that owns a window, for one message
// that writes through a pointer; freed when it goes.
class RemoteBlock {
public:
    static constexpr std::size_t kTextAt = 256;  // the text buffer, after the item structure
    static constexpr std::size_t kTextChars = 4096;
    static constexpr std::size_t kSize = kTextAt + kTextChars * sizeof(wchar_t);

    RemoteBlock(HWND w, std::string& error) {
        DWORD pid = window_process(w);
        process_ = pid == 0 ? nullptr
                            : OpenProcess(
                                  PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                                  FALSE, pid);
        if (process_ == nullptr) {
            error = "cannot open the process of " + class_name(w) + " " + std::to_string(GetDlgCtrlID(w)) + " (error " +
                    std::to_string(GetLastError()) + ")";
            return;
        }
        BOOL self_wow = FALSE, target_wow = FALSE;
        IsWow64Process(GetCurrentProcess(), &self_wow);
        IsWow64Process(process_, &target_wow);
        narrow_ = sizeof(void*) == 4 || target_wow;
        if (sizeof(void*) == 4 && self_wow && !target_wow) {
            error = "a 64-bit program's " + class_name(w) + " is read only by the 64-bit drive";
            return;
        }
        at_ = VirtualAllocEx(process_, nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (at_ == nullptr)
            error = "cannot reserve memory in the program (error " + std::to_string(GetLastError()) + ")";
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;
    ~RemoteBlock() {
        if (at_ != nullptr) VirtualFreeEx(process_, at_, 0, MEM_RELEASE);
        if (process_ != nullptr) CloseHandle(process_);
    }

    bool ok() const { return at_ != nullptr; }
    // Whether the program's pointers are 4 bytes.
    bool narrow() const { return narrow_; }
    LPARAM address(std::size_t offset = 0) const { return reinterpret_cast<LPARAM>(static_cast<char*>(at_) + offset); }
    // The text the program wrote to the text buffer, up to its end, as UTF-8.
    bool read_text(std::string& text, std::string& error) const {
        std::wstring wide(kTextChars, L'\0');
        if (!read(kTextAt, &wide[0], (wide.size() - 1) * sizeof(wchar_t))) {
            error = "cannot read the program's memory (error " + std::to_string(GetLastError()) + ")";
            return false;
        }
        wide.resize(std::wcslen(wide.c_str()));
        text = utf8_of(wide);
        return true;
    }
    std::uint64_t text_address() const { return static_cast<std::uint64_t>(address(kTextAt)); }

    bool write(const void* data, std::size_t n) {
        SIZE_T done = 0;
        return WriteProcessMemory(process_, at_, data, n, &done) && done == n;
    }
    bool read(std::size_t offset, void* data, std::size_t n) const {
        SIZE_T done = 0;
        return ReadProcessMemory(process_, static_cast<char*>(at_) + offset, data, n, &done) && done == n;
    }

private:
    HANDLE process_ = nullptr;
    void* at_ = nullptr;
    bool narrow_ = false;
};

// The items of the messages, as the program lays them out for pointers of
// type P (std::uint32_t or std::uint64_t), up to the fields read here.
template <class P>
struct ListItem {  // LVITEMW
    UINT mask;
    int item;
    int sub_item;
    UINT state;
    UINT state_mask;
    alignas(sizeof(P)) P text;
    int text_max;
    int image;
    alignas(sizeof(P)) P param;
    int indent;
};

template <class P>
struct TabItem {  // TCITEMW
    UINT mask;
    DWORD state;
    DWORD state_mask;
    alignas(sizeof(P)) P text;
    int text_max;
    int image;
    alignas(sizeof(P)) P param;
};

template <class P>
struct HeaderItem {  // HDITEMW
    UINT mask;
    int width;
    alignas(sizeof(P)) P text;
    alignas(sizeof(P)) P bitmap;
    int text_max;
    int format;
    alignas(sizeof(P)) P param;
};

// The layouts as the platform's headers have them for this process's
// pointers, and as a 32-bit program has them.
static_assert(offsetof(ListItem<std::uintptr_t>, text) == offsetof(LVITEMW, pszText) &&
                  offsetof(ListItem<std::uintptr_t>, indent) == offsetof(LVITEMW, iIndent),
              "LVITEMW");
static_assert(offsetof(TabItem<std::uintptr_t>, param) == offsetof(TCITEMW, lParam), "TCITEMW");
static_assert(offsetof(HeaderItem<std::uintptr_t>, param) == offsetof(HDITEMW, lParam), "HDITEMW");
static_assert(offsetof(ListItem<std::uint32_t>, text) == 20 && offsetof(ListItem<std::uint32_t>, indent) == 36 &&
                  offsetof(TabItem<std::uint32_t>, text_max) == 16 && offsetof(HeaderItem<std::uint32_t>, param) == 24,
              "32-bit layouts");

// What each message needs in its item besides the text buffer.
template <class P>
void prepare(ListItem<P>& i, int column) {
    i.sub_item = column;
}
template <class P>
void prepare(TabItem<P>& i, int) {
    i.mask = TCIF_TEXT;
}
template <class P>
void prepare(HeaderItem<P>& i, int) {
    i.mask = HDI_TEXT;
}

std::string where_of(HWND w) { return class_name(w) + " " + std::to_string(GetDlgCtrlID(w)); }

// Sends a message whose item (laid out for the program's pointers) names a
// text buffer in the program, and reads the text it wrote there, up to its
// end. column is a list view's column, unused for the other items.
template <template <class> class Item>
bool text_message(HWND w, UINT message, WPARAM index, int column, std::string& text, std::string& error) {
    RemoteBlock block(w, error);
    if (!block.ok()) return false;
    char item[128] = {};
    if (block.narrow()) {
        auto* i = reinterpret_cast<Item<std::uint32_t>*>(item);
        i->text = static_cast<std::uint32_t>(block.text_address());
        i->text_max = RemoteBlock::kTextChars;
        prepare(*i, column);
    } else {
        auto* i = reinterpret_cast<Item<std::uint64_t>*>(item);
        i->text = block.text_address();
        i->text_max = RemoteBlock::kTextChars;
        prepare(*i, column);
    }
    DWORD_PTR answer = 0;
    if (!block.write(item, sizeof item) ||
        !SendMessageTimeoutW(w, message, index, block.address(), SMTO_ABORTIFHUNG, kAnswerWait, &answer)) {
        error = where_of(w) + " did not answer for item " + std::to_string(index + 1) + " (error " +
                std::to_string(GetLastError()) + ")";
        return false;
    }
    return block.read_text(text, error);
}

// A rectangle in w's client coordinates that the message writes through
// its lParam, its left field set to first beforehand.
bool rect_message(HWND w, UINT message, WPARAM wparam, LONG first, RECT& r, std::string& error) {
    RemoteBlock block(w, error);
    if (!block.ok()) return false;
    r = {first, 0, 0, 0};
    DWORD_PTR answer = 0;
    if (!block.write(&r, sizeof r) ||
        !SendMessageTimeoutW(w, message, wparam, block.address(), SMTO_ABORTIFHUNG, kAnswerWait, &answer) ||
        answer == 0 || !block.read(0, &r, sizeof r)) {
        error = where_of(w) + " answers no rectangle for item " + std::to_string(wparam + 1);
        return false;
    }
    return true;
}

// The middle of a client rectangle of w, on the screen.
bool middle_on_screen(HWND w, const RECT& r, POINT& p, std::string& error) {
    p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    if (ClientToScreen(w, &p)) return true;
    error = "the control is gone";
    return false;
}

bool out_of_range(const char* what, int index, int count, std::string& error) {
    if (index >= 0 && index < count) return false;
    error = "no " + std::string(what) + " " + std::to_string(index + 1) + " (there " + (count == 1 ? "is " : "are ") +
            std::to_string(count) + ")";
    return true;
}

HWND header_of(HWND list_view) { return reinterpret_cast<HWND>(SendMessageW(list_view, LVM_GETHEADER, 0, 0)); }

// An index by number from 1 or by the text that text_of reads.
template <class TextOf>
int index_named(int count, const std::string& which, TextOf text_of) {
    DWORD n = 0;
    if (parse_decimal(which, n)) return n >= 1 && count > 0 && n <= static_cast<DWORD>(count) ? int(n) - 1 : -1;
    for (int i = 0; i < count; ++i) {
        std::string text, error;
        if (text_of(i, text, error) && text == which) return i;
    }
    return -1;
}

}  // namespace

CommonKind common_kind(HWND w) {
    std::string c = lower(class_name(w));
    if (c == "syslistview32") return CommonKind::kListView;
    if (c == "systabcontrol32") return CommonKind::kTabs;
    if (c == "msctls_progress32") return CommonKind::kProgress;
    if (c == "msctls_trackbar32") return CommonKind::kSlider;
    if (c == "msctls_updown32") return CommonKind::kUpDown;
    if (c == "msctls_statusbar32") return CommonKind::kStatus;
    return CommonKind::kNone;
}

const char* common_kind_name(CommonKind kind) {
    switch (kind) {
        case CommonKind::kListView:
            return "list view";
        case CommonKind::kTabs:
            return "tab control";
        case CommonKind::kProgress:
            return "progress bar";
        case CommonKind::kSlider:
            return "slider";
        case CommonKind::kUpDown:
            return "up-down";
        case CommonKind::kStatus:
            return "status bar";
        case CommonKind::kNone:
            break;
    }
    return "control";
}

int common_count(HWND w) {
    switch (common_kind(w)) {
        case CommonKind::kListView:
            return static_cast<int>(SendMessageW(w, LVM_GETITEMCOUNT, 0, 0));
        case CommonKind::kTabs:
            return static_cast<int>(SendMessageW(w, TCM_GETITEMCOUNT, 0, 0));
        case CommonKind::kStatus:
            return static_cast<int>(SendMessageW(w, SB_GETPARTS, 0, 0));
        default:
            return 0;
    }
}

bool common_position(HWND w, int& position) {
    switch (common_kind(w)) {
        case CommonKind::kProgress:
            position = static_cast<int>(SendMessageW(w, PBM_GETPOS, 0, 0));
            return true;
        case CommonKind::kSlider:
            position = static_cast<int>(SendMessageW(w, TBM_GETPOS, 0, 0));
            return true;
        case CommonKind::kUpDown:
            position = static_cast<int>(SendMessageW(w, UDM_GETPOS32, 0, 0));
            return true;
        default:
            return false;
    }
}

int column_count(HWND list_view) {
    HWND header = header_of(list_view);
    return header == nullptr ? 0 : static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
}

bool cell_text(HWND list_view, int row, int column, std::string& text, std::string& error) {
    if (out_of_range("row", row, common_count(list_view), error) ||
        out_of_range("column", column, column_count(list_view), error))
        return false;
    return text_message<ListItem>(list_view, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), column, text, error);
}

bool column_text(HWND list_view, int column, std::string& text, std::string& error) {
    if (out_of_range("column", column, column_count(list_view), error)) return false;
    return text_message<HeaderItem>(header_of(list_view), HDM_GETITEMW, static_cast<WPARAM>(column), 0, text, error);
}

bool tab_text(HWND tabs, int tab, std::string& text, std::string& error) {
    if (out_of_range("tab", tab, common_count(tabs), error)) return false;
    return text_message<TabItem>(tabs, TCM_GETITEMW, static_cast<WPARAM>(tab), 0, text, error);
}

bool part_text(HWND status, int part, std::string& text, std::string& error) {
    if (out_of_range("part", part, common_count(status), error)) return false;
    RemoteBlock block(status, error);
    if (!block.ok()) return false;
    // The text is at most kTextChars - 1 long unless SB_GETTEXTLENGTHW says more.
    if (LOWORD(SendMessageW(status, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0)) >= RemoteBlock::kTextChars) {
        error = where_of(status) + " part " + std::to_string(part + 1) + " is too long to read";
        return false;
    }
    SendMessageW(status, SB_GETTEXTW, static_cast<WPARAM>(part), block.address(RemoteBlock::kTextAt));
    return block.read_text(text, error);
}

std::vector<int> selected_rows(HWND list_view) {
    std::vector<int> rows;
    int count = common_count(list_view);
    for (int i = -1;
         (i = static_cast<int>(SendMessageW(list_view, LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED))) >= 0 &&
         static_cast<int>(rows.size()) < count;)
        rows.push_back(i);
    return rows;
}

int selected_tab(HWND tabs) { return static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0)); }

int common_item_named(HWND w, const std::string& which) {
    if (common_kind(w) == CommonKind::kTabs)
        return index_named(common_count(w), which,
                           [&](int i, std::string& text, std::string& error) { return tab_text(w, i, text, error); });
    return index_named(common_count(w), which,
                       [&](int i, std::string& text, std::string& error) { return cell_text(w, i, 0, text, error); });
}

int column_named(HWND list_view, const std::string& which) {
    return index_named(column_count(list_view), which, [&](int i, std::string& text, std::string& error) {
        return column_text(list_view, i, text, error);
    });
}

bool row_point(HWND list_view, int row, POINT& p, std::string& error) {
    if (out_of_range("row", row, common_count(list_view), error)) return false;
    SendMessageW(list_view, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    RECT r;
    return rect_message(list_view, LVM_GETITEMRECT, static_cast<WPARAM>(row), LVIR_LABEL, r, error) &&
           middle_on_screen(list_view, r, p, error);
}

bool tab_point(HWND tabs, int tab, POINT& p, std::string& error) {
    if (out_of_range("tab", tab, common_count(tabs), error)) return false;
    RECT r;
    return rect_message(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(tab), 0, r, error) &&
           middle_on_screen(tabs, r, p, error);
}

bool column_point(HWND list_view, int column, POINT& p, std::string& error) {
    if (out_of_range("column", column, column_count(list_view), error)) return false;
    HWND header = header_of(list_view);
    RECT r;
    return rect_message(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), 0, r, error) &&
           middle_on_screen(header, r, p, error);
}

bool thumb_point(HWND slider, POINT& p, std::string& error) {
    RemoteBlock block(slider, error);
    if (!block.ok()) return false;
    RECT r = {};
    SendMessageW(slider, TBM_GETTHUMBRECT, 0, block.address());
    if (!block.read(0, &r, sizeof r) || IsRectEmpty(&r)) {
        error = where_of(slider) + " answers no thumb";
        return false;
    }
    return middle_on_screen(slider, r, p, error);
}
