#include "framework/Files.h"

#include <windows.h>

#include <algorithm>

#include "framework/Exceptions.h"
#include "framework/Handles_win.h"
#include "framework/SysUtils.h"
#include "framework/SystemError.h"
#include "framework/Wide.h"

std::vector<uint8_t> ReadWholeFile(const std::string& fileName) {
  const TFileHandle file(CreateFileW(Utf8ToWide(fileName).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.Get(), &size))
    throw EFOpenError(Format("Cannot open file \"%s\". %s", fileName.c_str(), LastSystemErrorText().c_str()));
  if (uint64_t(size.QuadPart) > MaxReadFileBytes)
    throw EFOpenError(Format("Cannot open file \"%s\". Larger than 1 GiB", fileName.c_str()));
  std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD n = 0;
    const DWORD want = DWORD(std::min<size_t>(bytes.size() - done, 1u << 24));
    if (!ReadFile(file.Get(), bytes.data() + done, want, &n, nullptr)) throw EReadError("Stream read error");
    if (n == 0) break;  // the file shrank while we read it
    done += n;
  }
  bytes.resize(done);
  return bytes;
}

namespace {

bool WritePiece(HANDLE file, std::span<const uint8_t> piece) {
  size_t done = 0;
  while (done < piece.size()) {
    DWORD n = 0;
    const DWORD want = DWORD(std::min<size_t>(piece.size() - done, 1u << 24));
    if (!WriteFile(file, piece.data() + done, want, &n, nullptr) || n == 0) return false;
    done += n;
  }
  return true;
}

}  // namespace

void WriteWholeFileAtomic(const std::string& fileName, std::span<const std::span<const uint8_t>> pieces) {
  const std::wstring target = Utf8ToWide(fileName);
  const std::wstring temp = target + L".tmp" + std::to_wstring(GetCurrentProcessId());
  bool ok = true;
  std::string failure;
  {
    const TFileHandle file(
        CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
      throw EFCreateError(Format("Cannot create file %s. %s", fileName.c_str(), LastSystemErrorText().c_str()));
    for (size_t i = 0; ok && i < pieces.size(); ++i) ok = WritePiece(file.Get(), pieces[i]);
    ok = ok && FlushFileBuffers(file.Get());
    if (!ok) failure = Format("Cannot write file %s. %s", fileName.c_str(), LastSystemErrorText().c_str());
  }
  if (ok && !MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ok = false;
    failure = Format("Cannot replace file %s. %s", fileName.c_str(), LastSystemErrorText().c_str());
  }
  if (!ok) {
    DeleteFileW(temp.c_str());
    throw EWriteError(failure);
  }
}

bool FileExists(const std::string& fileName) {
  const DWORD attributes = GetFileAttributesW(Utf8ToWide(fileName).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& directory) {
  const DWORD attributes = GetFileAttributesW(Utf8ToWide(directory).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ForceDirectories(const std::string& directory) {
  std::string path = directory;
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  if (path.empty() || DirectoryExists(path)) return true;
  const size_t delimiter = path.find_last_of("\\/");
  if (delimiter != std::string::npos && delimiter > 0 && !ForceDirectories(path.substr(0, delimiter))) return false;
  return CreateDirectoryW(Utf8ToWide(path).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

void MakeDirectories(const std::string& directory) {
  if (!ForceDirectories(directory))
    throw EFCreateError(Format("Cannot create folder %s. %s", directory.c_str(), LastSystemErrorText().c_str()));
}

bool CreateNewDirectory(const std::string& directory) {
  return CreateDirectoryW(Utf8ToWide(directory).c_str(), nullptr);
}

bool RemoveEmptyDirectory(const std::string& directory) { return RemoveDirectoryW(Utf8ToWide(directory).c_str()); }

bool RemoveFile(const std::string& fileName) { return DeleteFileW(Utf8ToWide(fileName).c_str()); }

bool RenameFile(const std::string& oldName, const std::string& newName) {
  return MoveFileExW(Utf8ToWide(oldName).c_str(), Utf8ToWide(newName).c_str(), MOVEFILE_REPLACE_EXISTING);
}

// A path the system cannot expand is left as it is: opening it will say why.
std::string ExpandFileName(const std::string& fileName) {
  const std::wstring name = Utf8ToWide(fileName);
  const DWORD size = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  if (size == 0) return fileName;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(name.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return fileName;
  full.resize(length);
  return WideToUtf8(full);
}

std::string ExecutableFileName() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
    if (n < buffer.size()) {
      buffer.resize(n);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  return WideToUtf8(buffer);
}

std::string ExecutableDirectory() { return ExtractFilePath(ExecutableFileName()); }

std::string TemporaryDirectory() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
  if (n == 0 || n > MAX_PATH) throw EOSError("Cannot find the folder for temporary files");
  return WideToUtf8(std::wstring(buffer, n));
}
