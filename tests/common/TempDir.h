#pragma once
// A directory of its own for one test, removed with everything in it at the end.

#include <string>

class TTempDir {
public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  // The directory in the program's form (backslashes on Windows), without a
  // trailing delimiter.
  const std::string& Path() const { return FPath; }
  // Path() + delimiter + relative, with '/' in relative turned into the delimiter.
  std::string Join(const std::string& relative) const;
  // Creates a file (and its parent directories) holding the bytes.
  void Write(const std::string& relative, const std::string& bytes = "") const;
  void MakeDir(const std::string& relative) const;

private:
  std::string FPath;
};
