// Texts of drive and its helpers: quoting for messages, the ampersands of
// control and menu texts, the words of a command line in a script, and the
// one place where text changes its encoding. drive's texts are UTF-8; the
// platform gives and takes UTF-16 through the W calls, so no text passes
// through a code page of this process or of the program played.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

using Words = std::vector<std::string>;

// The UTF-8 text in double quotes, for messages.
std::string quoted(const std::string& text);

// A control's or menu item's text as a user reads it: each "&" that marks
// an access key removed, "&&" read as one "&", and a trailing "&" kept.
std::string without_ampersands(const std::string& text);

// The text with A to Z as a to z.
std::string lower(std::string text);

// Sets up the standard output and error of a tool's process: UTF-8 on a
// console too, and lines that end in a line feed alone, as a shell that
// reads them expects (in text mode each would end "\r\n", and
// $(drive start ...) would hand "1188\r" to drive exit, which is no process
// id).
void use_utf8_lines();

// ---- UTF-8 and UTF-16 ----------------------------------------------------------------

// The offset of the first byte where text stops being UTF-8 (a stray or
// missing continuation byte, an overlong form, a surrogate, a code point
// past U+10FFFF), or std::string::npos when all of it is.
std::size_t utf8_error_at(const std::string& text);
// The code points of UTF-8 text; each byte that is no part of a character
// counts as U+FFFD.
std::u32string code_points(const std::string& text);
// UTF-8 text as UTF-16, for the W calls and for typing.
std::wstring utf16_of(const std::string& text);
// UTF-16 text, as the W calls give it, as UTF-8; a lone surrogate becomes
// U+FFFD.
std::string utf8_of(const std::wstring& text);

// Where seen first differs from wanted (both UTF-8), counted in characters
// from 1 and with code points: `character 5 is "?" (U+003F) where the
// script has "李" (U+674E)`; "" when they are equal.
std::string first_difference(const std::string& seen, const std::string& wanted);

// This process's command line, as the platform keeps it (UTF-16), in words
// of UTF-8, the program's own path first.
Words command_line_words();

// The words as one command line that the platform's CommandLineToArgvW (and
// the C runtime's start-up) reads back as the same words: the first, a
// program's path, in quotes as it is (the platform reads it up to the next
// quote); each other word as it is when it has no blank or quote and is not
// empty, else in quotes, with a quote inside as \" and the backslashes
// before a quote, or before the closing one, doubled.
std::string command_line_of(const Words& words);

// ---- Script lines --------------------------------------------------------------------

// Splits a script line into words: blanks separate them, double quotes keep
// blanks inside a word (\" and \\ stand for " and \ there), and # outside
// quotes starts a comment. False for a quote left open.
bool split_words(const std::string& line, Words& words);
// The words with one blank between them.
std::string joined(const Words& words);
