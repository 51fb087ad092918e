// A tour of the toolkit: one dialog with a menu bar and a control of every
// kind, each doing something visible when used, and the operations of the
// toolkit behind them. Read it as an example to copy from: every procedure
// owns its ProcFrame, strings travel on the frame's string argument stack,
// literals live in one pool, and the global variables in KW_GLOBAL_AREA.
#include <windows.h>
// windows.h first: commctrl.h (TCN_SELCHANGE) builds on it.
#include <commctrl.h>

#include <initializer_list>

#include "runtime/message_box.h"
#include "runtime/startup.h"
#include "runtime/strings.h"
#include "toolkit/toolkit.h"
#include "tour_ids.h"

namespace {

// ---- Ids -----------------------------------------------------------------------

enum : std::int32_t {
    kModalText = 100,      // the nested modal dialog's label
    kModelessText = 100,   // the modeless dialog's label
    kModelessEndValue = 7  // what the modeless dialog's Close button ends it with
};

constexpr std::int32_t kScrollMax = 20;
constexpr std::int32_t kFruitCount = 4;
constexpr std::int32_t kPointerCount = 7;

// ---- Literals -------------------------------------------------------------------

// Every literal of the tour and its name, in pool order. The one list makes
// both the pool and the enum that indexes it, so the two cannot drift apart.
#define TOUR_LITERALS(X)                                               \
    X(kTitle, "Kestrowane tour")                                       \
    X(kButtonClass, "BUTTON")                                          \
    X(kStaticClass, "STATIC")                                          \
    /* Check boxes and options */                                      \
    X(kChoicesText, "Check boxes and options")                         \
    X(kThreeStatesText, "Three states")                                \
    X(kCheckBoxText, "Check box")                                      \
    X(kRedText, "Red")                                                 \
    X(kGreenText, "Green")                                             \
    X(kBlueText, "Blue")                                               \
    /* Lists */                                                        \
    X(kApple, "Apple")                                                 \
    X(kCherry, "Cherry")                                               \
    X(kBanana, "Banana")                                               \
    X(kDamson, "Damson")                                               \
    X(kElderberry, "Elderberry")                                       \
    X(kAddText, "Add")                                                 \
    X(kDeleteFirstText, "Delete first")                                \
    X(kSelectFirstText, "Select first")                                \
    X(kClearListsText, "Clear lists")                                  \
    X(kPointerCaptionText, "Mouse pointer:")                           \
    X(kPointerNone, "0 None")                                          \
    X(kPointerArrow, "1 Arrow")                                        \
    X(kPointerCross, "2 Cross")                                        \
    X(kPointerIBeam, "3 I-beam")                                       \
    X(kPointerSizeAll, "5 Size all")                                   \
    X(kPointerWait, "11 Wait")                                         \
    X(kPointerNo, "12 No")                                             \
    /* Images */                                                       \
    X(kSun, "SUN")                                                     \
    X(kLeaf, "LEAF")                                                   \
    X(kStar, "STAR")                                                   \
    X(kMoon, "MOON")                                                   \
    X(kImageText, "Image")                                             \
    X(kStretchedText, "Stretched")                                     \
    X(kIconButtonText, "Icon button")                                  \
    X(kStretchedButtonText, "Stretched button")                        \
    /* Geometry */                                                     \
    X(kScrollText, "Scroll bar: ")                                     \
    X(kMoverText, "I can move")                                        \
    X(kClientArea, "Client area: ")                                    \
    X(kTimes, " x ")                                                   \
    X(kUnitsEqual, " dialog units = ")                                 \
    X(kPixels, " pixels")                                              \
    X(kDialogUnits, " dialog units")                                   \
    /* Buttons */                                                      \
    X(kMoveText, "Move")                                               \
    X(kModalButtonText, "Modal...")                                    \
    X(kModelessButtonText, "Modeless...")                              \
    X(kDisableBoxText, "Disable box")                                  \
    X(kEnableBoxText, "Enable box")                                    \
    X(kFocusBoxText, "Focus box")                                      \
    X(kReadBoxText, "Read box")                                        \
    X(kOnceText, "Once")                                               \
    X(kAgainText, "Again")                                             \
    X(kRemoveText, "Remove label")                                     \
    X(kRemovableText, "This label can be removed")                     \
    X(kExitText, "Exit")                                               \
    X(kMoreButtonText, "More...")                                      \
    /* Menus */                                                        \
    X(kFileMenu, "&File")                                              \
    X(kSayHelloItem, "&Say hello")                                     \
    X(kSeparator, "-")                                                 \
    X(kExitItem, "E&xit")                                              \
    X(kOptionsMenu, "&Options")                                        \
    X(kFrameItem, "Show the image &frame")                             \
    X(kGrayItem, "&Gray Say hello")                                    \
    X(kEnableItem, "&Enable Say hello")                                \
    X(kLargerItem, "&Larger dialog")                                   \
    X(kGreetingMenu, "Gree&ting")                                      \
    X(kMorningItem, "Good &morning")                                   \
    X(kEveningItem, "Good &evening")                                   \
    X(kClearChecksItem, "&Clear the checks")                           \
    X(kMeasureItem, "&Measure 100 pixels")                             \
    X(kRemoveMeItem, "&Remove this item")                              \
    X(kAboutItem, "&About")                                            \
    /* Status texts */                                                 \
    X(kWelcome, "Welcome: try every control and menu item.")           \
    X(kColon, ": ")                                                    \
    X(kOptionIs, "Option: ")                                           \
    X(kListIs, "List: ")                                               \
    X(kComboIs, "Combo: ")                                             \
    X(kAdded, "Added ")                                                \
    X(kDeletedFirst, "Deleted the first item of both lists")           \
    X(kFirstItemIs, "First item: ")                                    \
    X(kListsEmpty, "Both lists are empty")                             \
    X(kPointerIs, "Pointer: ")                                         \
    X(kMovedTo, "Moved to ")                                           \
    X(kComma, ", ")                                                    \
    X(kModalEnded, "Modal dialog ended with ")                         \
    X(kModelessOpen, "Modeless dialog open")                           \
    X(kModelessHidden, "Modeless dialog hidden")                       \
    X(kModelessShown, "Modeless dialog shown")                         \
    X(kModelessClosed, "Modeless dialog closed with ")                 \
    X(kBoxDisabled, "Text box disabled")                               \
    X(kBoxEnabled, "Text box enabled")                                 \
    X(kBoxFocused, "The text box has the focus")                       \
    X(kBoxReads, "Text box: ")                                         \
    X(kFirstClick, "First click: the button now has another callback") \
    X(kClickedAgain, "Clicked again: the second callback")             \
    X(kLabelRemoved, "Label removed")                                  \
    X(kYouChose, "You chose ")                                         \
    X(kSayHelloGray, "Say hello is gray")                              \
    X(kSayHelloEnabled, "Say hello is enabled")                        \
    X(kFrameShown, "Image frame shown")                                \
    X(kFrameHidden, "Image frame hidden")                              \
    X(kDialogIsNow, "Dialog is now ")                                  \
    X(kChecksCleared, "Check boxes cleared")                           \
    X(kMeasured, "100 x 100 pixels = ")                                \
    X(kMenuItemRemoved, "Menu item removed")                           \
    X(kImageClicked, "You clicked the image")                          \
    X(kStretchedClicked, "You clicked the stretched image")            \
    X(kStarIsIcon, "STAR exists only as an icon")                      \
    X(kSkyShows, "The stretched image button shows ")                  \
    /* Nested dialogs */                                               \
    X(kModalTitle, "Nested modal dialog")                              \
    X(kModalLabel, "The tour is disabled until this dialog ends.")     \
    X(kOk, "OK")                                                       \
    X(kCancel, "Cancel")                                               \
    X(kModelessTitle, "Modeless dialog")                               \
    X(kModelessLabel, "The tour goes on working while this is open.")  \
    X(kClose, "Close")                                                 \
    /* More controls */                                                \
    X(kMoreTitle, "More controls")                                     \
    X(kSliderTab, "Slider")                                            \
    X(kUpDownTab, "Up-down")                                           \
    X(kListTab, "List")                                                \
    X(kNameColumn, "Name")                                             \
    X(kScriptColumn, "Script")                                         \
    X(kLatinName, "Zoë")                                               \
    X(kLatinScript, "Latin")                                           \
    X(kGreekName, "Ελένη")                                             \
    X(kGreekScript, "Greek")                                           \
    X(kChineseName, "李雷")                                            \
    X(kChineseScript, "Han")                                           \
    X(kSliderCaptionText, "Ctrl+Tab switches the pages")               \
    X(kSliderIs, "Slider: ")                                           \
    X(kUpDownIs, "Up-down: ")                                          \
    X(kTabIs, "Tab ")                                                  \
    X(kSliderTip, "Drag me, or press the arrow keys")                  \
    X(kUpDownTip, "Ελληνικά, 中文, français: any script")              \
    X(kMoreClosed, "More controls closed")                             \
    /* About */                                                        \
    X(kAboutText, "A tour of the Kestrowane toolkit: every control kind, menus, geometry and dialogs.")

// clang-format off
enum Literal {
#define TOUR_LITERAL_NAME(name, text) name,
    TOUR_LITERALS(TOUR_LITERAL_NAME)
#undef TOUR_LITERAL_NAME
    kEmpty,  // the last literal, "": it closes both lists
};
// clang-format on

#define TOUR_LITERAL_TEXT(name, text) text,
constexpr auto literals = make_literal_pool(TOUR_LITERALS(TOUR_LITERAL_TEXT) "");
#undef TOUR_LITERAL_TEXT

// ---- Global variables ------------------------------------------------------------

struct Globals {
    DynString fruits[kFruitCount];      // the lists' initial items
    DynString pointers[kPointerCount];  // the pointer picker's items
    DynString entry;                    // the text last added to the lists
    HWND tour;                          // the tour dialog
    HWND modeless;                      // the modeless dialog while it exists
    std::int32_t modeless_end;          // its end value, written by close_dialog
    HMENU menu_bar;
    HMENU file_menu;
    HMENU options_menu;
    UnitPair normal_size;      // the dialog's outer size before "Larger dialog"
    std::int32_t pointer;      // the chosen PointerShapeTable index
    std::int32_t scroll;       // the scroll bar's position
    std::int32_t moved;        // 1 while the moving label is in its second place
    std::int32_t larger;       // 1 while the dialog is enlarged
    std::int32_t box_enabled;  // 1 while the text box is enabled
    std::int32_t sky_is_moon;  // 1 while the stretched image button shows MOON
};
Globals globals;

// ---- Small helpers on the caller's string argument stack ---------------------------

// Pushes the decimal digits of n.
void push_number(ProcFrame& f, std::int32_t n) {
    char digits[12];
    std::uint32_t pos = sizeof digits;
    std::uint32_t v = n < 0 ? 0u - static_cast<std::uint32_t>(n) : static_cast<std::uint32_t>(n);
    do {
        digits[--pos] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (n < 0) digits[--pos] = '-';
    push_copy(f, digits + pos, sizeof digits - pos);
}

// The number at the start of a text ("11 Wait" gives 11).
std::int32_t leading_number(StringView text) {
    std::int32_t n = 0;
    for (std::uint32_t i = 0; i < text.count && text.bytes[i] >= '0' && text.bytes[i] <= '9'; ++i)
        n = n * 10 + (text.bytes[i] - '0');
    return n;
}

// The top entry becomes the top entry followed by a literal or a number.
void append_literal(ProcFrame& f, Literal text) {
    push_literal(f, literals[text]);
    string_concat(f);
}
void append_number(ProcFrame& f, std::int32_t n) {
    push_number(f, n);
    string_concat(f);
}

// The status line shows a literal, or the top entry (which it consumes).
void show_status(ProcFrame& f, HWND dialog) { write_control_text(f, dialog, kStatus); }
void show_status(ProcFrame& f, HWND dialog, Literal text) {
    push_literal(f, literals[text]);
    show_status(f, dialog);
}

// Adds one control of a built-in kind with a literal as its text.
HWND add(ProcFrame& f, HWND dialog, std::int32_t id, ControlKind kind, Literal text, std::int32_t x, std::int32_t y,
         std::int32_t width, std::int32_t height, ControlCallback callback = nullptr, std::uint32_t style = 0,
         const ArrayDescriptor* items = nullptr) {
    push_empty(f);  // the class name: only kind 0 reads it
    push_literal(f, literals[text]);
    return add_control(f, dialog, id, items, x, y, width, height, style, 0, callback, kind);
}

// ---- Check boxes and option buttons -------------------------------------------------

// Check box, 3-state box: "<caption>: <check state>". A 3-state box steps
// through 0, 1 and 2 by itself (BS_AUTO3STATE).
std::int32_t on_check_state(HWND dialog, UINT, WPARAM wparam, LPARAM) {
    ProcFrame f;
    std::int32_t id = LOWORD(wparam);
    read_control_text(f, dialog, id);
    append_literal(f, kColon);
    append_number(f, get_control_check(dialog, id));
    show_status(f, dialog);
    return f.result;
}

// Option buttons: the platform unchecks the others (BS_AUTORADIOBUTTON).
std::int32_t on_option(HWND dialog, UINT, WPARAM wparam, LPARAM) {
    ProcFrame f;
    push_literal(f, literals[kOptionIs]);
    read_control_text(f, dialog, LOWORD(wparam));
    string_concat(f);
    show_status(f, dialog);
    return f.result;
}

void add_choices(ProcFrame& f, HWND dialog) {
    add(f, dialog, kChoicesFrame, kGroupFrame, kChoicesText, 6, 4, 112, 84);
    add(f, dialog, kThreeStates, kThreeStateBox, kThreeStatesText, 14, 16, 96, 10, on_check_state);
    add(f, dialog, kCheck, kCheckBox, kCheckBoxText, 14, 28, 96, 10, on_check_state);
    // The first option starts a group: arrow keys move within it.
    add(f, dialog, kRed, kOptionButton, kRedText, 14, 42, 96, 10, on_option,
        WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON);
    add(f, dialog, kGreen, kOptionButton, kGreenText, 14, 54, 96, 10, on_option);
    add(f, dialog, kBlue, kOptionButton, kBlueText, 14, 66, 96, 10, on_option);
    set_control_check(dialog, kRed, BST_CHECKED);
}

// ---- List box, combo box and text box ---------------------------------------------

std::int32_t on_fruit_list(HWND dialog, UINT, WPARAM wparam, LPARAM) {
    ProcFrame f;
    if (HIWORD(wparam) != LBN_SELCHANGE) return f.result;  // LBS_NOTIFY also reports focus changes
    push_literal(f, literals[kListIs]);
    list_get_selected(f, dialog, kFruitList);
    string_concat(f);
    show_status(f, dialog);
    return f.result;
}

std::int32_t on_fruit_combo(HWND dialog, UINT, WPARAM wparam, LPARAM) {
    ProcFrame f;
    if (HIWORD(wparam) != CBN_SELCHANGE) return f.result;
    push_literal(f, literals[kComboIs]);
    combo_get_selected(f, dialog, kFruitCombo);
    string_concat(f);
    show_status(f, dialog);
    return f.result;
}

// Add: the text box's text goes into both lists (each sorts it in).
std::int32_t on_add(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    read_control_text(f, dialog, kFruitBox);
    string_assign(f, globals.entry);
    push_borrowed(f, globals.entry);
    list_add_item(f, dialog, kFruitList);
    push_borrowed(f, globals.entry);
    combo_add_item(f, dialog, kFruitCombo);
    push_literal(f, literals[kAdded]);
    push_borrowed(f, globals.entry);
    string_concat(f);
    show_status(f, dialog);
    return f.result;
}

// Item indexes count from 1 at the toolkit's interface.
std::int32_t on_delete_first(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    list_delete_item(dialog, kFruitList, 1);
    combo_delete_item(dialog, kFruitCombo, 1);
    show_status(f, dialog, kDeletedFirst);
    return f.result;
}

std::int32_t on_select_first(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    list_select_item(dialog, kFruitList, 1);
    combo_select_item(dialog, kFruitCombo, 1);
    push_literal(f, literals[kFirstItemIs]);
    list_get_selected(f, dialog, kFruitList);
    string_concat(f);
    show_status(f, dialog);
    return f.result;
}

std::int32_t on_clear_lists(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    list_reset(dialog, kFruitList);
    combo_reset(dialog, kFruitCombo);
    show_status(f, dialog, kListsEmpty);
    return f.result;
}

// The item lists are DynString arrays: fill them from literals once.
void fill_strings(ProcFrame& f, DynString* strings, Literal first, std::int32_t count) {
    for (std::int32_t i = 0; i < count; ++i) {
        push_literal(f, literals[first + i]);
        string_assign(f, strings[i]);
    }
}

void add_lists(ProcFrame& f, HWND dialog) {
    fill_strings(f, globals.fruits, kApple, kFruitCount);
    ArrayDescriptor fruits = {globals.fruits, kArrayHasItems, kFruitCount};
    add(f, dialog, kFruitList, kListBox, kEmpty, 124, 6, 68, 56, on_fruit_list, 0, &fruits);
    add(f, dialog, kFruitCombo, kComboBox, kEmpty, 124, 66, 68, 64, on_fruit_combo, 0, &fruits);
    add(f, dialog, kFruitBox, kTextBox, kElderberry, 198, 6, 66, 12);
    add(f, dialog, kAdd, kPushButton, kAddText, 198, 22, 66, 13, on_add);
    add(f, dialog, kDeleteFirst, kPushButton, kDeleteFirstText, 198, 37, 66, 13, on_delete_first);
    add(f, dialog, kSelectFirst, kPushButton, kSelectFirstText, 198, 52, 66, 13, on_select_first);
    add(f, dialog, kClearLists, kPushButton, kClearListsText, 198, 67, 66, 13, on_clear_lists);
}

// ---- Mouse pointer ---------------------------------------------------------------------

// Each item starts with its PointerShapeTable index.
std::int32_t on_pointer(HWND dialog, UINT, WPARAM wparam, LPARAM) {
    ProcFrame f;
    if (HIWORD(wparam) != LBN_SELCHANGE) return f.result;
    push_literal(f, literals[kPointerIs]);
    list_get_selected(f, dialog, kPointerList);
    globals.pointer = leading_number(view_string(string_arg(f, 0)));
    set_mouse_pointer(globals.pointer);
    string_concat(f);
    show_status(f, dialog);
    return f.result;
}

void add_pointer_picker(ProcFrame& f, HWND dialog) {
    fill_strings(f, globals.pointers, kPointerNone, kPointerCount);
    ArrayDescriptor pointers = {globals.pointers, kArrayHasItems, kPointerCount};
    add(f, dialog, kPointerCaption, kLabel, kPointerCaptionText, 270, 4, 64, 8);
    // A style of our own: no LBS_SORT, so the items keep the table's order.
    push_empty(f);
    push_empty(f);
    add_control(f, dialog, kPointerList, &pointers, 270, 14, 64, 66, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP,
                WS_EX_CLIENTEDGE, on_pointer, kListBox);
    list_select_item(dialog, kPointerList, 2);  // "1 Arrow"
    globals.pointer = 1;
}

// ---- Images -------------------------------------------------------------------------

std::int32_t on_sun_image(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    show_status(f, dialog, kImageClicked);
    return f.result;
}

std::int32_t on_leaf_image(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    show_status(f, dialog, kStretchedClicked);
    return f.result;
}

std::int32_t on_star_button(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    show_status(f, dialog, kStarIsIcon);
    return f.result;
}

// Swaps the button's picture between SUN and MOON, fitted to the button.
std::int32_t on_sky_button(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    globals.sky_is_moon = !globals.sky_is_moon;
    Literal name = globals.sky_is_moon ? kMoon : kSun;
    push_literal(f, literals[name]);
    set_control_image(f, dialog, kSkyButton, kImageModeButton | kImageModeFit);
    push_literal(f, literals[kSkyShows]);
    append_literal(f, name);
    show_status(f, dialog);
    return f.result;
}

void add_images(ProcFrame& f, HWND dialog) {
    add(f, dialog, kImageFrame, kEtchedFrame, kEmpty, 6, 92, 200, 52);
    // SS_NOTIFY makes the statics report clicks.
    add(f, dialog, kSunImage, kImage, kSun, 14, 100, 20, 20, on_sun_image,
        WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_NOTIFY);
    add(f, dialog, kLeafImage, kStretchedImage, kLeaf, 40, 100, 40, 30, on_leaf_image,
        WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_NOTIFY);
    add(f, dialog, kStarButton, kImageButton, kStar, 88, 100, 40, 30, on_star_button);  // icon only: BS_ICON
    add(f, dialog, kSkyButton, kStretchedImageButton, kSun, 136, 100, 62, 30, on_sky_button);
    add(f, dialog, kImageCaption, kLabel, kImageText, 12, 133, 26, 8);
    add(f, dialog, kImageCaption + 1, kLabel, kStretchedText, 40, 133, 44, 8);
    add(f, dialog, kImageCaption + 2, kLabel, kIconButtonText, 88, 133, 44, 8);
    add(f, dialog, kImageCaption + 3, kLabel, kStretchedButtonText, 136, 133, 64, 8);
}

// ---- Scroll bar and geometry -----------------------------------------------------------

// The toolkit has no scroll-bar operations: the range and position are the
// platform's own. The bar reports to the dialog with WM_HSCROLL, which reaches
// the dialog's callback.
std::int32_t scrolled_position(WPARAM wparam) {
    switch (LOWORD(wparam)) {
        case SB_LINELEFT:
            return globals.scroll - 1;
        case SB_LINERIGHT:
            return globals.scroll + 1;
        case SB_PAGELEFT:
            return globals.scroll - 5;
        case SB_PAGERIGHT:
            return globals.scroll + 5;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            return HIWORD(wparam);
        default:
            return globals.scroll;
    }
}

void show_scroll_position(ProcFrame& f, HWND dialog) {
    push_literal(f, literals[kScrollText]);
    append_number(f, globals.scroll);
    write_control_text(f, dialog, kScrollCaption);
}

void on_scroll(ProcFrame& f, HWND dialog, WPARAM wparam) {
    std::int32_t pos = scrolled_position(wparam);
    globals.scroll = pos < 0 ? 0 : pos > kScrollMax ? kScrollMax : pos;
    SetScrollPos(find_target_window(dialog, kScroller), SB_CTL, globals.scroll, TRUE);
    show_scroll_position(f, dialog);
}

// "Client area: W x H dialog units = PW x PH pixels".
void show_client_size(ProcFrame& f, HWND dialog) {
    UnitPair units = get_client_size(dialog);
    UnitPair pixels = dialog_units_to_pixels(dialog, units.horizontal, units.vertical);
    push_literal(f, literals[kClientArea]);
    append_number(f, units.horizontal);
    append_literal(f, kTimes);
    append_number(f, units.vertical);
    append_literal(f, kUnitsEqual);
    append_number(f, pixels.horizontal);
    append_literal(f, kTimes);
    append_number(f, pixels.vertical);
    append_literal(f, kPixels);
    write_control_text(f, dialog, kSizeCaption);
}

// Move: the label of our own style goes back and forth and changes its size.
std::int32_t on_move(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    globals.moved = !globals.moved;
    if (globals.moved) {
        set_window_location(dialog, kMover, 272, 134);
        set_window_size(dialog, kMover, 62, 14);
    } else {
        set_window_location(dialog, kMover, 214, 136);
        set_window_size(dialog, kMover, 56, 12);
    }
    UnitPair at = get_window_location(dialog, kMover);
    push_literal(f, literals[kMovedTo]);
    append_number(f, at.horizontal);
    append_literal(f, kComma);
    append_number(f, at.vertical);
    show_status(f, dialog);
    return f.result;
}

void add_geometry(ProcFrame& f, HWND dialog) {
    add(f, dialog, kScroller, kScrollBar, kEmpty, 214, 94, 120, 10);  // wider than high: horizontal
    add(f, dialog, kScrollCaption, kLabel, kScrollText, 214, 107, 120, 8);
    add(f, dialog, kSizeCaption, kLabel, kEmpty, 214, 117, 120, 16);
    // Kind 0: a class we name and a style we give, taken exactly as they are.
    push_literal(f, literals[kStaticClass]);
    push_literal(f, literals[kMoverText]);
    add_control(f, dialog, kMover, nullptr, 214, 136, 56, 12,
                WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN, 0, nullptr, kCustom);
}

// ---- Nested dialogs --------------------------------------------------------------------

std::int32_t on_modal_ok(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    close_dialog(dialog, 1);
    return f.result;
}

std::int32_t on_modal_cancel(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    close_dialog(dialog, 2);
    return f.result;
}

// A modal dialog owned by the tour: run_dialog_modal disables the tour and
// runs a loop of its own, nested inside the tour's loop.
std::int32_t on_modal(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    std::int32_t result = 0;
    push_literal(f, literals[kModalTitle]);
    HWND inner = create_dialog(f, dialog, -1, -1, 170, 50, 0, 0);
    add(f, inner, kModalText, kLabel, kModalLabel, 8, 8, 154, 10);
    add(f, inner, IDOK, kPushButton, kOk, 34, 28, 46, 14, on_modal_ok, BS_DEFPUSHBUTTON);
    add(f, inner, IDCANCEL, kPushButton, kCancel, 90, 28, 46, 14, on_modal_cancel);
    run_dialog_modal(inner, nullptr, &result);
    push_literal(f, literals[kModalEnded]);
    append_number(f, result);
    show_status(f, dialog);
    return f.result;
}

// "More controls": a tab control whose pages hold a slider, an up-down with
// its buddy and a list view, a progress bar that follows the slider, a status
// bar of two parts that reports them, and tooltips. The toolkit shows each tab's page itself, for a click, the keys
// and Ctrl+Tab alike; the callbacks only report.
void report_in_part(ProcFrame& f, HWND dialog, Literal text, std::int32_t n, std::int32_t part) {
    push_literal(f, literals[text]);
    append_number(f, n);
    status_set_text(f, dialog, kMoreStatus, part);
}

std::int32_t on_more_slider(HWND dialog, UINT message, WPARAM, LPARAM) {
    ProcFrame f;
    if (message != WM_HSCROLL) return f.result;
    std::int32_t position = slider_get_position(dialog, kMoreSlider);
    report_in_part(f, dialog, kSliderIs, position, 1);
    progress_set_position(dialog, kMoreProgress, position * 10);
    return f.result;
}

std::int32_t on_more_updown(HWND dialog, UINT message, WPARAM, LPARAM) {
    ProcFrame f;
    if (message == WM_VSCROLL) report_in_part(f, dialog, kUpDownIs, updown_get_position(dialog, kMoreUpDown), 1);
    return f.result;
}

std::int32_t on_more_tabs(HWND dialog, UINT message, WPARAM, LPARAM lparam) {
    ProcFrame f;
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lparam)->code == TCN_SELCHANGE)
        report_in_part(f, dialog, kTabIs, tabs_get_selected(dialog, kMoreTabs), 2);
    return f.result;
}

std::int32_t on_more_close(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    close_dialog(dialog, 1);
    return f.result;
}

void add_tooltip(ProcFrame& f, HWND dialog, std::int32_t id, Literal text) {
    push_literal(f, literals[text]);
    set_control_tooltip(f, dialog, id);
}

std::int32_t on_more(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    std::int32_t result = 0;
    push_literal(f, literals[kMoreTitle]);
    HWND more = create_dialog(f, dialog, -1, -1, 200, 112, 0, 0);
    add(f, more, kMoreTabs, kTabs, kEmpty, 6, 4, 188, 70, on_more_tabs);
    for (Literal tab : {kSliderTab, kUpDownTab, kListTab}) {
        push_literal(f, literals[tab]);
        tabs_add(f, more, kMoreTabs);
    }
    add(f, more, kMoreSlider, kSlider, kEmpty, 14, 24, 120, 16, on_more_slider);
    add(f, more, kMoreSliderCaption, kLabel, kSliderCaptionText, 14, 46, 170, 8);
    add(f, more, kMoreBox, kTextBox, kEmpty, 14, 24, 40, 12);
    add(f, more, kMoreUpDown, kUpDown, kEmpty, 54, 24, 10, 12, on_more_updown);  // its buddy: the box before it
    for (std::int32_t id : {kMoreSlider, kMoreSliderCaption}) tabs_set_page(more, kMoreTabs, id, 1);
    for (std::int32_t id : {kMoreBox, kMoreUpDown}) tabs_set_page(more, kMoreTabs, id, 2);
    // A list view of names in three scripts, sorted by name when its header
    // is clicked (the list's own road is the list view's, section 14).
    add(f, more, kMoreList, kListView, kEmpty, 14, 24, 170, 44);
    for (Literal column : {kNameColumn, kScriptColumn}) {
        push_literal(f, literals[column]);
        list_view_add_column(f, more, kMoreList, 80, kAlignLeft);
    }
    const Literal rows[][2] = {{kLatinName, kLatinScript}, {kGreekName, kGreekScript}, {kChineseName, kChineseScript}};
    for (const auto& row : rows) {
        push_literal(f, literals[row[0]]);
        std::int32_t n = list_view_insert_row(f, more, kMoreList, 0);
        push_literal(f, literals[row[1]]);
        list_view_set_cell(f, more, kMoreList, n, 2);
    }
    tabs_set_page(more, kMoreTabs, kMoreList, 3);
    add(f, more, kMoreProgress, kProgressBar, kEmpty, 6, 80, 130, 10);
    slider_set_range(more, kMoreSlider, 0, 10);
    updown_set_range(more, kMoreUpDown, 0, 99);
    updown_set_position(more, kMoreUpDown, 0);
    add(f, more, kMoreClose, kPushButton, kClose, 144, 78, 50, 14, on_more_close);
    add(f, more, kMoreStatus, kStatusBar, kEmpty, 0, 0, 0, 0);
    static const std::int32_t parts[] = {100, -1};
    status_set_parts(more, kMoreStatus, parts, 2);
    add_tooltip(f, more, kMoreSlider, kSliderTip);
    add_tooltip(f, more, kMoreUpDown, kUpDownTip);
    run_dialog_modal(more, nullptr, &result);
    show_status(f, dialog, kMoreClosed);
    return f.result;
}

std::int32_t on_modeless_close(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    close_dialog(dialog, kModelessEndValue);
    return f.result;
}

// The modeless dialog's own callback: by WM_DESTROY the end value has arrived.
std::int32_t on_modeless_event(HWND, UINT message, WPARAM, LPARAM) {
    ProcFrame f;
    if (message != WM_DESTROY) return f.result;
    globals.modeless = nullptr;
    push_literal(f, literals[kModelessClosed]);
    append_number(f, globals.modeless_end);
    show_status(f, globals.tour);
    return f.result;
}

// The first click opens a modeless dialog; later clicks hide and show it.
std::int32_t on_modeless(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    if (globals.modeless == nullptr) {
        push_literal(f, literals[kModelessTitle]);
        HWND m = create_dialog(f, dialog, 8, 8, 150, 46, 0, 0);
        add(f, m, kModelessText, kLabel, kModelessLabel, 8, 8, 134, 10);
        add(f, m, IDCANCEL, kPushButton, kClose, 52, 26, 46, 14, on_modeless_close);
        globals.modeless = m;
        globals.modeless_end = 0;
        show_dialog_modeless(m, on_modeless_event, &globals.modeless_end);
        show_status(f, dialog, kModelessOpen);
        return f.result;
    }
    BOOL was_visible = FALSE;
    show_window_state(globals.modeless, SW_HIDE, &was_visible);
    if (!was_visible) show_window_state(globals.modeless, SW_SHOW, nullptr);
    show_status(f, dialog, was_visible ? kModelessHidden : kModelessShown);
    return f.result;
}

// ---- Text box: enable, focus, read -------------------------------------------------

std::int32_t on_enable_box(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    globals.box_enabled = !globals.box_enabled;
    enable_control(dialog, kFruitBox, globals.box_enabled);
    push_literal(f, literals[globals.box_enabled ? kDisableBoxText : kEnableBoxText]);
    write_control_text(f, dialog, kEnableBox);
    show_status(f, dialog, globals.box_enabled ? kBoxEnabled : kBoxDisabled);
    return f.result;
}

std::int32_t on_focus_box(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    focus_control(dialog, kFruitBox);
    show_status(f, dialog, kBoxFocused);
    return f.result;
}

std::int32_t on_read_box(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    push_literal(f, literals[kBoxReads]);
    read_control_text(f, dialog, kFruitBox);
    string_concat(f);
    show_status(f, dialog);
    return f.result;
}

// ---- Callbacks replaced and controls removed at run time ------------------------------

std::int32_t on_again(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    show_status(f, dialog, kClickedAgain);
    return f.result;
}

// The first click hands the button a new callback and a new text.
std::int32_t on_once(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    set_control_callback(dialog, kOnce, on_again);
    push_literal(f, literals[kAgainText]);
    write_control_text(f, dialog, kOnce);
    show_status(f, dialog, kFirstClick);
    return f.result;
}

std::int32_t on_remove(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    kill_control(dialog, kRemovable);
    enable_control(dialog, kRemove, 0);  // nothing left to remove
    focus_control(dialog, kExit);        // the disabled button cannot keep the focus
    show_status(f, dialog, kLabelRemoved);
    return f.result;
}

std::int32_t on_exit(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    close_dialog(dialog, 0);
    return f.result;
}

void add_buttons(ProcFrame& f, HWND dialog) {
    add(f, dialog, kMove, kPushButton, kMoveText, 6, 150, 52, 14, on_move);
    add(f, dialog, kModal, kPushButton, kModalButtonText, 61, 150, 52, 14, on_modal);
    add(f, dialog, kModeless, kPushButton, kModelessButtonText, 116, 150, 52, 14, on_modeless);
    add(f, dialog, kEnableBox, kPushButton, kDisableBoxText, 171, 150, 52, 14, on_enable_box);
    add(f, dialog, kFocusBox, kPushButton, kFocusBoxText, 226, 150, 52, 14, on_focus_box);
    add(f, dialog, kReadBox, kPushButton, kReadBoxText, 281, 150, 52, 14, on_read_box);
    add(f, dialog, kOnce, kPushButton, kOnceText, 6, 167, 52, 14, on_once);
    add(f, dialog, kRemove, kPushButton, kRemoveText, 61, 167, 52, 14, on_remove);
    add(f, dialog, kRemovable, kLabel, kRemovableText, 118, 170, 110, 8);
    add(f, dialog, kMore, kPushButton, kMoreButtonText, 230, 167, 48, 14, on_more);
    add(f, dialog, kExit, kPushButton, kExitText, 281, 167, 52, 14, on_exit);
    add(f, dialog, kStatus, kLabel, kWelcome, 6, 186, 328, 10, nullptr, WS_CHILD | WS_VISIBLE | SS_SUNKEN);
    globals.box_enabled = 1;
}

// ---- Menus ---------------------------------------------------------------------------

// "You chose <item text>": the item is found by its command id, in whichever
// popup below the bar it lives.
std::int32_t on_menu_text(HWND dialog, UINT, WPARAM wparam, LPARAM) {
    ProcFrame f;
    push_literal(f, literals[kYouChose]);
    get_menu_item_text(f, globals.menu_bar, LOWORD(wparam), MENU_FLAG_BY_COMMAND);
    string_concat(f);
    show_status(f, dialog);
    return f.result;
}

// Flips state bits of an item and gives whether they are now set.
bool toggle_menu_state(HMENU menu, std::uint32_t id, std::uint32_t bits) {
    std::uint32_t state = get_menu_item_state(menu, id, MENU_FLAG_BY_COMMAND) ^ bits;
    set_menu_item_state(menu, id, state, MENU_FLAG_BY_COMMAND);
    return (state & bits) != 0;
}

// The check mark follows the frame's visibility.
std::int32_t on_menu_frame(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    bool shown = toggle_menu_state(globals.options_menu, kMenuFrame, MFS_CHECKED);
    show_window_state(find_target_window(dialog, kImageFrame), shown ? SW_SHOW : SW_HIDE, nullptr);
    show_status(f, dialog, shown ? kFrameShown : kFrameHidden);
    return f.result;
}

// Grays or enables File > Say hello, and renames itself to match.
std::int32_t on_menu_gray(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    bool gray = toggle_menu_state(globals.file_menu, kMenuSayHello, MFS_GRAYED);
    push_literal(f, literals[gray ? kEnableItem : kGrayItem]);
    set_menu_item_text(f, globals.options_menu, kMenuGray, MENU_FLAG_BY_COMMAND);
    show_status(f, dialog, gray ? kSayHelloGray : kSayHelloEnabled);
    return f.result;
}

// The dialog itself is id -1 for the geometry operations.
std::int32_t on_menu_larger(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    globals.larger = toggle_menu_state(globals.options_menu, kMenuLarger, MFS_CHECKED);
    std::int32_t grow = globals.larger ? 40 : 0;
    set_window_size(dialog, -1, globals.normal_size.horizontal + grow, globals.normal_size.vertical + grow);
    show_client_size(f, dialog);
    UnitPair outer = get_window_size(dialog, -1);
    push_literal(f, literals[kDialogIsNow]);
    append_number(f, outer.horizontal);
    append_literal(f, kTimes);
    append_number(f, outer.vertical);
    show_status(f, dialog);
    return f.result;
}

std::int32_t on_menu_clear_checks(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    for (std::int32_t id = kThreeStates; id <= kBlue; ++id) set_control_check(dialog, id, BST_UNCHECKED);
    show_status(f, dialog, kChecksCleared);
    return f.result;
}

std::int32_t on_menu_measure(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    UnitPair units = pixels_to_dialog_units(dialog, 100, 100);
    push_literal(f, literals[kMeasured]);
    append_number(f, units.horizontal);
    append_literal(f, kTimes);
    append_number(f, units.vertical);
    append_literal(f, kDialogUnits);
    show_status(f, dialog);
    return f.result;
}

// An item that deletes itself; the bar is redrawn after its items change.
std::int32_t on_menu_remove_me(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    delete_menu_item(globals.options_menu, kMenuRemoveMe, MENU_FLAG_BY_COMMAND);
    draw_menu_bar(dialog);
    show_status(f, dialog, kMenuItemRemoved);
    return f.result;
}

std::int32_t on_menu_about(HWND, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    push_literal(f, literals[kAboutText]);
    push_empty(f);  // the default caption
    message_box(f, MB_ICONINFORMATION);
    return f.result;
}

// Appends an item (position 0 is the end of the menu); "-" makes a separator.
void append_item(ProcFrame& f, HMENU menu, Literal text, std::uintptr_t id, ControlCallback callback,
                 std::uint32_t state = 0) {
    push_literal(f, literals[text]);
    add_menu_item(f, menu, id, state, 0, callback, 0);
}

// Appends an item that opens a popup menu.
void append_popup(ProcFrame& f, HMENU menu, Literal text, HMENU popup) {
    push_literal(f, literals[text]);
    add_menu_item(f, menu, reinterpret_cast<std::uintptr_t>(popup), 0, 0, nullptr, MENU_FLAG_SUBMENU);
}

void build_menus(ProcFrame& f, HWND dialog) {
    globals.menu_bar = create_menu(0);
    globals.file_menu = create_menu(1);
    globals.options_menu = create_menu(1);
    HMENU greeting = create_menu(1);

    append_item(f, globals.file_menu, kSayHelloItem, kMenuSayHello, on_menu_text);
    append_item(f, globals.file_menu, kSeparator, 0, nullptr);
    append_item(f, globals.file_menu, kExitItem, kMenuExit, on_exit);

    append_item(f, greeting, kMorningItem, kMenuMorning, on_menu_text);
    append_item(f, greeting, kEveningItem, kMenuEvening, on_menu_text);

    append_item(f, globals.options_menu, kFrameItem, kMenuFrame, on_menu_frame, MFS_CHECKED);
    append_item(f, globals.options_menu, kGrayItem, kMenuGray, on_menu_gray);
    append_item(f, globals.options_menu, kLargerItem, kMenuLarger, on_menu_larger);
    append_item(f, globals.options_menu, kSeparator, 0, nullptr);
    append_popup(f, globals.options_menu, kGreetingMenu, greeting);
    append_item(f, globals.options_menu, kClearChecksItem, kMenuClearChecks, on_menu_clear_checks);
    append_item(f, globals.options_menu, kMeasureItem, kMenuMeasure, on_menu_measure);
    append_item(f, globals.options_menu, kRemoveMeItem, kMenuRemoveMe, on_menu_remove_me);

    append_popup(f, globals.menu_bar, kFileMenu, globals.file_menu);
    append_popup(f, globals.menu_bar, kOptionsMenu, globals.options_menu);
    append_item(f, globals.menu_bar, kAboutItem, kMenuAbout, on_menu_about);  // a command right on the bar
    attach_menu(dialog, globals.menu_bar);
}

// ---- The tour dialog's own callback ---------------------------------------------------

// Over the dialog's own background the chosen pointer stays; over a control
// the control's class cursor takes over again when the mouse moves (the
// dialog's answer to a control's WM_SETCURSOR does not reach the control).
bool keep_pointer(HWND dialog, WPARAM wparam, LPARAM lparam) {
    if (reinterpret_cast<HWND>(wparam) != dialog || LOWORD(lparam) != HTCLIENT) return false;
    set_mouse_pointer(globals.pointer);
    return true;
}

void on_init(ProcFrame& f, HWND dialog) {
    globals.tour = dialog;
    SetScrollRange(find_target_window(dialog, kScroller), SB_CTL, 0, kScrollMax, FALSE);
    globals.normal_size = get_window_size(dialog, -1);
    show_scroll_position(f, dialog);
    show_client_size(f, dialog);
}

std::int32_t on_tour_event(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    ProcFrame f;
    switch (message) {
        case WM_INITDIALOG:  // handed over by run_dialog_modal before the dialog shows
            on_init(f, dialog);
            break;
        case WM_HSCROLL:
            on_scroll(f, dialog, wparam);
            f.result = 1;
            break;
        case WM_SETCURSOR:
            f.result = keep_pointer(dialog, wparam, lparam) ? 1 : 0;
            break;
        default:
            break;
    }
    return f.result;
}

}  // namespace

KW_GLOBAL_AREA(globals);

std::int32_t main_procedure(void*, void*, const char*, std::int32_t) {
    ProcFrame f;
    std::int32_t result = 0;

    push_literal(f, literals[kTitle]);
    HWND dialog = create_dialog(f, nullptr, -1, -1, 340, 214, 0, 0);
    build_menus(f, dialog);
    add_choices(f, dialog);
    add_lists(f, dialog);
    add_pointer_picker(f, dialog);
    add_images(f, dialog);
    add_geometry(f, dialog);
    add_buttons(f, dialog);

    run_dialog_modal(dialog, on_tour_event, &result);
    return f.result;
}
