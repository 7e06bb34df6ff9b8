#include "framework/Shell.h"

#include "framework/Exceptions.h"

// No desktop here: nothing can be opened or shown.
bool PlatformShellOpen(const std::string&, const std::string&) { return false; }

void ShowInFolder(const std::string& fileName) {
  throw EOSError("Cannot show \"" + fileName + "\" in its folder. There is no file manager.");
}
