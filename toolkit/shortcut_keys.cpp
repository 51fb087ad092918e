#include "toolkit/shortcut_keys.h"

namespace {

struct KeyName {
    std::uint8_t key;
    const char* name;
};

// Virtual-key codes of the platform with their names, as menu items show
// them and the drive tool reads them.
constexpr KeyName kKeyNames[] = {
    {0x08, "Backspace"}, {0x09, "Tab"},      {0x0D, "Enter"}, {0x1B, "Escape"}, {0x20, "Space"},
    {0x21, "PageUp"},    {0x22, "PageDown"}, {0x23, "End"},   {0x24, "Home"},   {0x25, "Left"},
    {0x26, "Up"},        {0x27, "Right"},    {0x28, "Down"},  {0x2D, "Insert"}, {0x2E, "Delete"},
};
constexpr std::uint32_t kF1 = 0x70;
constexpr std::uint32_t kF24 = 0x87;

struct Writer {
    char* out;
    std::uint32_t n;
    void put(char c) { out[n++] = c; }
    void put(const char* s) {
        while (*s != 0) put(*s++);
    }
};

// Writes the key's name; false for a key without one.
bool put_key_name(Writer& w, std::uint32_t key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
        w.put(static_cast<char>(key));
        return true;
    }
    if (key >= kF1 && key <= kF24) {
        std::uint32_t number = key - kF1 + 1;
        w.put('F');
        if (number >= 10) w.put(static_cast<char>('0' + number / 10));
        w.put(static_cast<char>('0' + number % 10));
        return true;
    }
    for (const KeyName& k : kKeyNames) {
        if (k.key == key) {
            w.put(k.name);
            return true;
        }
    }
    return false;
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_name(const char* name, std::uint32_t length, const char* known) {
    std::uint32_t i = 0;
    for (; i < length && known[i] != 0; ++i)
        if (lower(name[i]) != lower(known[i])) return false;
    return i == length && known[i] == 0;
}

// The function key of "F1" to "F24" (any case, no leading zero), or 0.
std::uint32_t function_key_named(const char* name, std::uint32_t length) {
    if (length < 2 || length > 3 || lower(name[0]) != 'f' || name[1] < '1' || name[1] > '9') return 0;
    std::uint32_t number = 0;
    for (std::uint32_t i = 1; i < length; ++i) {
        if (name[i] < '0' || name[i] > '9') return 0;
        number = number * 10 + static_cast<std::uint32_t>(name[i] - '0');
    }
    return number <= kF24 - kF1 + 1 ? kF1 + number - 1 : 0;
}

}  // namespace

std::uint32_t shortcut_key_named(const char* name, std::uint32_t length) {
    if (length == 1) {
        char c = lower(name[0]);
        if (c >= '0' && c <= '9') return static_cast<std::uint32_t>(c);
        if (c >= 'a' && c <= 'z') return static_cast<std::uint32_t>(c - 'a' + 'A');
        return 0;
    }
    if (std::uint32_t f = function_key_named(name, length)) return f;
    for (const KeyName& k : kKeyNames)
        if (same_name(name, length, k.name)) return k.key;
    return 0;
}

std::uint32_t shortcut_text(std::uint32_t keys, char* out) {
    if ((keys & ~(kShortcutKeyMask | kShortcutShift | kShortcutCtrl | kShortcutAlt)) != 0) return 0;
    Writer w = {out, 0};
    if (keys & kShortcutCtrl) w.put("Ctrl+");
    if (keys & kShortcutShift) w.put("Shift+");
    if (keys & kShortcutAlt) w.put("Alt+");
    if (!put_key_name(w, keys & kShortcutKeyMask)) return 0;
    return w.n;
}
