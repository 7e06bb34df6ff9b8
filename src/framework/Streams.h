#pragma once
// Streams that receive bytes written in pieces: an in-memory one, with an
// optional bound on its size, and a file one. The HTTP client writes a
// document's body into the stream its caller gives it.

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
