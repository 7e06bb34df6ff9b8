#include "framework/IniFile.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "framework/Handles_posix.h"
#include "framework/SysUtils.h"

// $XDG_CONFIG_HOME/kaleidon, or ~/.config/kaleidon.
std::string IniStoreRoot() {
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') return std::string(xdg) + "/kaleidon";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.config/kaleidon";
}

namespace {

struct TKeyPlace {
  std::string Path;     // the INI file
  std::string Section;  // the key's last component
};

TKeyPlace PlaceOfKey(const std::string& keyPath) {
  const std::string relative = PosixPath(keyPath);
  const size_t slash = relative.rfind('/');
  if (slash == std::string::npos) return {IniStoreRoot() + "/" + relative + ".ini", ""};
  return {IniStoreRoot() + "/" + relative.substr(0, slash) + ".ini", relative.substr(slash + 1)};
}

TIniFile Load(const std::string& path) {
  if (!FileExists(path)) return {};
  const std::vector<uint8_t> bytes = ReadWholeFile(path);
  return TIniFile::Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// One read-modify-write of a key's file, with the file's directory locked
// (a lock on the file itself would not hold across the rename that replaces
// it, and a lock file of its own would be left lying about). The change says
// whether it changed anything; false when the file could not be written.
bool Modify(const TKeyPlace& place, const std::function<bool(TIniFile&)>& change) {
  const std::string directory = ExtractFilePath(place.Path);
  if (!ForceDirectories(directory)) return false;
  const TFd lock(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!lock || ::flock(lock.Get(), LOCK_EX) != 0) return false;
  TIniFile ini = Load(place.Path);
  if (!change(ini)) return true;
  const std::string text = ini.Text();
  try {
    WriteWholeFileAtomic(place.Path, text.data(), text.size());
  } catch (const EStreamError&) {
    return false;
  }
  return true;
}

}  // namespace

bool IniCreateKey(const std::string& keyPath) {
  const TKeyPlace place = PlaceOfKey(keyPath);
  if (!Load(place.Path).AddSection(place.Section)) return true;  // the key exists: no lock needed
  return Modify(place, [&](TIniFile& ini) { return ini.AddSection(place.Section); });
}

bool IniReadValue(const std::string& keyPath, const std::string& name, std::string& value) {
  const TKeyPlace place = PlaceOfKey(keyPath);
  return Load(place.Path).Get(place.Section, name, value);
}

void IniWriteValue(const std::string& keyPath, const std::string& name, const std::string& value) {
  const TKeyPlace place = PlaceOfKey(keyPath);
  const bool written = Modify(place, [&](TIniFile& ini) {
    ini.Set(place.Section, name, value);
    return true;
  });
  if (!written) throw ERegistryException("Failed to set data for '" + name + "'");
}

std::vector<std::string> IniValueNames(const std::string& keyPath) {
  const TKeyPlace place = PlaceOfKey(keyPath);
  return Load(place.Path).Names(place.Section);
}

bool IniDeleteValue(const std::string& keyPath, const std::string& name) {
  const TKeyPlace place = PlaceOfKey(keyPath);
  return Modify(place, [&](TIniFile& ini) { return ini.Remove(place.Section, name); });
}
