#include "imaging/ByteSource.h"

#include <cstring>

#include "framework/Exceptions.h"

[[noreturn]] static void ReadError() { throw EReadError("Stream read error"); }

void TByteSource::Seek(uint64_t position) {
  if (position > FSize) ReadError();
  FPos = static_cast<size_t>(position);
}

void TByteSource::Skip(uint64_t count) {
  if (count > Remaining()) ReadError();
  FPos += static_cast<size_t>(count);
}

const uint8_t* TByteSource::Take(size_t count) {
  if (count > Remaining()) ReadError();
  const uint8_t* at = FData + FPos;
  FPos += count;
  return at;
}

uint8_t TByteSource::ReadByte() { return *Take(1); }

uint16_t TByteSource::ReadU16LE() {
  const uint8_t* p = Take(2);
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint16_t TByteSource::ReadU16BE() {
  const uint8_t* p = Take(2);
  return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

uint32_t TByteSource::ReadU32LE() {
  const uint8_t* p = Take(4);
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint32_t TByteSource::ReadU32BE() {
  const uint8_t* p = Take(4);
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

void TByteSource::Read(void* destination, size_t count) {
  if (count == 0) return;
  std::memcpy(destination, Take(count), count);
}

size_t TByteSource::ReadSome(void* destination, size_t count) {
  const size_t n = count < Remaining() ? count : Remaining();
  if (n) std::memcpy(destination, FData + FPos, n);
  FPos += n;
  return n;
}

std::span<const uint8_t> TByteSource::View(uint64_t offset, uint64_t count) const {
  if (!Contains(offset, count)) ReadError();
  return {FData + offset, static_cast<size_t>(count)};
}
