#pragma once
// The text of an INI file: [sections] of name=value lines, where the store
// backends of systems without a registry keep their values. Section and value
// names match ignoring ASCII case, as registry names do; names and values are
// escaped (\\, \n, \r, and in names \= and a leading \[ or \;) so that any
// text survives a round trip.

#include <string>
#include <string_view>
#include <vector>

class TIniFile {
public:
  static TIniFile Parse(std::string_view text);
  std::string Text() const;

  bool Get(const std::string& section, const std::string& name, std::string& value) const;
  void Set(const std::string& section, const std::string& name, const std::string& value);
  // The section's value names in the file's order; none for a missing section.
  std::vector<std::string> Names(const std::string& section) const;
  // Removes the value; false when it is not there.
  bool Remove(const std::string& section, const std::string& name);
  // Adds the section, empty, unless it is there; true when it was added.
  bool AddSection(const std::string& section);

private:
  struct Value {
    std::string Name, Text;
  };
  struct Section {
    std::string Name;
    std::vector<Value> Values;
  };
  Section* Find(const std::string& section);
  const Section* Find(const std::string& section) const;

  std::vector<Section> FSections;
};

// A registry key has one place: the values of key "A\B\C" are the section
// [C] of the file A/B.ini, so the subkeys of a key are the sections of its
// file; a key of one component "A" is the unnamed section of A.ini.

// Reads one value of a key; false when the file, section or value is missing.
bool IniReadValue(const std::string& keyPath, const std::string& name, std::string& value);
// Writes one value of a key, creating the file and section when missing.
// The file is replaced atomically while its directory is locked, so
// concurrent writers of other values lose nothing and a crash never leaves a
// truncated file.
void IniWriteValue(const std::string& keyPath, const std::string& name, const std::string& value);
// Creates the key (its section, empty) when missing; false on failure.
bool IniCreateKey(const std::string& keyPath);
// The names of a key's values, in the file's order; none for a missing key.
std::vector<std::string> IniValueNames(const std::string& keyPath);
// Deletes one value of a key (nothing when it is missing), replacing the
// file as IniWriteValue does; false when the file could not be written.
bool IniDeleteValue(const std::string& keyPath, const std::string& name);

// The directory holding the INI files: $XDG_CONFIG_HOME/kaleidon, or
// ~/.config/kaleidon.
std::string IniStoreRoot();
