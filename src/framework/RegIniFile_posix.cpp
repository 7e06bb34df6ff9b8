#include "framework/RegIniFile.h"

#include "framework/Exceptions.h"
#include "framework/IniFile.h"

struct TRegIniFile::TImpl {
  std::string Key;
};

TRegIniFile::TRegIniFile(const std::string& keyPath) : FImpl(new TImpl{keyPath}) {
  if (!IniCreateKey(keyPath)) throw ERegistryException("Failed to create key " + keyPath);
}

TRegIniFile::~TRegIniFile() = default;

bool TRegIniFile::ReadText(const std::string& section, const std::string& name, std::string& text) const {
  return IniReadValue(FImpl->Key + "\\" + section, name, text);
}

void TRegIniFile::WriteString(const std::string& section, const std::string& name, const std::string& value) {
  IniWriteValue(FImpl->Key + "\\" + section, name, value);
}

std::vector<std::string> TRegIniFile::ValueNames(const std::string& section) const {
  return IniValueNames(FImpl->Key + "\\" + section);
}

void TRegIniFile::DeleteValue(const std::string& section, const std::string& name) {
  if (!IniDeleteValue(FImpl->Key + "\\" + section, name))
    throw ERegistryException("Failed to delete data for '" + name + "'");
}
