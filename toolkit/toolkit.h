// The dialog toolkit over the Win32 dialog manager.
//
// Dialogs are built from in-memory templates (create_dialog), get their
// controls one by one (add_control), and run modally in a polling loop of the
// toolkit's own (run_dialog_modal) or modelessly (show_dialog_modeless). Every
// WM_COMMAND goes to a ControlCallback stored in the platform's own per-window
// data: a control's or the dialog's GWLP_USERDATA slot, a menu item's item data.
// The toolkit keeps no tables: a control is found again by (dialog, id) on every
// call, a dialog's shortcut table (the caller's) through a window property.
// Positions and sizes are in dialog units. Failures show as a 0 result or
// an empty string; the operations that push a text read from a window also
// record error 7 in the caller's frame when that text could not be allocated,
// and the pickers error 5 when they could not show a picker or give its path.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "runtime/strings.h"
#include "toolkit/control_kinds.h"
#include "toolkit/shortcut_keys.h"
#include "toolkit/units.h"

// (dialog, message, wParam, lParam) -> 0 when not handled, else the value the
// dialog procedure returns. For a control or menu item, dialog is still the
// dialog that received the WM_COMMAND. Controls and menu items share one id
// space: a command whose id names any control of the dialog, a label too, goes
// to that control's callback, never to a menu item's.
using ControlCallback = std::int32_t (*)(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// ---- Dialogs ------------------------------------------------------------------

// Makes a hidden dialog. Takes the title from the caller's top entry (up to
// its first zero byte; past ASCII read in the program's code page) and pops
// it. Style 0 selects the default (caption, modal
// frame); x or y of -1 centres it. The dialog's font becomes the font later
// controls get. 0 on failure.
HWND create_dialog(ProcFrame& f, HWND parent, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                   std::uint32_t style, std::uint32_t exstyle);

// The dialog procedure of every toolkit dialog: answers activation itself,
// routes WM_COMMAND to the control's (or menu item's) callback, offers every
// message to the dialog's callback, and ends the dialog with 0 on SC_CLOSE.
INT_PTR CALLBACK dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// Installs the dialog's callback (after handing it a WM_INITDIALOG of its
// own) and the end-value variable, disables the owner (holding it when it was
// enabled until then, see close_dialog), shows the dialog and
// runs the message loop until the dialog window is gone. The end value given
// to close_dialog is then in *end_value (when not null). The callback's
// WM_INITDIALOG comes while the dialog is hidden and neither the callback nor
// end_value is installed: close_dialog there delivers no end value. The loop
// polls, with Sleep(1) whenever the queue is empty, and reads messages in
// their W form, so typed characters reach controls whole whatever the code
// page. It gives every message to IsDialogMessageW of the toolkit dialog whose top-level window it is for (the
// modal dialog for any other window), so modeless dialogs answer Tab, Enter,
// Escape, the arrows and access keys while it runs.
void run_dialog_modal(HWND dialog, ControlCallback callback, std::int32_t* end_value);
// The same set-up without the owner and without a loop.
void show_dialog_modeless(HWND dialog, ControlCallback callback, std::int32_t* end_value);
// Sends WM_CLOSE, enables the owner when the dialog holds it (a modal dialog
// that found it enabled and disabled it), stores the end value, destroys the
// dialog. A modeless dialog, or a modal one run while its owner was disabled
// already, leaves the owner as it is.
void close_dialog(HWND dialog, std::int32_t end_value);
// Sets the dialog's title from the top entry (up to its first zero byte) and
// pops it.
void set_dialog_title(ProcFrame& f, HWND dialog);
// ShowWindow(window, command); the result is also stored in *result when given.
BOOL show_window_state(HWND window, std::int32_t command, BOOL* result);

// ---- Timers ---------------------------------------------------------------------

// Calls callback(dialog, WM_TIMER, 0, tick count) every milliseconds (the
// platform's minimum of 10 when less), from the thread's message loop, until
// stop_dialog_timer or the dialog's end. The callback names the timer: starting
// it again restarts it with the new period, and a dialog runs as many timers as
// it has callbacks for them. 0 for the null callback or no window.
BOOL start_dialog_timer(HWND dialog, ControlCallback callback, std::uint32_t milliseconds);
// Stops the timer of that callback; 0 when it was not running.
BOOL stop_dialog_timer(HWND dialog, ControlCallback callback);

// ---- Work off the dialog's thread --------------------------------------------------
// The threading rule: a program's dialogs, the toolkit's operations and the
// runtime's strings belong to the thread that created the dialogs. A work
// procedure runs on a thread of its own and may call report_work_progress
// and work_cancelled, nothing else of the toolkit or the runtime; what it
// needs it reads from its context, which stays the caller's until the job ends.

struct WorkJob;
// Runs on the worker thread; what it gives is the job's result.
using WorkProcedure = std::int32_t (*)(WorkJob* job, void* context);
// The notification codes of a job (the high word of the WM_COMMAND wParam).
constexpr WORD kWorkProgress = 1;
constexpr WORD kWorkDone = 2;

// Runs work(job, context) on a worker thread. The job is a hidden control of
// the dialog with the id: on the dialog's thread, callback(dialog, WM_COMMAND,
// MAKEWPARAM(id, kWorkProgress), value) hands on progress (the latest value
// reported; reports made faster than the dialog takes them are merged), and
// callback(dialog, WM_COMMAND, MAKEWPARAM(id, kWorkDone), result) the end,
// once, when the id is free again. A dialog destroyed while its job runs
// cancels it, and its callback hears no more. 0 when the dialog is no window
// of the calling thread (another process's, or called from a work
// procedure), the id names a control already, work is null, or no thread
// could be started.
BOOL start_work(HWND dialog, std::int32_t id, WorkProcedure work, void* context, ControlCallback callback);
// Asks the job with the id to stop: work_cancelled gives true from then on,
// and the job still ends with kWorkDone. 0 when no job has the id.
BOOL cancel_work(HWND dialog, std::int32_t id);
// For the work procedure, on its thread.
void report_work_progress(WorkJob* job, std::int32_t value);
bool work_cancelled(const WorkJob* job);

// ---- Keyboard shortcuts ----------------------------------------------------------

// One row of a dialog's shortcut table: a key combination (shortcut_keys.h),
// the command id it stands for, and the callback that runs it, if any.
struct DialogShortcut {
    std::uint32_t keys;        // 0 ends the table
    std::uint16_t id;          // the command's id, as a menu item's
    ControlCallback callback;  // null: the control or menu item with the id
};

// Gives the dialog a table of shortcuts, ended by a row whose keys are 0;
// null takes the dialog's table away. The table stays the caller's (keep it
// static): the dialog keeps only its address, in a window property. A pressed
// combination of the table runs as a menu item does: callback(dialog,
// WM_COMMAND, MAKEWPARAM(id, 1), 0) and, when that gives 0, the dialog's
// callback; a row without a callback sends the dialog that WM_COMMAND, which
// reaches the control or menu item with the id. A menu item with the id that
// is grayed or disabled takes its shortcut with it. Keys are translated while
// IsDialogMessageW (or A) handles them, as run_dialog_modal's loop does for
// modal and modeless dialogs. Gives 0 when the window is no toolkit dialog.
BOOL set_dialog_shortcuts(HWND dialog, const DialogShortcut* shortcuts);
// Pushes the text of a key combination as a menu item shows it after a tab,
// "Ctrl+F" for kShortcutCtrl | 'F' (empty for a key without a name); records
// error 7 when it could not be allocated.
void push_shortcut_text(ProcFrame& f, std::uint32_t keys);

// ---- Message boxes --------------------------------------------------------------

// message_box (runtime/message_box.h) with an owner: the box belongs to the
// owner's top-level window, which is disabled while the box is open and
// enabled again afterwards (an owner that was disabled before stays so). Takes
// the text (next entry) and the caption (top entry; empty gives "Kestrowane")
// and pops both. Only the low 16 bits of style reach the platform. Gives the
// id of the button pressed, or 0 when no box could be shown.
std::int32_t owned_message_box(ProcFrame& f, HWND owner, std::uint32_t style);

// ---- Controls -------------------------------------------------------------------

// Initial items of a combo box or list box: consecutive DynString handles. The
// list is used only when flags has bit 2 (kArrayHasItems) set.
struct ArrayDescriptor {
    const DynString* data;
    std::uint32_t flags;
    std::uint32_t count;
};
constexpr std::uint32_t kArrayHasItems = 4;

// Creates a control of the given kind on the dialog. Takes the text (top
// entry; for image kinds the resource name) and the class name (next entry;
// used by kind 0 only) and pops both. Gives the control's window or 0. The
// control gets the font of the dialog created last, or the parent's own font
// once that dialog is gone.
// style 0 selects the kind's default; a nonzero style replaces the default
// rather than adding to it: only the kind's forced bits are set and its
// forbidden bits cleared (the kind table is in docs/reference.md).
// Kinds 16 to 21 are the platform's common controls, whose library the first
// of them loads (load_common_controls). add_control makes kinds 10 to 13
// through add_image_control instead, which loads their image; made here they
// get their style and no image.
HWND add_control_of_kind(ProcFrame& f, HWND parent, std::int32_t id, const ArrayDescriptor* items, std::int32_t x,
                         std::int32_t y, std::int32_t width, std::int32_t height, std::uint32_t style,
                         std::uint32_t exstyle, ControlCallback callback, std::uint32_t kind);
// Loads the common controls' library, which then stays loaded: their classes
// exist from then on. add_control calls it for kinds above 15.
void load_common_controls();

// add_control's road for the image kinds (10 to 13): the control owns the
// bitmap it shows, which is deleted with the control, and telling a bitmap
// from an icon loads nothing. Takes the text (the image's name) and the class
// name, and pops both.
HWND add_image_control(ProcFrame& f, HWND parent, std::int32_t id, std::int32_t x, std::int32_t y, std::int32_t width,
                       std::int32_t height, std::uint32_t style, std::uint32_t exstyle, ControlCallback callback,
                       std::uint32_t kind);

// Inline, so that a program that names only kinds 0 to 9 and 14 to 15 links
// neither the library loader nor the image controls' road, and keeps its
// four system libraries.
[[gnu::always_inline]] inline HWND add_control(ProcFrame& f, HWND parent, std::int32_t id, const ArrayDescriptor* items,
                                               std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                                               std::uint32_t style, std::uint32_t exstyle, ControlCallback callback,
                                               std::uint32_t kind) {
    if (kind > kLastClassicKind) load_common_controls();
    if (kind - kImage <= kStretchedImageButton - kImage)
        return add_image_control(f, parent, id, x, y, width, height, style, exstyle, callback, kind);
    return add_control_of_kind(f, parent, id, items, x, y, width, height, style, exstyle, callback, kind);
}

// Image modes: bit 0 fits the image to the control, bit 1 addresses a button.
constexpr std::uint32_t kImageModeFit = 1;
constexpr std::uint32_t kImageModeButton = 2;
// Loads a bitmap of that name (an icon when there is none) and hands it to
// the control; width and height 0 keep the image's own size. The bitmap is
// the control's: the one it replaces is deleted, and the control deletes its
// own when it is destroyed.
void load_control_image(HWND control, const char* name, std::int32_t width, std::int32_t height, std::uint32_t mode);

// ---- Control operations (the control is GetDlgItem(dialog, id) every time) ------
// Give no control the id -1: enable_control and the geometry operations take
// it to mean the dialog itself.

// Pushes the control's text (at most 32,769 bytes); the empty string and
// error 7 when it could not be allocated.
void read_control_text(ProcFrame& f, HWND dialog, std::int32_t id);
// Sets the control's text from the top entry and pops it.
void write_control_text(ProcFrame& f, HWND dialog, std::int32_t id);
void set_control_callback(HWND dialog, std::int32_t id, ControlCallback callback);
// id -1 enables or disables the dialog itself. A control disabled while it
// has the focus first hands it to the next control that takes it, as Tab
// would, or to the dialog itself when none does, so the keyboard still
// reaches the dialog.
void enable_control(HWND dialog, std::int32_t id, std::int32_t enable);
void focus_control(HWND dialog, std::int32_t id);
void kill_control(HWND dialog, std::int32_t id);
// 0 clear, 1 set, 2 indeterminate.
std::int32_t get_control_check(HWND dialog, std::int32_t id);
void set_control_check(HWND dialog, std::int32_t id, std::int32_t state);

// Combo and list boxes; item indexes are 1-based (0 reaches the platform as -1).
// The *_get_selected operations push the selected item's text: empty when
// nothing is selected, empty with error 7 when it could not be allocated.
// A list box made with LBS_MULTIPLESEL or LBS_EXTENDEDSEL lets the user
// select several items: there the selected item is the first selected one
// from the top, and list_select_item selects the item alone (it deselects
// every other, as list_view_select_row with add 0 does), gives it the caret
// and scrolls it into view; index 0 deselects every item.
void combo_add_item(ProcFrame& f, HWND dialog, std::int32_t id);
void combo_delete_item(HWND dialog, std::int32_t id, std::int32_t index);
void combo_get_selected(ProcFrame& f, HWND dialog, std::int32_t id);
void combo_reset(HWND dialog, std::int32_t id);
void combo_select_item(HWND dialog, std::int32_t id, std::int32_t index);
void list_add_item(ProcFrame& f, HWND dialog, std::int32_t id);
void list_delete_item(HWND dialog, std::int32_t id, std::int32_t index);
void list_get_selected(ProcFrame& f, HWND dialog, std::int32_t id);
void list_reset(HWND dialog, std::int32_t id);
void list_select_item(HWND dialog, std::int32_t id, std::int32_t index);
// Push the text of the item at the index (from 1): empty when there is no
// such item, empty with error 7 when it could not be allocated.
void combo_get_item_text(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t index);
void list_get_item_text(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t index);
// The selected item's index; 0 when nothing is selected or the id names no
// combo box (list box): a control of another kind counts as none, here and
// in the insert and replace operations below.
std::int32_t combo_get_selected_index(HWND dialog, std::int32_t id);
std::int32_t list_get_selected_index(HWND dialog, std::int32_t id);
// How many items of a list box are selected (at most 1 unless it selects
// several), and the n-th of them from the top (n from 1); 0 when fewer are
// selected or the id names no list box.
std::int32_t list_selected_count(HWND dialog, std::int32_t id);
std::int32_t list_nth_selected(HWND dialog, std::int32_t id, std::int32_t n);
// Adds the item to a list box's selection, gives it the caret and scrolls it
// into view; in a box that selects one item it is list_select_item. Index 0
// deselects every item. 0 (FALSE), and nothing changed, when there is no such
// item or the id names no list box.
BOOL list_select_item_add(HWND dialog, std::int32_t id, std::int32_t index);
// Inserts the item on the top entry at the index and pops it: index 1 puts it
// first, n before the n-th item, 0 after the last. A sorted box does not sort
// it. Gives the new item's index, or 0 when nothing was inserted.
std::int32_t combo_insert_item(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t index);
std::int32_t list_insert_item(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t index);
// Gives the item at the index the text on the top entry and pops it; the item
// keeps its place, and its selection when it was the selected one. Gives the
// index, or 0 when there is no such item (index 0 too).
std::int32_t combo_replace_item(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t index);
std::int32_t list_replace_item(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t index);

// Puts the image named by the top entry on the control (image modes above) and
// pops the name. A control that shows no image of that kind (a text box, a
// static addressed as a button, a button without BS_BITMAP) keeps what it
// had, and the image loaded for it is deleted again.
void set_control_image(ProcFrame& f, HWND dialog, std::int32_t id, std::uint32_t mode);
// Cursor ids of the pointer shapes 0 to 13 (0: no cursor; 1 and 4: the arrow).
extern const std::uint16_t PointerShapeTable[14];
// Sets one of the platform's shared cursors by PointerShapeTable index; an
// index above 13 (negative ones too) clears the cursor, like 0.
void set_mouse_pointer(std::int32_t index);

// ---- List views (kind 16, in report view) -----------------------------------------
// Rows and columns count from 1. Cell texts are strings in the program's code
// page. A row or column that does not exist, and an id that names no list
// view (no control, a control of another kind or of another process), change
// nothing: the result is 0 (FALSE) or the empty string.

// Column alignments.
constexpr std::uint32_t kAlignLeft = 0;
constexpr std::uint32_t kAlignRight = 1;
constexpr std::uint32_t kAlignCentre = 2;

// Adds a column after the last with the header text on the top entry and
// pops it; width in dialog units (kept within 0 to 32,767), alignment one of
// the above (any other value: left). The first column also turns on
// full-row selection. Gives the column's number, or 0.
std::int32_t list_view_add_column(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t width,
                                  std::uint32_t alignment);
std::int32_t list_view_column_count(HWND dialog, std::int32_t id);
// Inserts a row whose first cell is the top entry, and pops it: row 1 puts it
// first, n before the n-th row, 0 or the count + 1 after the last. Gives the
// new row's number, or 0 when nothing was inserted (a row beyond count + 1).
std::int32_t list_view_insert_row(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t row);
// Sets the cell's text from the top entry and pops it; 0 when there is no
// such cell.
BOOL list_view_set_cell(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t row, std::int32_t column);
// Pushes the cell's text: empty when there is no such cell, empty with
// error 7 when it could not be allocated.
void list_view_get_cell(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t row, std::int32_t column);
BOOL list_view_delete_row(HWND dialog, std::int32_t id, std::int32_t row);
void list_view_clear(HWND dialog, std::int32_t id);
std::int32_t list_view_row_count(HWND dialog, std::int32_t id);
// The selected row (the first of them); 0 when none is.
std::int32_t list_view_selected_row(HWND dialog, std::int32_t id);
// How many rows are selected (a list view made without LVS_SINGLESEL lets
// the user select several), and the n-th of them from the top (n from 1; 0
// when fewer are selected).
std::int32_t list_view_selected_count(HWND dialog, std::int32_t id);
std::int32_t list_view_nth_selected(HWND dialog, std::int32_t id, std::int32_t n);
// Selects the row, gives it the focus and scrolls it into view; add 0
// deselects every other row first. Row 0 deselects every row. 0 when there
// is no such row.
BOOL list_view_select_row(HWND dialog, std::int32_t id, std::int32_t row, std::int32_t add);
// Orders the rows by the column's texts as the user's language orders words,
// case ignored; descending nonzero reverses it. Rows of equal text keep their
// order. 0 when there is no such column or memory ran out.
BOOL list_view_sort(HWND dialog, std::int32_t id, std::int32_t column, std::int32_t descending);

// What a list view's WM_NOTIFY says, read in its callback: the notification
// code (LVN_ITEMACTIVATE for a double click or Enter on a row,
// LVN_COLUMNCLICK for a click on a column's header, ...), and the row and
// column it is about, from 1 (0: none). LVN_ITEMACTIVATE gives the activated
// (focused) row and no column; LVN_COLUMNCLICK the column and no row;
// LVN_ITEMCHANGING, LVN_ITEMCHANGED, LVN_INSERTITEM, LVN_DELETEITEM,
// LVN_BEGINDRAG and LVN_BEGINRDRAG the row and column they carry. Any other
// code gives row and column 0, any other message all 0.
struct ListViewEvent {
    std::uint32_t code;
    std::int32_t row;
    std::int32_t column;
};
ListViewEvent list_view_event(UINT message, LPARAM lparam);

// ---- Progress bars (kind 17) ------------------------------------------------------------
// An id that names no progress bar of the program (no control, a control of
// another kind, which could read the bar's messages as its own, or of another
// process) changes nothing and gives 0.

// The range, 32 bits wide; 0 and no change when low is not below high.
BOOL progress_set_range(HWND dialog, std::int32_t id, std::int32_t low, std::int32_t high);
// Moves the bar; gives the position it now has (the platform keeps it within
// the range).
std::int32_t progress_set_position(HWND dialog, std::int32_t id, std::int32_t position);
std::int32_t progress_get_position(HWND dialog, std::int32_t id);
// The amount progress_step adds (10 at first; negative steps go back).
void progress_set_step(HWND dialog, std::int32_t id, std::int32_t step);
// Advances the bar by its step; gives the new position. Past the end of the
// range the platform starts again from its beginning.
std::int32_t progress_step(HWND dialog, std::int32_t id);
// on nonzero: the bar shows a marquee, a block moving every milliseconds
// (0: the platform's pace), for work of unknown length; 0 stops it and
// shows the position again.
BOOL progress_marquee(HWND dialog, std::int32_t id, std::int32_t on, std::int32_t milliseconds);

// ---- Tabs with pages, sliders, up-downs, status bars, tooltips (kinds 18 to 21) -----
// Each operation names the control by (dialog, id) and gives 0 (or pushes the
// empty string) when that is no control of its kind in the program's own
// process; indexes count from 1.
// Texts go to and come from the controls in UTF-16, so they keep any script.

// Appends a tab with the text on the top entry and pops it. Gives the new
// tab's index, or 0 when none was added.
std::int32_t tabs_add(ProcFrame& f, HWND dialog, std::int32_t id);
std::int32_t tabs_get_count(HWND dialog, std::int32_t id);
// Pushes the tab's text (at most 1,023 UTF-16 units): empty when there is
// no such tab, empty with error 7 when it could not be allocated.
void tabs_get_text(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t index);
// The selected tab's index; 0 when none is selected.
std::int32_t tabs_get_selected(HWND dialog, std::int32_t id);
// Selects the tab and shows its page; 0 (and nothing changes) for an index
// that names no tab.
BOOL tabs_select(HWND dialog, std::int32_t id, std::int32_t index);
// Puts the control with control_id on a page of the tab control: it is shown
// while the tab with that index is selected and hidden otherwise, however
// the tab gets selected (a click, the keys, Ctrl+Tab, tabs_select). Page 0
// takes it off its page and shows it. 0 for a missing control, the tab
// control itself or a negative page. A tab control that is destroyed takes
// its pages' controls off their pages, each left shown or hidden.
BOOL tabs_set_page(HWND dialog, std::int32_t tabs_id, std::int32_t control_id, std::int32_t page);

// Sliders (kind 19) and up-downs (kind 20). A range with minimum above
// maximum is refused (0), and so is a slider's range of the whole 32 bits
// (INT32_MIN to INT32_MAX), which the platform's slider cannot hold. A position outside the range is pulled into it
// by the control. The get operations give 0 for no such control too.
BOOL slider_set_range(HWND dialog, std::int32_t id, std::int32_t minimum, std::int32_t maximum);
std::int32_t slider_get_position(HWND dialog, std::int32_t id);
BOOL slider_set_position(HWND dialog, std::int32_t id, std::int32_t position);
BOOL updown_set_range(HWND dialog, std::int32_t id, std::int32_t minimum, std::int32_t maximum);
std::int32_t updown_get_position(HWND dialog, std::int32_t id);
BOOL updown_set_position(HWND dialog, std::int32_t id, std::int32_t position);

// Status bars (kind 21). Gives the bar count parts (1 to 256) of the widths
// in dialog units, from the left; a last width of -1 stretches to the right
// edge. 0 for any other negative width, widths that add up to more than
// 32,767 or a count out of range, and the parts stay as they were.
BOOL status_set_parts(HWND dialog, std::int32_t id, const std::int32_t* widths, std::int32_t count);
std::int32_t status_get_part_count(HWND dialog, std::int32_t id);
// Sets the part's text from the top entry (its first 65,535 UTF-16 units,
// no character split) and pops it; 0 for no such part.
BOOL status_set_text(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t part);
// Pushes the part's text: empty when there is no such part, empty with
// error 7 when it could not be allocated.
void status_get_text(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t part);

// Gives the control a tooltip with the text on the top entry (its first
// 1,023 UTF-16 units, no character split) and pops it; the empty text takes
// the tooltip away.
// The dialog's one tooltip window, made by its first tip, goes with the
// dialog; the tips of controls that are gone go when a tip is next added.
// 0 for no such control or a window that is no toolkit dialog.
BOOL set_control_tooltip(ProcFrame& f, HWND dialog, std::int32_t id);
// Pushes the control's tooltip text; empty when it has none.
void get_control_tooltip(ProcFrame& f, HWND dialog, std::int32_t id);
// The dialog's tooltip window; null before its first tip.
HWND get_dialog_tooltips(HWND dialog);

// ---- File and folder pickers ------------------------------------------------------
// Each shows the platform's picker, owned by owner's top-level window (which it
// disables while it is open; one disabled before stays disabled afterwards),
// and pushes the chosen path in the program's code page, whatever its length.
// A path with letters that code page lacks comes as its short form (8.3
// names), or, when it has none that the code page holds (a file not made
// yet), as a failure: never with look-alike letters, which could name another
// file. Cancelled: the empty string, 0, and no error. A picker that could not
// be shown or give its path: the empty string and error 5 (7 when memory ran
// out). Filters read "Text files|*.txt|All files|*.*" (empty: every file).
// A folder to open in that names no folder of the file system (empty too)
// leaves the picker where the platform opens it.

constexpr std::uint32_t kPickMany = 1;  // the open picker takes several files
// Takes the filters (next entry) and the folder to open in (top entry; empty
// leaves it to the platform). Pushes the chosen file or, with kPickMany, the
// chosen files joined by line feeds (0A, which no path holds); gives how many.
std::int32_t pick_open_file(ProcFrame& f, HWND owner, std::uint32_t flags);
// Takes the filters, the default extension ("txt": added to a name typed
// without one) and the proposed file (top entry: a name, or a path whose
// folder the picker opens in). Asks before a file that exists is overwritten.
// Pushes the chosen path; gives 1, or 0 when none was chosen.
std::int32_t pick_save_file(ProcFrame& f, HWND owner);
// Takes the folder to open in (top entry). Pushes the chosen folder; gives 1,
// or 0 when none was chosen.
std::int32_t pick_folder(ProcFrame& f, HWND owner);

// ---- Geometry (dialog units; id -1 names the dialog itself) ------------------------

struct UnitPair {
    std::int32_t horizontal;
    std::int32_t vertical;
};

// Sizes are outer sizes (a dialog's frame and caption included; its client
// area is get_client_size). A location is read as the place of a control in
// its dialog's client area, of a dialog without owner on the screen, and of
// an owned dialog in its owner's client area (in the owner's units);
// set_window_location places a dialog on the screen, owned or not, so an
// owned dialog set to the location just read moves.

// id -1: the dialog; any other id: GetDlgItem(dialog, id).
HWND find_target_window(HWND dialog, std::int32_t id);
UnitPair dialog_units_to_pixels(HWND dialog, std::int32_t x, std::int32_t y);
UnitPair pixels_to_dialog_units(HWND dialog, std::int32_t x, std::int32_t y);
UnitPair get_client_size(HWND dialog);
UnitPair get_window_size(HWND dialog, std::int32_t id);
UnitPair get_window_location(HWND dialog, std::int32_t id);
BOOL set_window_size(HWND dialog, std::int32_t id, std::int32_t width, std::int32_t height);
BOOL set_window_location(HWND dialog, std::int32_t id, std::int32_t x, std::int32_t y);

// ---- Layout: resizing, anchors, and the client area under a menu bar -----------------
// (toolkit/layout_win32.cpp: a program that calls none of these links none of it.)

// The edges of its dialog a control keeps its distance to when the dialog is
// resized. Left and right: the control stretches with the width; right
// alone: it moves with the right edge; left alone: it stays; neither: its
// centre moves with the dialog's centre. Likewise top and bottom.
constexpr std::uint32_t kAnchorLeft = 1;
constexpr std::uint32_t kAnchorTop = 2;
constexpr std::uint32_t kAnchorRight = 4;
constexpr std::uint32_t kAnchorBottom = 8;

// Lets the user resize the dialog: a sizing frame, a size grip in the
// client area's bottom-right corner, and the client size it has now as the
// least it can be made. From then on every change of its size, the user's or
// set_window_size's, moves its controls by their anchors. Call it once the
// controls are added and the menu bar attached. 0 when the window is no
// toolkit dialog; 1 again for a dialog made resizable already.
BOOL make_dialog_resizable(HWND dialog);
// Gives the control (never the dialog, id -1) the anchors, a combination of
// kAnchor* values; a control without anchors given has left and top (a
// status bar without them places itself along its edge at each resize). Its
// place and the dialog's client size now are what every later place is
// measured from: a control moved by the program afterwards is given its
// anchors again to keep its new place. 0 when there is no such control or
// anchors holds another bit.
BOOL set_control_anchors(HWND dialog, std::int32_t id, std::uint32_t anchors);
// attach_menu, with the window grown by the height the menu bar takes from
// its client area, so the client area keeps its size (with menu null, the
// window shrinks by the bar it loses). 0 when there is no such window or the
// platform refuses the menu.
BOOL attach_menu_keeping_client(HWND window, HMENU menu);

// ---- Menus ---------------------------------------------------------------------------

constexpr std::uint32_t MENU_FLAG_SUBMENU = 1;     // the id argument is a popup menu
constexpr std::uint32_t MENU_FLAG_BY_COMMAND = 2;  // the item number is a command id

// A menu bar (popup 0) or a popup menu.
HMENU create_menu(std::int32_t popup);
// Adds an item with the text on the top entry ("-" alone makes a separator)
// and pops it. Positions count from 1; 0 appends. An item whose id equals the
// id of any control on the dialog never reaches its callback.
BOOL add_menu_item(ProcFrame& f, HMENU menu, std::uintptr_t id_or_submenu, std::uint32_t state, std::uint32_t item,
                   ControlCallback callback, std::uint32_t flags);
// Attaches the menu bar; the window keeps its size, so the bar takes its
// height from the client area (attach_menu_keeping_client keeps the client
// area instead). 0 when there is no such window (a closed dialog's handle
// too) or the platform refuses the menu.
BOOL attach_menu(HWND window, HMENU menu);
// Positions from here on count from 0.
BOOL delete_menu_item(HMENU menu, std::uint32_t item, std::uint32_t flags);
BOOL draw_menu_bar(HWND window);
std::uint32_t get_menu_item_state(HMENU menu, std::uint32_t item, std::uint32_t flags);
BOOL set_menu_item_state(HMENU menu, std::uint32_t item, std::uint32_t state, std::uint32_t flags);
// Pushes the item's text (empty when there is no such item); the empty string
// and error 7 when it could not be allocated.
void get_menu_item_text(ProcFrame& f, HMENU menu, std::uint32_t item, std::uint32_t flags);
// Sets the item's text from the top entry and pops it.
BOOL set_menu_item_text(ProcFrame& f, HMENU menu, std::uint32_t item, std::uint32_t flags);
