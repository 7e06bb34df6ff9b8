#include "framework/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "framework/Exceptions.h"
#include "framework/Handles_posix.h"
#include "framework/SysUtils.h"
#include "framework/SystemError.h"

// The program builds its paths with backslashes, as Windows has them; here
// they name the same files with slashes, so that the catalogue's paths open.
std::string PosixPath(std::string path) {
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

std::vector<uint8_t> ReadWholeFile(const std::string& fileName) {
  const TFd file(::open(PosixPath(fileName).c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (!file || ::fstat(file.Get(), &info) != 0)
    throw EFOpenError(Format("Cannot open file \"%s\". %s", fileName.c_str(), LastSystemErrorText().c_str()));
  if (!S_ISREG(info.st_mode) || uint64_t(info.st_size) > MaxReadFileBytes)
    throw EFOpenError(Format("Cannot open file \"%s\". Not a readable file of at most 1 GiB", fileName.c_str()));
  std::vector<uint8_t> bytes(static_cast<size_t>(info.st_size));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(file.Get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EReadError("Stream read error");
    if (n == 0) break;  // the file shrank while we read it
    done += size_t(n);
  }
  bytes.resize(done);
  return bytes;
}

namespace {

// Writes every piece, up to IOV_MAX of them per call; a short write resumes
// inside the piece where it stopped.
bool WritePieces(int fd, std::span<const std::span<const uint8_t>> pieces) {
  std::vector<iovec> pending;
  pending.reserve(pieces.size());
  for (std::span<const uint8_t> piece : pieces)
    if (!piece.empty()) pending.push_back(iovec{const_cast<uint8_t*>(piece.data()), piece.size()});
  size_t first = 0;
  while (first < pending.size()) {
    const int count = int(std::min<size_t>(pending.size() - first, IOV_MAX));
    ssize_t n = ::writev(fd, pending.data() + first, count);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    while (n > 0 && size_t(n) >= pending[first].iov_len) n -= ssize_t(pending[first++].iov_len);
    if (n > 0) {
      pending[first].iov_base = static_cast<uint8_t*>(pending[first].iov_base) + n;
      pending[first].iov_len -= size_t(n);
    }
  }
  return true;
}

}  // namespace

void WriteWholeFileAtomic(const std::string& fileName, std::span<const std::span<const uint8_t>> pieces) {
  const std::string target = PosixPath(fileName);
  std::string temp = target + ".XXXXXX";
  TFd file(::mkstemp(temp.data()));
  if (!file) throw EFCreateError(Format("Cannot create file %s. %s", fileName.c_str(), LastSystemErrorText().c_str()));
  bool ok = WritePieces(file.Get(), pieces);
  ok = ok && ::fchmod(file.Get(), 0644) == 0 && ::fsync(file.Get()) == 0;
  ok = ::close(file.Release()) == 0 && ok;  // a failed close can mean lost data
  std::string failure;
  if (!ok) failure = Format("Cannot write file %s. %s", fileName.c_str(), LastSystemErrorText().c_str());
  if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
    ok = false;
    failure = Format("Cannot replace file %s. %s", fileName.c_str(), LastSystemErrorText().c_str());
  }
  if (!ok) {
    ::unlink(temp.c_str());
    throw EWriteError(failure);
  }
}

bool FileExists(const std::string& fileName) {
  struct stat info {};
  return ::stat(PosixPath(fileName).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool DirectoryExists(const std::string& directory) {
  struct stat info {};
  return ::stat(PosixPath(directory).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool ForceDirectories(const std::string& directory) {
  if (directory.empty() || DirectoryExists(directory)) return true;
  std::string path = PosixPath(directory);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0 && !ForceDirectories(path.substr(0, slash))) return false;
  return ::mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

void MakeDirectories(const std::string& directory) {
  if (!ForceDirectories(directory))
    throw EFCreateError(Format("Cannot create folder %s. %s", directory.c_str(), LastSystemErrorText().c_str()));
}

bool CreateNewDirectory(const std::string& directory) { return ::mkdir(PosixPath(directory).c_str(), 0700) == 0; }

bool RemoveEmptyDirectory(const std::string& directory) { return ::rmdir(PosixPath(directory).c_str()) == 0; }

bool RemoveFile(const std::string& fileName) { return ::unlink(PosixPath(fileName).c_str()) == 0; }

bool RenameFile(const std::string& oldName, const std::string& newName) {
  return ::rename(PosixPath(oldName).c_str(), PosixPath(newName).c_str()) == 0;
}

std::string ExpandFileName(const std::string& fileName) {
  if (!fileName.empty() && fileName[0] == '/') return fileName;
  char directory[PATH_MAX];
  if (!::getcwd(directory, sizeof directory)) return fileName;
  return std::string(directory) + "/" + fileName;
}

std::string ExecutableFileName() {
  char buffer[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? std::string(buffer, size_t(n)) : std::string();
}

// An executable that cannot be found stands in the current directory.
std::string ExecutableDirectory() {
  const std::string file = ExecutableFileName();
  return file.empty() ? "./" : ExtractFilePath(file);
}

std::string TemporaryDirectory() {
  const char* const variable = std::getenv("TMPDIR");
  std::string directory = variable && *variable ? variable : "/tmp";
  if (directory.back() != '/') directory += '/';
  return directory;
}
