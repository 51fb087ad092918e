// Everyday text operations: a number as text and text as a number, and texts
// compared and searched the way a person reads them. Texts are strings in the
// program's code page (UTF-8 unless the program chose the ANSI code page);
// they come from and go to the caller's string argument stack.
#pragma once

#include <cstdint>

#include "runtime/strings.h"

// Pushes the decimal text of value ("-42", "0"); the empty string and error
// 7 when it could not be allocated.
void push_number_text(ProcFrame& f, std::int32_t value);

// Reads the top entry as a decimal number and pops it: blanks (spaces, tabs)
// may stand around it, a sign before it, and at least one digit must be
// there. Text that holds anything else, the empty text too, gives 0 and
// records error 13; a number beyond -2,147,483,648 .. 2,147,483,647 gives 0
// and records error 6.
std::int32_t text_to_number(ProcFrame& f);

// Letters of every script compare and match whatever their case
// ("ελλ" finds "Ελληνικά", "straße" equals "STRASSE" only where the user's
// language says so).
constexpr std::uint32_t kTextIgnoreCase = 1;

// Compares the next entry with the top entry in the order of the user's
// language (letters as a dictionary orders them, not by their bytes) and pops
// both: below 0 when the next entry comes first, 0 when they are equal, above
// 0 when the top entry comes first. Error 7 (and 0) when the texts could not
// be converted for the comparison.
std::int32_t compare_text(ProcFrame& f, std::uint32_t flags);

// Looks for the top entry in the next entry, from byte position start on (1
// is the first byte; below 1 counts as 1), and pops both. Gives the byte
// position (from 1) where the first match begins, always at the start of a
// character, or 0 when there is none or start lies beyond the text; a start
// inside a character moves to the next one, and an empty top entry is found
// there; a byte that begins no whole character (in UTF-8 a wrong or cut
// sequence) is a character of its own, read as U+FFFD. Error 7 (and 0) when
// the texts could not be converted for the search.
// Ignoring case, a match holds as many characters as the top entry but may
// hold other bytes ("Ⱥ", 2 bytes, matches "ⱥ", 3): its end is found by
// counting characters from the position, not the top entry's bytes.
std::int32_t find_text(ProcFrame& f, std::int32_t start, std::uint32_t flags);
