#include "framework/Shell.h"

#include <utility>

namespace {

TShellOpenHook& Hook() {
  static TShellOpenHook hook;
  return hook;
}

}  // namespace

void SetShellOpenHook(TShellOpenHook hook) { Hook() = std::move(hook); }

bool ShellOpen(const std::string& fileName, const std::string& parameters) {
  if (Hook()) return Hook()(fileName, parameters);
  return PlatformShellOpen(fileName, parameters);
}
