#include "framework/MessageBox.h"

#include "framework/UserHooks.h"

int ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  if (const auto hook = UserHooks().MessageBox) return hook(text, caption, flags);
  return PlatformMessageBox(text, caption, flags);
}
