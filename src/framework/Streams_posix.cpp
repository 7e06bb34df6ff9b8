#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "framework/Handles_posix.h"
#include "framework/Streams.h"

struct TFileStream::TImpl {
  TFd File;
};

TFileStream::TFileStream(const std::string& fileName) : FImpl(new TImpl) {
  FImpl->File.Reset(::open(PosixPath(fileName).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (!FImpl->File) throw EFCreateError("Cannot create file " + fileName);
}

TFileStream::~TFileStream() = default;

void TFileStream::Write(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  while (size > 0) {
    const ssize_t n = ::write(FImpl->File.Get(), bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw EWriteError("Stream write error");
    bytes += n;
    size -= size_t(n);
  }
}

struct TLockedFile::TImpl {
  TFd File;
};

// Here nothing can keep others from changing the file: it is only read.
TLockedFile::TLockedFile(const std::string& fileName) : FImpl(new TImpl) {
  FImpl->File.Reset(::open(PosixPath(fileName).c_str(), O_RDONLY | O_CLOEXEC));
  if (!FImpl->File) throw EFOpenError("Cannot open file " + fileName);
}

TLockedFile::~TLockedFile() = default;

size_t TLockedFile::Read(void* buffer, size_t size) {
  for (;;) {
    const ssize_t n = ::read(FImpl->File.Get(), buffer, size);
    if (n >= 0) return size_t(n);
    if (errno != EINTR) throw EReadError("Read error");
  }
}
