#include "framework/MessageBox.h"

#include <cstdio>

// No desktop here: the box becomes a line on standard error, answered with OK.
int PlatformMessageBox(const std::string& text, const std::string& caption, unsigned) {
  std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
  return idOK;
}
