#include "framework/MessageBox.h"

#include <windows.h>

#include "framework/Wide.h"

// No owner window: the program's only window is hidden, and a box owned by
// it could open behind other windows. MB_SETFOREGROUND brings it to the front.
int PlatformMessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  return MessageBoxW(nullptr, Utf8ToWide(text).c_str(), Utf8ToWide(caption).c_str(),
                     flags | MB_SETFOREGROUND | MB_TASKMODAL);
}
