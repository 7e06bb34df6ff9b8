#pragma once
// The mark that the system's attachment services put on a file that came
// from the internet: a "Zone.Identifier" stream beside the file's data that
// names zone 3 and where the file came from, so that the system's own checks
// (the warning before a downloaded program runs, SmartScreen) see it.
// The addresses are written without the credentials they may carry.

#include <string>

// The mark's text for a file fetched from `hostUrl`, which the page at
// `referrerUrl` named.
std::string ZoneIdentifierText(const std::string& hostUrl, const std::string& referrerUrl);

// Marks the file; false where the file system or the system cannot keep
// the mark (a folder outside Windows' own file systems, another system).
bool MarkFromInternet(const std::string& fileName, const std::string& hostUrl, const std::string& referrerUrl);

// The platform half: writes the text as the file's Zone.Identifier stream.
bool WriteZoneIdentifier(const std::string& fileName, const std::string& text);
