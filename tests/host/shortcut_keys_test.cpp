// The text of key combinations, as menu items show them after a tab, and the
// keys of key names read back.
#include <gtest/gtest.h>

#include <string>

#include "toolkit/shortcut_keys.h"

namespace {

std::string text_of(std::uint32_t keys) {
    char out[kShortcutTextSize];
    std::uint32_t n = shortcut_text(keys, out);
    EXPECT_LE(n, kShortcutTextSize);
    return std::string(out, n);
}

struct Row {
    std::uint32_t keys;
    const char* text;
};

// Virtual-key codes written out: 0x70 is F1, 0x0D Enter, 0x22 PageDown.
const Row kRows[] = {
    {0x200 | 'F', "Ctrl+F"},
    {0x70, "F1"},
    {0x79, "F10"},
    {0x87, "F24"},
    {0x400 | 0x0D, "Alt+Enter"},
    {0x100 | 0x79, "Shift+F10"},
    {0x700 | 0x22, "Ctrl+Shift+Alt+PageDown"},
    {0x200 | '0', "Ctrl+0"},
    {0x1B, "Escape"},
    {0x08, "Backspace"},
    {0x09, "Tab"},
    {0x20, "Space"},
    {0x2D, "Insert"},
    {0x2E, "Delete"},
    {0x24, "Home"},
    {0x23, "End"},
    {0x21, "PageUp"},
    {0x25, "Left"},
    {0x26, "Up"},
    {0x27, "Right"},
    {0x28, "Down"},
    // No name: the empty text.
    {0x00, ""},
    {0x200, ""},
    {0x88, ""},          // F25 does not exist
    {0x200 | 0x6B, ""},  // the keypad's +
    {0x61, ""},          // the keypad's 1, no letter: 'a' names no key
    {0x800 | 'F', ""},   // a bit above the modifiers
    {0xFFFFFFFF, ""},
};

TEST(ShortcutText, EveryRowOfTheTable) {
    for (const Row& row : kRows) EXPECT_EQ(text_of(row.keys), row.text) << "keys 0x" << std::hex << row.keys;
}

std::uint32_t key_named(const std::string& name) {
    return shortcut_key_named(name.data(), static_cast<std::uint32_t>(name.size()));
}

// The key that each written text ends with reads back as its key.
TEST(ShortcutKeyNamed, EveryNameWrittenReadsBackAsItsKey) {
    for (const Row& row : kRows) {
        std::string text = row.text;
        if (text.empty()) continue;
        EXPECT_EQ(key_named(text.substr(text.rfind('+') + 1)), row.keys & kShortcutKeyMask) << text;
    }
    for (std::uint32_t key = 1; key <= kShortcutKeyMask; ++key) {
        std::string text = text_of(key);
        EXPECT_EQ(key_named(text), text.empty() ? 0 : key) << "key 0x" << std::hex << key << " \"" << text << "\"";
    }
}

const Row kNames[] = {
    {0x7C, "f13"},       {0x7C, "F13"},  {0x87, "F24"},    {0x22, "pagedown"}, {0x0D, "ENTER"},
    {'A', "a"},          {'7', "7"},     {0x00, "F25"},    {0x00, "F0"},       {0x00, "F013"},
    {0x00, "F1x"},       {'F', "F"},     {0x00, "F100"},   {0x00, ""},         {0x00, "PageDow"},
    {0x00, "PageDownX"}, {0x00, "Ctrl"}, {0x00, "Ctrl+F"}, {0x00, "+"},        {0x00, "\xC3\xA9"},
};

TEST(ShortcutKeyNamed, NamesInAnyCaseAndNoOthers) {
    for (const Row& row : kNames) EXPECT_EQ(key_named(row.text), row.keys) << "\"" << row.text << "\"";
}

}  // namespace
