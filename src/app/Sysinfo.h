#pragma once
// System information, read once when the component is made. The program
// uses only the operating system's version numbers.

#include "framework/Component.h"

class TSysInfo : public TComponent {
public:
  explicit TSysInfo(TComponent* AOwner);
  int OSMajorVersionNumber() const { return FMajor; }
  int OSMinorVersionNumber() const { return FMinor; }

private:
  int FMajor = 0;
  int FMinor = 0;
};

// The operating system's version as the platform's version query reports it.
void ReadOSVersion(int& major, int& minor);
