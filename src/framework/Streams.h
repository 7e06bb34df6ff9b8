#pragma once
// Streams that receive bytes written in pieces: an in-memory one, with an
// optional bound on its size, and a file one. The HTTP client writes a
// document's body into the stream its caller gives it. And a file read
// while nobody else may change it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class TStream {
public:
  virtual ~TStream() = default;
  // Appends the bytes; EWriteError "Stream write error" when they cannot be kept.
  virtual void Write(const void* data, size_t size) = 0;
};

class TMemoryStream : public TStream {
public:
  // MaxSize bounds what the stream keeps: a write that would pass it fails,
  // with EWriteError "Stream write error" or the message given.
  explicit TMemoryStream(size_t maxSize = SIZE_MAX, std::string tooLarge = "Stream write error")
      : FMaxSize(maxSize), FTooLarge(std::move(tooLarge)) {}
  void Write(const void* data, size_t size) override;
  const std::vector<uint8_t>& Data() const { return FData; }

private:
  size_t FMaxSize;
  std::string FTooLarge;
  std::vector<uint8_t> FData;
};

// Creates the file, or empties an existing one; EFCreateError "Cannot create
// file <name>" when it cannot. The file is closed when the stream goes.
class TFileStream : public TStream {
public:
  explicit TFileStream(const std::string& fileName);
  ~TFileStream() override;
  void Write(const void* data, size_t size) override;

private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};

// An existing file opened for reading that nobody else may write to, rename
// or delete while it is open, where the system can forbid it (elsewhere it
// is only read); others may read it, and so run it. EFOpenError "Cannot open
// file <name>" when it cannot be opened. The file is closed when the object goes.
class TLockedFile {
public:
  explicit TLockedFile(const std::string& fileName);
  ~TLockedFile();
  TLockedFile(const TLockedFile&) = delete;
  TLockedFile& operator=(const TLockedFile&) = delete;
  // Up to Size bytes from where the last read ended; 0 at the end of the
  // file. EReadError "Read error" when reading fails.
  size_t Read(void* buffer, size_t size);

private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};
