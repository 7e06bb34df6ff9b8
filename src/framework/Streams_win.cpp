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
