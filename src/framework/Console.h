#pragma once
// Text for the user who started the program from a command prompt: to the
// standard output or error the program was given, or else to the console of
// the process that started it.

#include <string>

// Lines end in "\n"; false when the program has nowhere to write (a start
// from the desktop).
bool WriteToConsole(const std::string& text, bool error);
