// Key combinations of keyboard shortcuts, and the text a menu item shows for
// one. Portable: no platform calls.
#pragma once

#include <cstdint>

// A key combination: the virtual-key code (1 to 254) in the low byte and the
// modifiers above it, packed as the platform's hot-key control packs them
// (HOTKEYF_SHIFT, HOTKEYF_CONTROL and HOTKEYF_ALT, one byte up).
// Examples: kShortcutCtrl | 'F', VK_F1, kShortcutAlt | VK_RETURN.
constexpr std::uint32_t kShortcutShift = 0x100;
constexpr std::uint32_t kShortcutCtrl = 0x200;
constexpr std::uint32_t kShortcutAlt = 0x400;
constexpr std::uint32_t kShortcutKeyMask = 0xFF;

// The room shortcut_text needs: "Ctrl+Shift+Alt+" and the longest key name.
constexpr std::uint32_t kShortcutTextSize = 32;

// Writes the text of a key combination as a menu item shows it after its
// "\t": the modifiers in the order Ctrl, Shift, Alt, then the key ("Ctrl+F",
// "Shift+F10", "Alt+Enter"). Letters, digits, F1 to F24, Enter, Escape, Tab,
// Space, Backspace, Insert, Delete, Home, End, PageUp, PageDown and the arrows
// (Up, Down, Left, Right) have names; any other key, or bits above the
// modifiers, give the empty text. Gives the length written to out, which holds
// kShortcutTextSize bytes; no terminator is written.
std::uint32_t shortcut_text(std::uint32_t keys, char* out);

// The virtual-key code of a key's name as shortcut_text writes it, in any
// case ("F13", "pagedown", "a"), from name's length bytes; 0 for a name that
// shortcut_text never writes. The drive tool reads its key names with this,
// so every shortcut a menu item shows can be played.
std::uint32_t shortcut_key_named(const char* name, std::uint32_t length);
