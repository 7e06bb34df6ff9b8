#pragma once
// The settings store: named text values in sections under one key of the
// current user's registry (on systems without a registry, INI files under the
// user's configuration directory). Every value is stored as text: integers
// in decimal, booleans as "1" and "0". Reads never fail for a missing
// section or value; they give the caller's default. Open one instance per
// operation and let it go when the operation ends: nothing is cached.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TRegIniFile {
public:
  // Opens the key under the current user, creating it when missing;
  // ERegistryException "Failed to create key %s" when that fails.
  explicit TRegIniFile(const std::string& keyPath);
  ~TRegIniFile();
  TRegIniFile(const TRegIniFile&) = delete;
  TRegIniFile& operator=(const TRegIniFile&) = delete;

  // A value of another registry type than text raises ERegistryException
  // "Invalid data type for '%s'"; one that cannot be read "Failed to get data for '%s'".
  std::string ReadString(const std::string& section, const std::string& name, const std::string& Default) const;
  // Decimal text; anything else, or a missing value, gives Default.
  int32_t ReadInteger(const std::string& section, const std::string& name, int32_t Default) const;
  // An integer read with Default as 1 or 0; true when not 0.
  bool ReadBool(const std::string& section, const std::string& name, bool Default) const;

  // Each creates the section when missing ("Failed to create key %s") and
  // stores a text value ("Failed to set data for '%s'").
  void WriteString(const std::string& section, const std::string& name, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& name, int32_t value);
  void WriteBool(const std::string& section, const std::string& name, bool value);

  // The names of the section's values, in the store's order; none for a
  // missing section. ERegistryException "Failed to get data for '%s'" (the
  // section) when the section cannot be listed.
  std::vector<std::string> ValueNames(const std::string& section) const;
  // Deletes one value; nothing when it or its section is missing.
  // ERegistryException "Failed to delete data for '%s'" when that fails.
  void DeleteValue(const std::string& section, const std::string& name);

private:
  // The value's text, or false when the section or value does not exist.
  bool ReadText(const std::string& section, const std::string& name, std::string& text) const;

  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};
