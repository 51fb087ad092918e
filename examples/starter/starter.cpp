// A starter for your own program: one dialog with a text box, a check box, a
// label, two buttons and a menu bar. Copy this folder, rename things, and grow
// it; docs/reference.md of the Kestrowane sources explains each operation.
#include "runtime/message_box.h"
#include "runtime/startup.h"
#include "runtime/strings.h"
#include "toolkit/toolkit.h"

namespace {

// The program's global variables; start-up zeroes them (KW_GLOBAL_AREA below).
struct Globals {
    DynString name;  // the name last greeted
};
Globals globals;

// Every literal the program uses, in one pool; the enum names them in order.
constexpr auto literals = make_literal_pool("Starter", "", "Your name:", "Shout", "Greet", "Close", "&File", "E&xit",
                                            "&Help", "&About", "Hello ", "A starter program built on Kestrowane.");
enum Literal {
    kTitle,
    kEmpty,
    kNameLabel,
    kShout,
    kGreet,
    kClose,
    kFileMenu,
    kExitItem,
    kHelpMenu,
    kAboutItem,
    kHello,
    kAboutText,
    kLiteralCount
};
static_assert(sizeof literals.offsets / sizeof literals.offsets[0] == kLiteralCount, "one name per literal");

// Controls and menu items share one id space: keep their ids apart.
enum : std::int32_t {
    kNameBox = 100,
    kShoutBox = 101,
    kGreeting = 102,
    kGreetButton = 103,
    kMenuExit = 200,
    kMenuAbout = 201
};

// A label or any control without a class of its own: the class entry is empty.
HWND add(ProcFrame& f, HWND dialog, std::int32_t id, Literal text, std::int32_t x, std::int32_t y, std::int32_t width,
         std::int32_t height, ControlKind kind, ControlCallback callback = nullptr, std::uint32_t style = 0) {
    push_empty(f);
    push_literal(f, literals[text]);
    return add_control(f, dialog, id, nullptr, x, y, width, height, style, 0, callback, kind);
}

// "Hello " and the name into the label; upper case when Shout is checked.
std::int32_t on_greet(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    read_control_text(f, dialog, kNameBox);
    string_assign(f, globals.name);
    push_literal(f, literals[kHello]);
    push_borrowed(f, globals.name);
    string_concat(f);
    if (get_control_check(dialog, kShoutBox) == 1) {
        StringView text = view_string(string_arg(f, 0));
        for (std::uint32_t i = 0; i < text.count; ++i)
            text.bytes[i] = static_cast<char>(upper_ascii(static_cast<std::uint8_t>(text.bytes[i])));
    }
    write_control_text(f, dialog, kGreeting);
    return f.result;
}

std::int32_t on_close(HWND dialog, UINT, WPARAM, LPARAM) {
    close_dialog(dialog, 0);
    return 0;
}

std::int32_t on_about(HWND, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    push_literal(f, literals[kAboutText]);
    push_empty(f);  // an empty caption gives the default one
    message_box(f, MB_ICONINFORMATION);
    return f.result;
}

void add_menu(ProcFrame& f, HMENU menu, Literal text, std::uintptr_t id_or_popup, ControlCallback callback,
              std::uint32_t flags = 0) {
    push_literal(f, literals[text]);
    add_menu_item(f, menu, id_or_popup, 0, 0, callback, flags);
}

void build_menus(ProcFrame& f, HWND dialog) {
    HMENU bar = create_menu(0);
    HMENU file = create_menu(1);
    HMENU help = create_menu(1);
    add_menu(f, file, kExitItem, kMenuExit, on_close);
    add_menu(f, help, kAboutItem, kMenuAbout, on_about);
    add_menu(f, bar, kFileMenu, reinterpret_cast<std::uintptr_t>(file), nullptr, MENU_FLAG_SUBMENU);
    add_menu(f, bar, kHelpMenu, reinterpret_cast<std::uintptr_t>(help), nullptr, MENU_FLAG_SUBMENU);
    // The window grows by the bar's height, so the controls keep the client
    // area they were laid out in, whatever the font and resolution.
    attach_menu_keeping_client(dialog, bar);
}

}  // namespace

KW_GLOBAL_AREA(globals);

std::int32_t main_procedure(void*, void*, const char*, std::int32_t) {
    ProcFrame f;
    push_literal(f, literals[kTitle]);
    HWND dialog = create_dialog(f, nullptr, -1, -1, 180, 80, 0, 0);

    add(f, dialog, -1, kNameLabel, 10, 10, 50, 10, kLabel);
    add(f, dialog, kNameBox, kEmpty, 62, 8, 108, 12, kTextBox);
    add(f, dialog, kShoutBox, kShout, 62, 24, 60, 10, kCheckBox);
    add(f, dialog, kGreeting, kEmpty, 10, 40, 160, 10, kLabel);
    add(f, dialog, kGreetButton, kGreet, 66, 60, 50, 14, kPushButton, on_greet, BS_DEFPUSHBUTTON);
    add(f, dialog, IDCANCEL, kClose, 120, 60, 50, 14, kPushButton, on_close);
    build_menus(f, dialog);

    run_dialog_modal(dialog, nullptr, nullptr);
    return f.result;
}
