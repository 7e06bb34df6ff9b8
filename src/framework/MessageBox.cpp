#include "framework/MessageBox.h"

#include <utility>

namespace {
TMessageBoxHook& Hook() {
  static TMessageBoxHook hook;
  return hook;
}
}  // namespace

void SetMessageBoxHook(TMessageBoxHook hook) { Hook() = std::move(hook); }

int ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  if (Hook()) return Hook()(text, caption, flags);
  return PlatformMessageBox(text, caption, flags);
}
