#include "update/ZoneMark.h"

// No file system here keeps the stream the mark lives in.
bool WriteZoneIdentifier(const std::string&, const std::string&) { return false; }
