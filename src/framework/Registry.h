#pragma once
// The plain registry writer of the current user: open a key, write text
// values, close. (Without a registry, the INI files the settings store uses.)

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
