// The list view (kind 16) and the progress bar (kind 17) on the real
// platform: cells in every script the program's code page holds, rows and columns out of range, sorting,
// selection, notifications made by the control from mouse and key messages,
// and the progress bar's range, step and marquee.
#include <windows.h>

#include <climits>
#include <string>
#include <vector>

#include "tests/common/code_page_texts.h"
#include "tests/common/dialog_testing.h"

// After windows.h.
#include <commctrl.h>

namespace {

constexpr std::int32_t kView = 40;
constexpr std::int32_t kMissing = 4242;

class ListView : public DialogTest {
protected:
    // A list view with the columns, each 30 units wide and left aligned.
    HWND make_view(std::initializer_list<const char*> columns, std::uint32_t style = 0, ControlCallback cb = nullptr) {
        HWND view = add(kListView, kView, "", style, 90, 40, cb);
        for (const char* c : columns)
            taking(c, [&](ProcFrame& f) { return list_view_add_column(f, dialog_, kView, 30, kAlignLeft); });
        return view;
    }
    std::int32_t insert(std::int32_t row, const std::string& text) {
        return taking(text, [&](ProcFrame& f) { return list_view_insert_row(f, dialog_, kView, row); });
    }
    BOOL set(std::int32_t row, std::int32_t column, const std::string& text) {
        return taking(text, [&](ProcFrame& f) { return list_view_set_cell(f, dialog_, kView, row, column); });
    }
    std::string cell(std::int32_t row, std::int32_t column, std::int32_t id = kView) {
        return pushed([&](ProcFrame& f) { list_view_get_cell(f, dialog_, id, row, column); });
    }
    // The cell's text as the control holds it, read in UTF-16.
    std::wstring wide_cell(std::int32_t row, std::int32_t column) {
        std::wstring text(4096, L'\0');
        LVITEMW item = {};
        item.iSubItem = column - 1;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        text.resize(
            static_cast<std::size_t>(SendMessageW(GetDlgItem(dialog_, kView), LVM_GETITEMTEXTW,
                                                  static_cast<WPARAM>(row - 1), reinterpret_cast<LPARAM>(&item))));
        return text;
    }
    // Appends rows whose cells are the texts of each line.
    void fill(const std::vector<std::vector<std::string>>& rows) {
        for (const auto& r : rows) {
            std::int32_t at = insert(0, r[0]);
            for (std::size_t c = 1; c < r.size(); ++c) set(at, static_cast<std::int32_t>(c) + 1, r[c]);
        }
    }
    std::vector<std::string> column_texts(std::int32_t column) {
        std::vector<std::string> out;
        for (std::int32_t r = 1; r <= list_view_row_count(dialog_, kView); ++r) out.push_back(cell(r, column));
        return out;
    }
};

#ifdef KW_TEST_ANSI_CODE_PAGE
// The program is built as CODE_PAGE ANSI programs are, without
// activeCodePage: its code page is the system's, the one its texts are for.
TEST(CodePage, IsTheSystemsAnsiCodePage) {
    EXPECT_EQ(GetACP(), 1252u) << "not UTF-8, and the code page of the ANSI texts (tests/common/code_page_texts.h)";
}
#endif

// UTF-8 carries any script; code page 1252 its own letters, "€" (0x80),
// "œ" (0x9C) and "Ÿ" (0x9F) among them, where ISO 8859-1 has controls.
const TextInCodePages kCellTexts[] = {
    {{"Zoë", L"Zoë"}, {"Zo\xEB", L"Zoë"}},
    {{"李雷", L"李雷"}, {"caf\xE9", L"café"}},
    {{"Ελένη", L"Ελένη"}, {"\xC5se \xD8rsted", L"Åse Ørsted"}},
    {{"crème brûlée", L"crème brûlée"},
     {"cr\xE8me br\xFBl\xE9"
      "e",
      L"crème brûlée"}},
    {{"ǅemal 𝄞", L"ǅemal 𝄞"}, {"\x80 \x9C\x9F", L"€ œŸ"}},
    {{"", L""}, {"", L""}},
};

TEST_F(ListView, CellsKeepEveryScript) {
    make_view({"Name", "Note"});
    for (const TextInCodePages& t : kCellTexts) {
        std::int32_t row = insert(0, t.here().bytes);
        EXPECT_TRUE(set(row, 2, std::string(t.here().bytes) + "!")) << t.here().bytes;
    }
    for (std::int32_t i = 0; i < 6; ++i) {
        const CodedText& t = kCellTexts[i].here();
        EXPECT_EQ(cell(i + 1, 1), t.bytes);
        EXPECT_EQ(cell(i + 1, 2), std::string(t.bytes) + "!");
        EXPECT_EQ(last_error_, 0);
        EXPECT_EQ(wide_cell(i + 1, 1), t.wide) << "the control holds the text's own characters";
        EXPECT_EQ(wide_cell(i + 1, 2), std::wstring(t.wide) + L"!");
    }
    std::string longer(3000, 'x');
    longer += bytes_here("ü", "\xFC");
    EXPECT_TRUE(set(1, 2, longer));
    EXPECT_EQ(cell(1, 2), longer) << "a text longer than the first read's room";
    EXPECT_EQ(wide_cell(1, 2), std::wstring(3000, L'x') + L"ü");
}

#ifdef KW_TEST_ANSI_CODE_PAGE
// A text the control holds with characters code page 1252 lacks (put there in
// UTF-16, as the program's own W calls would) comes back with each replaced:
// by a look-alike where the code page has one, else by "?" for each UTF-16
// unit; its other characters come back as they are. A list box, which the
// toolkit reads with the A messages, gives the same.
TEST_F(ListView, CharactersOutsideTheCodePageComeBackReplaced) {
    HWND view = make_view({"A"});
    HWND box = add(kListBox, kView + 1, "", 0, 90, 40);
    insert(0, "x");
    const struct {
        const wchar_t* held;
        const char* read;
    } cases[] = {
        {L"Ωmega ā 😀 李 \x20AC end", "Omega a ?? ? \x80 end"},
        {L"Zoë", "Zo\xEB"},
    };
    for (const auto& c : cases) {
        LVITEMW item = {};
        item.pszText = const_cast<wchar_t*>(c.held);
        SendMessageW(view, LVM_SETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(cell(1, 1), c.read);
        EXPECT_EQ(last_error_, 0);
        SendMessageW(box, LB_RESETCONTENT, 0, 0);
        SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c.held));
        EXPECT_EQ(pushed([&](ProcFrame& f) { list_get_item_text(f, dialog_, kView + 1, 1); }), c.read);
    }
}
#endif

TEST_F(ListView, RowsGoWhereTheirIndexSays) {
    make_view({"A"});
    struct Step {
        std::int32_t at;
        const char* text;
        std::int32_t gives;
    } steps[] = {{0, "b", 1},
                 {1, "a", 1},
                 {3, "d", 3},
                 {3, "c", 3},
                 {0, "e", 5},
                 {7, "never", 0},
                 {-1, "never", 0},
                 {INT32_MAX, "never", 0},
                 {INT32_MIN, "never", 0}};
    for (const Step& s : steps) EXPECT_EQ(insert(s.at, s.text), s.gives) << s.text << " at " << s.at;
    EXPECT_EQ(column_texts(1), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    EXPECT_TRUE(list_view_delete_row(dialog_, kView, 2));
    for (std::int32_t bad : {0, 5, -1, INT32_MAX}) EXPECT_FALSE(list_view_delete_row(dialog_, kView, bad)) << bad;
    EXPECT_EQ(column_texts(1), (std::vector<std::string>{"a", "c", "d", "e"}));
    list_view_clear(dialog_, kView);
    EXPECT_EQ(list_view_row_count(dialog_, kView), 0);
}

// Calls that name list views in turn, by the same id in two dialogs and by
// two ids in one, and a list view made again under the id of one killed:
// each call reaches the control its dialog and id name at that moment.
TEST_F(ListView, EachCallReachesTheControlItsDialogAndIdNameNow) {
    make_view({"A"});
    add(kListView, kView + 1);
    HWND first = dialog_;
    ProcFrame f;
    push_copy(f, "Other", 5);
    HWND other = create_dialog(f, nullptr, 10, 10, 100, 50, 0, 0);
    ASSERT_NE(other, nullptr);
    dialog_ = other;
    make_view({"A", "B"});
    for (std::int32_t i = 0; i < 2; ++i) {
        for (HWND d : {first, other}) {
            dialog_ = d;
            insert(0, "row");
        }
        taking("x", [&](ProcFrame& g) { return list_view_add_column(g, first, kView + 1, 30, 0); });
    }
    EXPECT_EQ(list_view_row_count(first, kView), 2);
    EXPECT_EQ(list_view_row_count(other, kView), 2);
    EXPECT_EQ(list_view_column_count(first, kView), 1);
    EXPECT_EQ(list_view_column_count(first, kView + 1), 2);
    EXPECT_EQ(list_view_column_count(other, kView), 2);
    kill_control(other, kView);
    EXPECT_EQ(list_view_row_count(other, kView), 0) << "the killed list view is not reached";
    make_view({"A", "B", "C"});
    EXPECT_EQ(list_view_column_count(other, kView), 3) << "the one made again is";
    DestroyWindow(other);
    dialog_ = first;
}

TEST_F(ListView, CellsOutsideTheRowsAndColumnsChangeNothingAndReadEmpty) {
    make_view({"A", "B"});
    fill({{"a1", "b1"}, {"a2", "b2"}});
    struct Cell {
        std::int32_t row, column;
    } outside[] = {
        {0, 1}, {3, 1}, {1, 0}, {1, 3}, {-1, 1}, {1, -1}, {INT32_MAX, 1}, {1, INT32_MAX}, {INT32_MIN, INT32_MIN}};
    for (const Cell& c : outside) {
        EXPECT_FALSE(set(c.row, c.column, "x")) << c.row << "," << c.column;
        EXPECT_EQ(cell(c.row, c.column), "") << c.row << "," << c.column;
        EXPECT_EQ(last_error_, 0);
    }
    EXPECT_EQ(column_texts(1), (std::vector<std::string>{"a1", "a2"}));
    EXPECT_EQ(column_texts(2), (std::vector<std::string>{"b1", "b2"}));
}

// A control of another kind reads some of these messages otherwise: the
// slider takes PBM_GETPOS for TBM_SETRANGEMAX, the status bar PBM_SETRANGE32
// for SB_GETPARTS, whose lParam it writes to.
TEST_F(ListView, MissingListOrProgressBarOrOneOfAnotherKindGivesZeroAndEmpty) {
    constexpr std::int32_t kSliderId = 42, kStatusId = 43;
    add(kSlider, kSliderId);
    add(kStatusBar, kStatusId);
    ASSERT_TRUE(slider_set_range(dialog_, kSliderId, 0, 50));
    slider_set_position(dialog_, kSliderId, 20);
    const std::int32_t parts[] = {30, -1};
    ASSERT_TRUE(status_set_parts(dialog_, kStatusId, parts, 2));
    for (std::int32_t id : {kMissing, kSliderId, kStatusId}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(taking("x", [&](ProcFrame& f) { return list_view_add_column(f, dialog_, id, 30, 0); }), 0);
        EXPECT_EQ(taking("x", [&](ProcFrame& f) { return list_view_insert_row(f, dialog_, id, 0); }), 0);
        EXPECT_EQ(cell(1, 1, id), "");
        EXPECT_EQ(list_view_row_count(dialog_, id), 0);
        EXPECT_EQ(list_view_column_count(dialog_, id), 0);
        EXPECT_EQ(list_view_selected_row(dialog_, id), 0) << "not row 1 from the null window's 0";
        EXPECT_EQ(list_view_nth_selected(dialog_, id, 1), 0);
        EXPECT_FALSE(list_view_select_row(dialog_, id, 0, 0));
        EXPECT_FALSE(list_view_sort(dialog_, id, 1, 0));
        list_view_clear(dialog_, id);
        EXPECT_FALSE(progress_set_range(dialog_, id, 0, 10));
        EXPECT_EQ(progress_set_position(dialog_, id, 5), 0);
        EXPECT_EQ(progress_step(dialog_, id), 0);
        EXPECT_FALSE(progress_marquee(dialog_, id, 1, 0));
        progress_set_step(dialog_, id, 5);
        EXPECT_EQ(progress_get_position(dialog_, id), 0);
    }
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog_, kSliderId), TBM_GETRANGEMAX, 0, 0), 50) << "the slider keeps its range";
    EXPECT_EQ(slider_get_position(dialog_, kSliderId), 20);
    EXPECT_EQ(status_get_part_count(dialog_, kStatusId), 2) << "the status bar keeps its parts";
}

// A list view of another process, the folder example's, whose parent and id
// name it as (dialog, id) would: its messages would carry this process's
// addresses there, which it would read and write as its own.
struct ForeignView {
    DWORD process;
    HWND view;
};
BOOL CALLBACK find_foreign_view(HWND window, LPARAM state) {
    auto* s = reinterpret_cast<ForeignView*>(state);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != s->process) return TRUE;
    s->view = FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr);
    if (s->view == nullptr) EnumChildWindows(window, find_foreign_view, state);
    return s->view == nullptr;
}

TEST_F(ListView, AListViewOfAnotherProcessIsNoneOfTheProgramsOwn) {
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    WCHAR line[] = L"..\\..\\examples\\folder\\folder.exe";
    ASSERT_TRUE(CreateProcessW(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        << "cannot start the folder example: error " << GetLastError();
    ForeignView found = {pi.dwProcessId, nullptr};
    bool seen = pump_until([&] {
        EnumWindows(find_foreign_view, reinterpret_cast<LPARAM>(&found));
        HWND header = found.view != nullptr ? ListView_GetHeader(found.view) : nullptr;
        return header != nullptr && Header_GetItemCount(header) > 0;
    });
    if (seen) {
        HWND parent = GetParent(found.view);
        std::int32_t id = GetDlgCtrlID(found.view);
        LRESULT rows = SendMessageW(found.view, LVM_GETITEMCOUNT, 0, 0);
        EXPECT_EQ(list_view_row_count(parent, id), 0);
        EXPECT_EQ(list_view_column_count(parent, id), 0);
        EXPECT_EQ(taking("x", [&](ProcFrame& f) { return list_view_insert_row(f, parent, id, 0); }), 0);
        EXPECT_FALSE(list_view_sort(parent, id, 1, 0));
        EXPECT_EQ(SendMessageW(found.view, LVM_GETITEMCOUNT, 0, 0), rows) << "its rows are as they were";
    }
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeProcess(pi.hProcess, &code) && code == STILL_ACTIVE) << "the folder example still runs";
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    ASSERT_TRUE(seen) << "a list view with columns in the folder example within 10 s";
}

TEST_F(ListView, ReadingACellUnderMemoryFailureGivesEmptyAndRecordsSeven) {
    make_view({"A"});
    insert(0, "Ελένη");
    fail_allocation(1);
    EXPECT_EQ(cell(1, 1), "");
    EXPECT_EQ(last_error_, 0x8007);
    fail_allocation(0);
}

TEST_F(ListView, ColumnsTakeWidthInDialogUnitsAlignmentAndFullRowSelection) {
    HWND view = make_view({});
    EXPECT_EQ(static_cast<DWORD>(SendMessageW(view, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)) & LVS_EX_FULLROWSELECT, 0u);
    struct Column {
        std::int32_t width;
        std::uint32_t alignment;
        std::int32_t units;  // the width it gets
        int fmt;
    } columns[] = {{40, kAlignLeft, 40, LVCFMT_LEFT},
                   {25, kAlignRight, 25, LVCFMT_RIGHT},
                   {30, kAlignCentre, 30, LVCFMT_CENTER},
                   {-5, 7, 0, LVCFMT_LEFT},
                   {INT32_MAX, kAlignRight, 0x7FFF, LVCFMT_RIGHT}};
    const TextInCodePages heading_texts = {{"Κεφαλίδα", L"Κεφαλίδα"}, {"Ent\xEAte", L"Entête"}};
    const CodedText& heading = heading_texts.here();
    std::int32_t number = 0;
    for (const Column& c : columns) {
        SCOPED_TRACE(c.width);
        EXPECT_EQ(taking(heading.bytes,
                         [&](ProcFrame& f) { return list_view_add_column(f, dialog_, kView, c.width, c.alignment); }),
                  ++number);
        RECT r = {0, 0, c.units, 0};
        MapDialogRect(dialog_, &r);
        EXPECT_EQ(SendMessageW(view, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(number - 1), 0), r.right);
        LVCOLUMNW got = {};
        WCHAR text[32] = {};
        got.mask = LVCF_FMT | LVCF_TEXT;
        got.pszText = text;
        got.cchTextMax = 32;
        SendMessageW(view, LVM_GETCOLUMNW, static_cast<WPARAM>(number - 1), reinterpret_cast<LPARAM>(&got));
        EXPECT_STREQ(text, heading.wide);
        // The platform keeps the first column left aligned.
        if (number > 1) {
            EXPECT_EQ(got.fmt & LVCFMT_JUSTIFYMASK, c.fmt);
        }
    }
    EXPECT_EQ(list_view_column_count(dialog_, kView), 5);
    EXPECT_NE(static_cast<DWORD>(SendMessageW(view, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)) & LVS_EX_FULLROWSELECT, 0u);
}

struct SortCase {
    const char* name;
    std::int32_t column, descending;
    std::vector<std::string> first_column;
};

TEST_F(ListView, SortOrdersLettersAsAPersonDoesAndMovesWholeRows) {
    make_view({"Word", "Tag"});
    // Bytes would put "Zebra" before "apfel", the accented words last, and
    // "10" before "2".
    const std::string apfel = bytes_here("äpfel", "\xE4pfel"),
                      uber = bytes_here("Über",
                                        "\xDC"
                                        "ber"),
                      last = bytes_here("Ωμέγα", "zu\xDF");  // after "Zebra"
    const std::vector<std::vector<std::string>> rows = {{"Zebra", "3"},  {apfel, "2"}, {uber, "10"},   {"apfel", "1"},
                                                        {"banane", "4"}, {last, "6"},  {"APFEL", "1b"}};
    const SortCase cases[] = {
        {"ascending", 1, 0, {"apfel", "APFEL", apfel, "banane", uber, "Zebra", last}},
        {"descending", 1, 1, {last, "Zebra", uber, "banane", apfel, "apfel", "APFEL"}},
        {"by the second column, numbers as numbers", 2, 0, {"apfel", "APFEL", apfel, "Zebra", "banane", last, uber}},
    };
    for (const SortCase& c : cases) {
        SCOPED_TRACE(c.name);
        list_view_clear(dialog_, kView);
        fill(rows);
        EXPECT_TRUE(list_view_sort(dialog_, kView, c.column, c.descending));
        EXPECT_EQ(column_texts(1), c.first_column);
        for (std::int32_t r = 1; r <= 7; ++r)
            for (const auto& row : rows)
                if (row[0] == cell(r, 1)) {
                    EXPECT_EQ(cell(r, 2), row[1]) << "row " << r << " moved whole";
                }
    }
    for (std::int32_t bad : {0, 3, -1, INT32_MIN}) EXPECT_FALSE(list_view_sort(dialog_, kView, bad, 0)) << bad;
}

TEST_F(ListView, SelectionOfOneOrManyRows) {
    struct Case {
        const char* name;
        std::uint32_t style;
        std::int32_t count_after_adding;  // rows 2 and 4 selected with add
    } cases[] = {{"single", 0, 1}, {"multiple", 0x5081000D & ~LVS_SINGLESEL, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        make_view({"A"}, c.style);
        fill({{"1"}, {"2"}, {"3"}, {"4"}, {"5"}});
        EXPECT_EQ(list_view_selected_row(dialog_, kView), 0);
        EXPECT_TRUE(list_view_select_row(dialog_, kView, 2, 0));
        EXPECT_TRUE(list_view_select_row(dialog_, kView, 4, 1));
        EXPECT_EQ(list_view_selected_count(dialog_, kView), c.count_after_adding);
        EXPECT_EQ(list_view_nth_selected(dialog_, kView, c.count_after_adding), 4);
        EXPECT_EQ(list_view_nth_selected(dialog_, kView, c.count_after_adding + 1), 0);
        EXPECT_EQ(list_view_selected_row(dialog_, kView), c.count_after_adding == 2 ? 2 : 4);
        for (std::int32_t bad : {6, -1, INT32_MAX, INT32_MIN}) {
            EXPECT_FALSE(list_view_select_row(dialog_, kView, bad, 0)) << bad;
            EXPECT_EQ(list_view_selected_count(dialog_, kView), c.count_after_adding) << "unchanged by " << bad;
        }
        EXPECT_EQ(list_view_nth_selected(dialog_, kView, 0), 0);
        EXPECT_EQ(list_view_nth_selected(dialog_, kView, INT32_MIN), 0);
        EXPECT_TRUE(list_view_select_row(dialog_, kView, 3, 0));
        EXPECT_EQ(list_view_selected_count(dialog_, kView), 1);
        EXPECT_EQ(list_view_selected_row(dialog_, kView), 3);
        EXPECT_TRUE(list_view_select_row(dialog_, kView, 0, 0));
        EXPECT_EQ(list_view_selected_count(dialog_, kView), 0);
        kill_control(dialog_, kView);
    }
}

TEST_F(ListView, SelectingARowScrollsItIntoView) {
    HWND view = make_view({"A"});
    for (int i = 0; i < 60; ++i) insert(0, std::to_string(i));
    EXPECT_EQ(SendMessageW(view, LVM_GETTOPINDEX, 0, 0), 0);
    list_view_select_row(dialog_, kView, 50, 0);
    LRESULT top = SendMessageW(view, LVM_GETTOPINDEX, 0, 0);
    LRESULT page = SendMessageW(view, LVM_GETCOUNTPERPAGE, 0, 0);
    EXPECT_LE(top, 49);
    EXPECT_GT(top + page, 49) << "top " << top << ", page " << page;
}

// What the view's callback heard.
std::vector<ListViewEvent> heard;
std::int32_t hear(HWND, UINT message, WPARAM, LPARAM lparam) {
    ListViewEvent e = list_view_event(message, lparam);
    if (e.code == LVN_ITEMACTIVATE || e.code == LVN_COLUMNCLICK) heard.push_back(e);
    return 0;
}

LPARAM point(LONG x, LONG y) { return MAKELPARAM(x, y); }

TEST_F(ListView, ActivationAndHeaderClicksReachTheCallbackWithRowAndColumn) {
    HWND view = make_view({"A", "B", "C"}, 0, hear);
    fill({{"1", "x"}, {"2", "y"}, {"3", "z"}});
    ShowWindow(dialog_, SW_SHOWNOACTIVATE);
    heard.clear();
    // A double click on the second row's second cell.
    HWND header = reinterpret_cast<HWND>(SendMessageW(view, LVM_GETHEADER, 0, 0));
    RECT row = {LVIR_BOUNDS, 0, 0, 0};
    RECT column = {};
    SendMessageW(view, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    SendMessageW(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&column));
    LPARAM at = point((column.left + column.right) / 2, (row.top + row.bottom) / 2);
    SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(view, WM_LBUTTONUP, 0, at);
    SendMessageW(view, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(view, WM_LBUTTONUP, 0, at);
    // Enter on the focused row, the third.
    list_view_select_row(dialog_, kView, 3, 0);
    SendMessageW(view, WM_KEYDOWN, VK_RETURN, 0);
    // A click on the third column's header.
    SendMessageW(header, HDM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&column));
    at = point((column.left + column.right) / 2, (column.top + column.bottom) / 2);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(header, WM_LBUTTONUP, 0, at);
    pump_messages();
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_EQ(heard[0].code, static_cast<std::uint32_t>(LVN_ITEMACTIVATE));
    EXPECT_EQ(heard[0].row, 2);
    EXPECT_EQ(heard[1].code, static_cast<std::uint32_t>(LVN_ITEMACTIVATE));
    EXPECT_EQ(heard[1].row, 3);
    EXPECT_EQ(heard[1].column, 0) << "activation names no column";
    EXPECT_EQ(heard[2].code, static_cast<std::uint32_t>(LVN_COLUMNCLICK));
    EXPECT_EQ(heard[2].row, 0) << "a header click names no row";
    EXPECT_EQ(heard[2].column, 3);
}

TEST_F(ListView, EventOfAnythingElseSaysNothing) {
    NMHDR click = {nullptr, kView, static_cast<UINT>(NM_CLICK)};
    struct Case {
        UINT message;
        LPARAM lparam;
        std::uint32_t code;
    } cases[] = {{WM_COMMAND, reinterpret_cast<LPARAM>(&click), 0},
                 {WM_NOTIFY, 0, 0},
                 {WM_NOTIFY, reinterpret_cast<LPARAM>(&click), static_cast<std::uint32_t>(NM_CLICK)}};
    for (const Case& c : cases) {
        ListViewEvent e = list_view_event(c.message, c.lparam);
        EXPECT_EQ(e.code, c.code);
        EXPECT_EQ(e.row, 0);
        EXPECT_EQ(e.column, 0);
    }
}

// ---- Progress bar --------------------------------------------------------------

constexpr std::int32_t kBar = 41;

TEST_F(ListView, ProgressRangePositionAndStep) {
    add(kProgressBar, kBar, "", 0, 90, 10);
    struct Step {
        const char* what;
        std::int32_t low, high;  // range set first when low or high is nonzero
        std::int32_t position;
        std::int32_t gives;
    } steps[] = {
        {"within", 0, 100, 40, 40},           {"above the range", 0, 0, 150, 100},
        {"below the range", 0, 0, -5, 0},     {"beyond 16 bits", -100000, 1000000, 500000, 500000},
        {"negative", 0, 0, -100000, -100000},
    };
    for (const Step& s : steps) {
        if (s.low != 0 || s.high != 0) {
            EXPECT_TRUE(progress_set_range(dialog_, kBar, s.low, s.high)) << s.what;
        }
        EXPECT_EQ(progress_set_position(dialog_, kBar, s.position), s.gives) << s.what;
        EXPECT_EQ(progress_get_position(dialog_, kBar), s.gives) << s.what;
    }
    EXPECT_FALSE(progress_set_range(dialog_, kBar, 10, 10));
    EXPECT_FALSE(progress_set_range(dialog_, kBar, 10, -10));
    PBRANGE range = {};
    SendMessageW(GetDlgItem(dialog_, kBar), PBM_GETRANGE, 0, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, -100000) << "a refused range changes nothing";
    EXPECT_EQ(range.iHigh, 1000000);

    progress_set_range(dialog_, kBar, 0, 100);
    progress_set_position(dialog_, kBar, 0);
    progress_set_step(dialog_, kBar, 30);
    std::vector<std::int32_t> seen;
    for (int i = 0; i < 4; ++i) seen.push_back(progress_step(dialog_, kBar));
    EXPECT_EQ(seen[0], 30);
    EXPECT_EQ(seen[2], 90);
    EXPECT_LT(seen[3], 90) << "past the end it starts again";
    progress_set_position(dialog_, kBar, 90);
    progress_set_step(dialog_, kBar, -40);
    EXPECT_EQ(progress_step(dialog_, kBar), 50) << "a negative step goes back";
}

TEST_F(ListView, ProgressMarqueeTurnsOnAndOff) {
    HWND bar = add(kProgressBar, kBar, "", 0, 90, 10);
    EXPECT_TRUE(progress_marquee(dialog_, kBar, 1, 30));
    EXPECT_NE(GetWindowLongW(bar, GWL_STYLE) & PBS_MARQUEE, 0);
    EXPECT_TRUE(progress_marquee(dialog_, kBar, 0, 0));
    EXPECT_EQ(GetWindowLongW(bar, GWL_STYLE) & PBS_MARQUEE, 0);
    progress_set_range(dialog_, kBar, 0, 10);
    EXPECT_EQ(progress_set_position(dialog_, kBar, 7), 7) << "a stopped marquee shows the position again";
}

}  // namespace
