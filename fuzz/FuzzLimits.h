#pragma once
// The readers' limits in every fuzz target: low enough that an input whose
// header claims a huge picture costs milliseconds, not the program's
// gigabyte, so the fuzzer spends its time searching.

#include "imaging/ReadLimits.h"

inline TReadLimits FuzzLimits() {
  TReadLimits limits;
  limits.MaxPixels = uint64_t{1} << 20;
  limits.MaxBytes = uint64_t{4} << 20;
  limits.MaxWorkBytes = uint64_t{16} << 20;
  limits.MaxPages = 100;
  limits.MaxScans = 100;
  limits.MaxBlockVisits = uint64_t{1} << 18;
  return limits;
}
