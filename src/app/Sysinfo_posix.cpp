#include "app/Sysinfo.h"

// There is no Windows version to report here; 0.0 is a system whose menus
// do not scroll, the layout every current system has.
void ReadOSVersion(int& major, int& minor) { major = minor = 0; }
