// kaleidon-record-args: the stand-in for an update package in the process
// tests. It writes the arguments of its command line, as the system hands
// them over (everything after its own name), in UTF-8 to a file beside
// itself named after it with ".args" added, and exits.
#include <windows.h>

#include <string>

#include "framework/Files.h"
#include "framework/Wide.h"

namespace {

// The command line without the program's name (quoted or not) and the
// blanks after it.
std::wstring Arguments(const wchar_t* line) {
  const wchar_t* p = line;
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  return p;
}

std::string OwnName() {
  wchar_t name[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, name, MAX_PATH);
  return WideToUtf8(std::wstring(name, n));
}

}  // namespace

int wmain() {
  const std::string arguments = WideToUtf8(Arguments(GetCommandLineW()));
  WriteWholeFileAtomic(OwnName() + ".args", arguments.data(), arguments.size());
  return 0;
}
