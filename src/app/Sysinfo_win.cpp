#include <windows.h>

#include "app/Sysinfo.h"

// The version the system shows this program, which the manifest's list of
// supported systems decides.
void ReadOSVersion(int& major, int& minor) {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(&info)) return;
#pragma GCC diagnostic pop
  major = int(info.dwMajorVersion);
  minor = int(info.dwMinorVersion);
}
