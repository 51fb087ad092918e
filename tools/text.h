// Texts of drive and its helpers: quoting for messages, the ampersands of
// control and menu texts, recoding between UTF-8 and the code page, and the
// words of a command line in a script.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

using Words = std::vector<std::string>;

// The code page's text in double quotes, as UTF-8, for messages.
std::string quoted(const std::string& text);

// A control's or menu item's text as a user reads it: each "&" that marks
// an access key removed, "&&" read as one "&", and a trailing "&" kept.
std::string without_ampersands(const std::string& text);

// The text with A to Z as a to z.
std::string lower(std::string text);

// A script's UTF-8 text in the code page of this process (the one the
// programs' A windows use); bytes that are not UTF-8 stay as they are.
std::string from_utf8(const std::string& text);
// The code page's bytes as UTF-8, for output.
std::string to_utf8(const std::string& text);
// UTF-16 text, as the W calls give it, in the code page of this process.
std::string from_utf16(const std::wstring& text);

// Splits a script line into words: blanks separate them, double quotes keep
// blanks inside a word (\" and \\ stand for " and \ there), and # outside
// quotes starts a comment. False for a quote left open.
bool split_words(const std::string& line, Words& words);
// The words with one blank between them.
std::string joined(const Words& words);
