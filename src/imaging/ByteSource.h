#pragma once
// The one input type of every image reader: a read-only view of bytes in
// memory with a position. Every read is checked against the end; a read that
// cannot be satisfied in full raises EReadError("Stream read error") and
// leaves the position where it was. Offsets and lengths are 64-bit on the way
// in, so no sum of header fields can wrap around.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class TByteSource {
public:
  TByteSource(const uint8_t* data, size_t size) : FData(data), FSize(size) {}
  explicit TByteSource(std::span<const uint8_t> bytes) : TByteSource(bytes.data(), bytes.size()) {}
  explicit TByteSource(const std::vector<uint8_t>& bytes) : TByteSource(bytes.data(), bytes.size()) {}

  size_t Size() const { return FSize; }
  size_t Position() const { return FPos; }
  size_t Remaining() const { return FSize - FPos; }
  const uint8_t* Data() const { return FData; }

  // Moves to an absolute position; past the end is an EReadError.
  void Seek(uint64_t position);
  void Skip(uint64_t count);

  uint8_t ReadByte();
  uint16_t ReadU16LE();
  uint16_t ReadU16BE();
  uint32_t ReadU32LE();
  uint32_t ReadU32BE();
  void Read(void* destination, size_t count);
  // Up to count bytes, as many as remain; returns how many were read.
  size_t ReadSome(void* destination, size_t count);

  // A checked view of count bytes at an absolute offset; the position is not moved.
  std::span<const uint8_t> View(uint64_t offset, uint64_t count) const;
  // True when count bytes at offset lie inside the data.
  bool Contains(uint64_t offset, uint64_t count) const { return offset <= FSize && count <= FSize - offset; }

private:
  const uint8_t* Take(size_t count);

  const uint8_t* FData;
  size_t FSize;
  size_t FPos = 0;
};
