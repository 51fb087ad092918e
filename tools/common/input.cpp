#include "tools/common/input.h"

#include <vector>

#include "toolkit/shortcut_keys.h"
#include "tools/common/poll.h"
#include "tools/common/text.h"
#include "tools/common/window_find.h"

namespace {

// ---- Keys ----------------------------------------------------------------------------

// The keys that share their scan codes with the numeric keypad's and differ
// from them by the extended flag, as a keyboard sends them.
bool extended_key(WORD vk) {
    switch (vk) {
        case VK_INSERT:
        case VK_DELETE:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_RCONTROL:
        case VK_RMENU:
        case VK_DIVIDE:
            return true;
        default:
            return false;
    }
}

struct KeyName {
    const char* name;
    WORD vk;
};

// Other names than those of shortcuts (shortcut_keys.h): short ones, the
// modifiers, and the plus sign, which a combination cannot hold as itself.
constexpr KeyName kOtherKeyNames[] = {
    {"return", VK_RETURN}, {"esc", VK_ESCAPE},      {"del", VK_DELETE}, {"plus", VK_OEM_PLUS},
    {"ctrl", VK_CONTROL},  {"control", VK_CONTROL}, {"alt", VK_MENU},   {"shift", VK_SHIFT},
};

bool is_modifier(WORD vk) { return vk == VK_CONTROL || vk == VK_MENU || vk == VK_SHIFT; }

bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The virtual key of a key name (case-insensitive), or 0: a name that a
// shortcut's text uses, one of the other names, or a single sign, which
// names its key; Shift, when the sign needs it, is added to the modifiers.
WORD key_of(const std::string& name, std::vector<WORD>& modifiers) {
    if (std::uint32_t vk = shortcut_key_named(name.data(), static_cast<std::uint32_t>(name.size())))
        return static_cast<WORD>(vk);
    std::string n = lower(name);
    for (const KeyName& k : kOtherKeyNames)
        if (n == k.name) return k.vk;
    if (name.size() != 1 || static_cast<unsigned char>(name[0]) >= 0x80) return 0;
    SHORT vk = VkKeyScanW(static_cast<wchar_t>(name[0]));
    if (vk == -1 || (vk & 0x600) != 0) return 0;
    if ((vk & 0x100) != 0 && !is_letter(name[0])) modifiers.push_back(VK_SHIFT);
    return static_cast<WORD>(vk & 0xFF);
}

// Waits until the thread of w has taken every message sent to it before,
// twice over: each pass of its message loop also reads the X events that
// reached it. False when the thread did not answer within ms.
bool settle(HWND w, DWORD ms) {
    DWORD_PTR answer = 0;
    for (int pass = 0; pass < 2; ++pass)
        if (!SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, ms, &answer)) return false;
    return true;
}

bool is_down(WORD vk) { return (GetAsyncKeyState(vk) & 0x8000) != 0; }

// Presses the modifiers and holds them for the key that follows. Wine's X11
// driver brings its modifiers in line with the X keyboard whenever a window
// of the program takes the X focus, and releases one that only SendInput
// holds down (docs/platform.md): a combination pressed just after a window
// appeared could lose its Alt that way. So the modifiers are held only once
// the program's thread has read what reached it and the platform still has
// them down; one released meanwhile is pressed again. False, with error set
// and the modifiers let go, when they cannot be held within ms.
bool hold_modifiers(const std::vector<WORD>& modifiers, DWORD ms, std::string& error) {
    for (WORD m : modifiers) key_input(m, false);
    if (modifiers.empty()) return true;
    HWND target = GetForegroundWindow();
    bool held = poll_until(ms, [&] {
        if (target != nullptr) settle(target, ms);
        bool all_down = true;
        for (WORD m : modifiers) {
            if (is_down(m)) continue;
            key_input(m, false);
            all_down = false;
        }
        return all_down;
    });
    if (held) return true;
    for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m) key_input(*m, true);
    error = "the modifier keys were let go again and again for " + std::to_string(ms) + " ms; the front window is " +
            quoted(window_text(GetForegroundWindow()));
    return false;
}

void release_modifiers(const std::vector<WORD>& modifiers) {
    for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m) key_input(*m, true);
}

// Types the UTF-16 code unit with the key the keyboard layout has for it,
// for ASCII only: true when typed, false for one that has no key of its own,
// or one that needs Shift (nothing sent). Text never holds a modifier down:
// Wine may let it go in the middle of the text (see hold_modifiers), so a
// capital letter travels as an input-method character instead.
bool type_key_for(wchar_t c) {
    SHORT vk = c < 0x80 ? VkKeyScanW(c) : -1;
    if (vk == -1 || (vk & 0x700) != 0) return false;  // none, or only with Shift, Ctrl or Alt
    press_key(static_cast<WORD>(vk & 0xFF));
    return true;
}

// Types a UTF-16 code unit as an input method does: a key event that
// carries it (KEYEVENTF_UNICODE). It travels through the input queue, so it
// keeps its place among keys; a character past U+FFFF is its two surrogates
// in turn.
void type_code_unit(wchar_t c) {
    INPUT in[2] = {};
    for (INPUT& i : in) {
        i.type = INPUT_KEYBOARD;
        i.ki.wScan = static_cast<WORD>(c);
        i.ki.dwFlags = KEYEVENTF_UNICODE;
    }
    in[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

// ---- The mouse ---------------------------------------------------------------------------

// Whether a left press makes a window of this class capture the mouse (Wine's
// and Windows' buttons, edit boxes, lists, combo boxes and scroll bars do;
// statics and dialogs do not).
bool captures_on_press(HWND w) {
    static const char* const kClasses[] = {"button", "edit", "listbox", "combolbox", "combobox", "scrollbar"};
    std::string c = lower(class_name(w));
    for (const char* k : kClasses)
        if (c == k) return true;
    return false;
}

bool holds_mouse(HWND w) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &info) && info.hwndCapture != nullptr;
}

std::string point_text(POINT p) { return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")"; }

std::string window_name(HWND w) { return w == nullptr ? "no window" : class_name(w) + " " + quoted(window_text(w)); }

bool send_mouse(INPUT& event, POINT target, std::string& error) {
    if (SendInput(1, &event, sizeof(INPUT)) == 1) return true;
    error = "the click at " + point_text(target) + " could not be sent (error " + std::to_string(GetLastError()) + ")";
    return false;
}

}  // namespace

void key_input(WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended_key(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    SendInput(1, &in, sizeof in);
}

void press_key(WORD vk) {
    key_input(vk, false);
    key_input(vk, true);
}

namespace {

// The keys of a combination, the last one pressed and the others (modifiers
// only) held down before it, with the modifiers that its key needs.
bool parse_combo(const std::string& combo, std::vector<WORD>& keys, std::vector<WORD>& modifiers, std::string& error) {
    for (std::size_t start = 0;;) {
        std::size_t plus = combo.find('+', start);
        std::string part = combo.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
        WORD vk = key_of(part, modifiers);
        if (vk == 0) {
            error = "no key named " + quoted(part) + " in " + quoted(combo);
            return false;
        }
        keys.push_back(vk);
        if (plus == std::string::npos) break;
        start = plus + 1;
    }
    for (std::size_t i = 0; i + 1 < keys.size(); ++i) {
        if (!is_modifier(keys[i])) {
            error = quoted(combo) + ": only Ctrl, Alt and Shift can come before the last key";
            return false;
        }
        modifiers.insert(modifiers.begin() + static_cast<long>(i), keys[i]);
    }
    return true;
}

}  // namespace

bool combo_known(const std::string& combo, std::string& error) {
    std::vector<WORD> keys;
    std::vector<WORD> modifiers;
    return parse_combo(combo, keys, modifiers, error);
}

bool press_combo(const std::string& combo, DWORD ms, std::string& error) {
    std::vector<WORD> keys;
    std::vector<WORD> modifiers;
    if (!parse_combo(combo, keys, modifiers, error) || !hold_modifiers(modifiers, ms, error)) return false;
    press_key(keys.back());
    release_modifiers(modifiers);
    return true;
}

void type_text(const std::string& text) {
    for (wchar_t unit : utf16_of(text))
        if (!type_key_for(unit)) type_code_unit(unit);
}

namespace {

// Where and when this process last pressed the button. The platform makes a
// press into a double click when it comes within the double-click time of
// the one before and inside the double-click rectangle around it, whoever
// sent them: two single clicks in a row at one place (a header clicked twice
// to reverse a sort, a row selected again) would give a double click.
struct LastPress {
    POINT at;
    DWORD tick;
    bool made;
};
LastPress last_press = {{0, 0}, 0, false};

bool pairs_with_last_press(POINT target) {
    if (!last_press.made || GetTickCount() - last_press.tick > GetDoubleClickTime()) return false;
    int dx = target.x - last_press.at.x, dy = target.y - last_press.at.y;
    return 2 * (dx < 0 ? -dx : dx) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
           2 * (dy < 0 ? -dy : dy) <= GetSystemMetrics(SM_CYDOUBLECLK);
}

// One press and release at the point, with no regard to the press before.
bool click_once(POINT target, DWORD ms, std::string& error) {
    int sx = GetSystemMetrics(SM_CXSCREEN) - 1;
    int sy = GetSystemMetrics(SM_CYSCREEN) - 1;
    // Every event of the click carries the target: under Wine the pointer can
    // jump back for a moment to where the X pointer still is (seen when a
    // window has just appeared under the old position), and a press or
    // release without a position of its own lands there, outside the control.
    INPUT events[3] = {};
    for (INPUT& in : events) {
        in.type = INPUT_MOUSE;
        in.mi.dx = target.x * 65535 / sx;
        in.mi.dy = target.y * 65535 / sy;
    }
    events[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    events[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
    events[2].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP;
    if (!send_mouse(events[0], target, error)) return false;
    // The window under the pointer sees it arrive before the press.
    HWND under = WindowFromPoint(target);
    POINT at = {-1, -1};
    if (!poll_until(ms, [&] { return GetCursorPos(&at) && WindowFromPoint(at) == under; })) {
        error = "the pointer did not reach " + point_text(target) + " within " + std::to_string(ms) + " ms; it is at " +
                point_text(at) + " over " + window_name(WindowFromPoint(at));
        return false;
    }
    if (!send_mouse(events[1], target, error)) return false;
    last_press = {target, GetTickCount(), true};
    // Buttons, lists and boxes capture the mouse when they take the press;
    // the release waits for that, so a busy program sees both in order.
    if (captures_on_press(under) && !poll_until(ms, [&] { return holds_mouse(under); })) {
        error = "the press at " + point_text(target) + " on " + window_name(under) + " was not taken within " +
                std::to_string(ms) + " ms: no window of its thread holds the mouse";
        SendInput(1, &events[2], sizeof(INPUT));  // the button is not left down
        return false;
    }
    return send_mouse(events[2], target, error);
}

// Lets the double-click time of this process's last press at about the
// same place run out, so that the next press is a click of its own.
bool wait_out_last_press(POINT target, std::string& error) {
    DWORD limit = GetDoubleClickTime() + 100;
    if (poll_until(limit, [&] { return !pairs_with_last_press(target); })) return true;
    error = "the press before, at " + point_text(last_press.at) + ", still made a double click with one at " +
            point_text(target) + " after " + std::to_string(limit) + " ms";
    return false;
}

}  // namespace

bool click_screen(POINT target, DWORD ms, std::string& error) {
    return wait_out_last_press(target, error) && click_once(target, ms, error);
}

// The second press follows the first release at once, well inside the
// double-click time, at the same place.
bool double_click_screen(POINT target, DWORD ms, std::string& error) {
    return wait_out_last_press(target, error) && click_once(target, ms, error) && click_once(target, ms, error);
}

bool click_window(HWND w, DWORD ms, std::string& error) {
    RECT r;
    if (!GetWindowRect(w, &r)) {
        error = "cannot click: the window is gone";
        return false;
    }
    return click_screen({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, ms, error);
}
