#include "app/Sysinfo.h"

TSysInfo::TSysInfo(TComponent* AOwner) : TComponent(AOwner) { ReadOSVersion(FMajor, FMinor); }
