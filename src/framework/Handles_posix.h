#pragma once
// Owners of the POSIX descriptors the program opens (see THandle). Included
// only by the POSIX halves of units.

#include <dirent.h>
#include <unistd.h>

#include "framework/Handle.h"

struct TFdTraits {
  using TValue = int;
  static TValue None() { return -1; }
  static void Close(TValue fd) { ::close(fd); }
};
using TFd = THandle<TFdTraits>;

struct TDirStreamTraits {
  using TValue = DIR*;
  static TValue None() { return nullptr; }
  static void Close(TValue dir) { ::closedir(dir); }
};
using TDirStream = THandle<TDirStreamTraits>;
