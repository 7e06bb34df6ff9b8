#include <unistd.h>

#include "dialogs/Versinfo.h"

// Files here carry no version resource.
std::vector<uint8_t> ReadVersionData(const std::string&) { return {}; }

std::string RunningExecutableName() {
  std::string name(256, '\0');
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", name.data(), name.size());
    if (n < 0) return {};
    if (size_t(n) < name.size()) return name.substr(0, size_t(n));
    name.resize(name.size() * 2);
  }
}
