#include "framework/Shell.h"

// No desktop here: nothing can be opened.
bool PlatformShellOpen(const std::string&, const std::string&) { return false; }
