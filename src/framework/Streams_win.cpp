#include "framework/Streams.h"

#include <windows.h>

#include "framework/Exceptions.h"
#include "framework/Handles_win.h"
#include "framework/Wide.h"

struct TFileStream::TImpl {
  TFileHandle File;
};

TFileStream::TFileStream(const std::string& fileName) : FImpl(new TImpl) {
  FImpl->File.Reset(CreateFileW(Utf8ToWide(fileName).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!FImpl->File) throw EFCreateError("Cannot create file " + fileName);
}

TFileStream::~TFileStream() = default;

void TFileStream::Write(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  while (size > 0) {
    const DWORD piece = DWORD(size < 0x40000000 ? size : 0x40000000);
    DWORD written = 0;
    if (!WriteFile(FImpl->File.Get(), bytes, piece, &written, nullptr) || written == 0)
      throw EWriteError("Stream write error");
    bytes += written;
    size -= written;
  }
}

struct TLockedFile::TImpl {
  TFileHandle File;
};

// Sharing for reading only: writing, renaming and deleting all need a share
// this handle does not grant.
TLockedFile::TLockedFile(const std::string& fileName) : FImpl(new TImpl) {
  FImpl->File.Reset(CreateFileW(Utf8ToWide(fileName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!FImpl->File) throw EFOpenError("Cannot open file " + fileName);
}

TLockedFile::~TLockedFile() = default;

size_t TLockedFile::Read(void* buffer, size_t size) {
  DWORD read = 0;
  if (!ReadFile(FImpl->File.Get(), buffer, DWORD(size < 0x40000000 ? size : 0x40000000), &read, nullptr))
    throw EReadError("Read error");
  return read;
}
