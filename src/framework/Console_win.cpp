#include "framework/Console.h"

#include <windows.h>

#include "framework/Handles_win.h"
#include "framework/Wide.h"

namespace {

bool Usable(HANDLE handle) {
  return handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// A console takes the text as characters; a file or pipe gets UTF-8 with
// Windows' line ends.
bool WriteTo(HANDLE out, const std::string& text) {
  DWORD mode = 0;
  if (GetConsoleMode(out, &mode)) {
    const std::wstring wide = Utf8ToWide(text);
    DWORD written = 0;
    return WriteConsoleW(out, wide.c_str(), DWORD(wide.size()), &written, nullptr) && written == wide.size();
  }
  std::string bytes;
  for (const char c : text) bytes += c == '\n' ? "\r\n" : std::string(1, c);
  DWORD written = 0;
  return WriteFile(out, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
}

}  // namespace

// A program of the window subsystem started from a command prompt gets no
// standard handles: it joins the prompt's console and writes to the
// console's screen itself.
bool WriteToConsole(const std::string& text, bool error) {
  const HANDLE given = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  if (Usable(given)) return WriteTo(given, text);
  if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED)
    return false;  // denied: joined already
  const TFileHandle screen(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
  return screen && WriteTo(screen.Get(), "\n" + text);
}
