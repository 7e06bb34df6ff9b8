#include "framework/Registry.h"

#include "framework/Exceptions.h"
#include "framework/IniFile.h"
#include "framework/SysUtils.h"

struct TRegistry::TImpl {
  std::string Key;
  bool Open = false;
};

TRegistry::TRegistry() : FImpl(new TImpl) {}

TRegistry::~TRegistry() = default;

bool TRegistry::OpenKey(const std::string& keyPath) {
  FImpl->Key = keyPath;
  FImpl->Open = IniCreateKey(keyPath);
  return FImpl->Open;
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  if (!FImpl->Open) throw ERegistryException(Format("Failed to set data for '%s'", name.c_str()));
  IniWriteValue(FImpl->Key, name, value);
}

void TRegistry::CloseKey() { FImpl->Open = false; }

bool ReadMachineValue(const std::string&, const std::string&, std::string&) { return false; }
