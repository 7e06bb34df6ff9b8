#include "framework/IniFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "framework/SysUtils.h"

// $XDG_CONFIG_HOME/kaleidon, or ~/.config/kaleidon.
std::string IniStoreRoot() {
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') return std::string(xdg) + "/kaleidon";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.config/kaleidon";
}

namespace {

struct KeyFile {
  std::string Path;     // the INI file
  std::string Section;  // the key's last component
};

std::string RelativePath(const std::string& keyPath) {
  std::string relative = keyPath;
  for (char& c : relative)
    if (c == '\\') c = '/';
  return relative;
}

// The values of key "A\B\C" live in <root>/A/B.ini, section [C]; so the
// subkeys of a key are the sections of its own file.
KeyFile FileOfKey(const std::string& keyPath) {
  const std::string relative = RelativePath(keyPath);
  const size_t slash = relative.rfind('/');
  if (slash == std::string::npos) return {IniStoreRoot() + "/" + relative + ".ini", ""};
  return {IniStoreRoot() + "/" + relative.substr(0, slash) + ".ini", relative.substr(slash + 1)};
}

TIniFile Load(const std::string& path) {
  if (!FileExists(path)) return {};
  const std::vector<uint8_t> bytes = ReadWholeFile(path);
  return TIniFile::Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// An exclusive lock on <file>.lock for one read-modify-write of the file.
class WriteLock {
public:
  explicit WriteLock(const std::string& path) : FFd(::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
    if (FFd >= 0) ::flock(FFd, LOCK_EX);
  }
  ~WriteLock() {
    if (FFd >= 0) ::close(FFd);
  }
  bool Held() const { return FFd >= 0; }

private:
  int FFd;
};

}  // namespace

bool IniCreateKey(const std::string& keyPath) {
  const std::string path = IniStoreRoot() + "/" + RelativePath(keyPath) + ".ini";
  if (FileExists(path)) return true;
  if (!ForceDirectories(ExtractFilePath(path))) return false;
  const WriteLock lock(path);
  if (FileExists(path)) return true;
  try {
    WriteWholeFileAtomic(path, "", 0);
  } catch (const EStreamError&) {
    return false;
  }
  return true;
}

bool IniReadValue(const std::string& keyPath, const std::string& name, std::string& value) {
  const KeyFile file = FileOfKey(keyPath);
  return Load(file.Path).Get(file.Section, name, value);
}

void IniWriteValue(const std::string& keyPath, const std::string& name, const std::string& value) {
  const KeyFile file = FileOfKey(keyPath);
  if (!ForceDirectories(ExtractFilePath(file.Path))) throw ERegistryException("Failed to create key " + keyPath);
  const WriteLock lock(file.Path);
  if (!lock.Held()) throw ERegistryException("Failed to create key " + keyPath);
  TIniFile ini = Load(file.Path);
  ini.Set(file.Section, name, value);
  const std::string text = ini.Text();
  try {
    WriteWholeFileAtomic(file.Path, text.data(), text.size());
  } catch (const EStreamError&) {
    throw ERegistryException("Failed to set data for '" + name + "'");
  }
}
