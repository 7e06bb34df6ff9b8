#pragma once
// The plain registry writer of the current user: open a key, write text
// values, close. (Without a registry, the INI files the settings store uses.)
// And the one reader of the machine's part, for an administrator's policy.

#include <memory>
#include <string>

class TRegistry {
public:
  TRegistry();
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  // Opens the key under the current user, creating it when missing; false
  // when it can be neither opened nor created.
  bool OpenKey(const std::string& keyPath);
  // Writes a text value into the open key; ERegistryException
  // "Failed to set data for '%s'" when no key is open or the write fails.
  void WriteString(const std::string& name, const std::string& value);
  void CloseKey();

private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};

// A value under the local machine's key, as an administrator's policy sets
// it: text as it is, a number in decimal. False when the key or the value
// is missing or of another type, and always on systems without a registry.
bool ReadMachineValue(const std::string& keyPath, const std::string& name, std::string& text);
