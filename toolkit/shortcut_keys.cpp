#include "toolkit/shortcut_keys.h"

namespace {

struct KeyName {
    std::uint8_t key;
    const char* name;
};

// Virtual-key codes of the platform with the names the drive tool's key
// verbs use.
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

}  // namespace

std::uint32_t shortcut_text(std::uint32_t keys, char* out) {
    if ((keys & ~(kShortcutKeyMask | kShortcutShift | kShortcutCtrl | kShortcutAlt)) != 0) return 0;
    Writer w = {out, 0};
    if (keys & kShortcutCtrl) w.put("Ctrl+");
    if (keys & kShortcutShift) w.put("Shift+");
    if (keys & kShortcutAlt) w.put("Alt+");
    if (!put_key_name(w, keys & kShortcutKeyMask)) return 0;
    return w.n;
}
