// drive's verbs, in one table: each verb's name, its numbers of arguments,
// its usage, where it may be used, and what runs it. The usage text, the
// list of verbs and the checks of a command (and of each line of a script)
// all come from that table. Each verb acts on running programs as a user
// would, waits for states (never for a time), and has a time limit.
#pragma once

#include <cstdio>
#include <string>

#include "tools/drive/session.h"

// Checks a command against the verb table for where it is used (a script,
// or the command line, as s.in_script says): 0 when the verb exists there
// and takes that many arguments, else 2 with s.error saying why.
int check_verb(Session& s, const std::string& verb, const Words& args);

// Checks and runs one verb with its arguments: 0 when it did what it says,
// 1 on a failure (s.error says what was expected and what was seen), 2 on
// bad usage (s.error says why).
int run_verb(Session& s, const std::string& verb, const Words& args);

// The whole usage text: every verb that people use, with what it does.
void print_usage(std::FILE* out);
// One line for each verb that people use: its name, a tab, its synopsis.
void print_verbs(std::FILE* out);
// "usage: drive VERB ARGS..." for one verb, or "" for no such verb.
std::string verb_usage(const std::string& verb);
