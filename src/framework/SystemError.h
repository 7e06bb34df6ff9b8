#pragma once
// The system's own text for the error of the last call that failed on this
// thread (GetLastError on Windows, errno elsewhere), for messages that say why.

#include <string>

// The text without its trailing line end; a code the system has no text for
// reads as "Error <code>".
std::string LastSystemErrorText();
