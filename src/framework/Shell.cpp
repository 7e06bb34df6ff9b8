#include "framework/Shell.h"

#include "framework/UserHooks.h"

bool ShellOpen(const std::string& fileName, const std::string& parameters) {
  if (const auto hook = UserHooks().ShellOpen) return hook(fileName, parameters);
  return PlatformShellOpen(fileName, parameters);
}
