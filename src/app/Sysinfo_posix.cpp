#include <sys/utsname.h>

#include <cstdio>

#include "app/Sysinfo.h"

// The kernel's release, "major.minor...".
void ReadOSVersion(int& major, int& minor) {
  utsname name;
  if (uname(&name) != 0) return;
  std::sscanf(name.release, "%d.%d", &major, &minor);
}
