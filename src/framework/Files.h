#pragma once
// Whole-file input and output by UTF-8 path.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Files larger than this are refused rather than read into memory.
inline constexpr uint64_t MaxReadFileBytes = uint64_t{1} << 30;

// The whole file; EFOpenError "Cannot open file "<name>". <reason>" when it
// cannot be opened or is larger than MaxReadFileBytes, EReadError when a read fails.
std::vector<uint8_t> ReadWholeFile(const std::string& fileName);

// Writes the bytes to a temporary file beside fileName, flushes it to disk and
// renames it over fileName, so that readers see the old file or the new one,
// never a part. Each failure names the file and the system's reason:
// EFCreateError "Cannot create file <name>. <reason>" when the temporary file
// cannot be made, EWriteError "Cannot write file <name>. <reason>" or "Cannot
// replace file <name>. <reason>"; the temporary file is removed on every failure.
// The file is made of the pieces, written in order without joining them.
void WriteWholeFileAtomic(const std::string& fileName, std::span<const std::span<const uint8_t>> pieces);
inline void WriteWholeFileAtomic(const std::string& fileName, const void* data, size_t size) {
  const std::span<const uint8_t> whole(static_cast<const uint8_t*>(data), size);
  WriteWholeFileAtomic(fileName, std::span(&whole, 1));
}

bool FileExists(const std::string& fileName);
bool DirectoryExists(const std::string& directory);
// Creates the directory and every missing parent; false on failure.
bool ForceDirectories(const std::string& directory);
// The same, raising EFCreateError "Cannot create folder <name>. <reason>" on failure.
void MakeDirectories(const std::string& directory);
// Creates the directory only if nothing of that name exists yet; its parent
// must exist. False otherwise.
bool CreateNewDirectory(const std::string& directory);
// Removes a directory that is empty; false otherwise.
bool RemoveEmptyDirectory(const std::string& directory);
bool RemoveFile(const std::string& fileName);
// Renames a file, replacing the file of the new name if there is one; false on failure.
bool RenameFile(const std::string& oldName, const std::string& newName);

// The full path of a path taken relative to the current directory.
std::string ExpandFileName(const std::string& fileName);

// The full path of the running executable.
std::string ExecutableFileName();
// The directory of the running executable, with its trailing path delimiter.
std::string ExecutableDirectory();
// The system's folder for temporary files, with its trailing path
// delimiter; EOSError when the system names none.
std::string TemporaryDirectory();

// For the halves of units on systems whose delimiter is '/': the path with
// the program's backslashes turned into slashes.
std::string PosixPath(std::string path);
