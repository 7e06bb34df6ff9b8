#include "framework/Console.h"

#include <cstdio>

bool WriteToConsole(const std::string& text, bool error) {
  std::FILE* out = error ? stderr : stdout;
  return std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0;
}
