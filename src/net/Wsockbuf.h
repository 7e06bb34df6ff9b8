#pragma once
// One block of a socket's send queue: a byte area of a fixed size, filled at
// the back by Write and drained at the front by Peek and Remove. When every
// written byte has been read, both counts return to 0 and the whole area is
// free again.

#include <cstddef>
#include <cstdint>
#include <vector>

class TBuffer {
public:
  // A size of 0 or less asks for the socket's block size, 1514 bytes.
  explicit TBuffer(int size);

  // Copies as much as fits behind the written bytes; the count copied.
  int Write(const void* data, int len);
  // The unread bytes, left in place.
  const uint8_t* Peek(int& len) const;
  // Marks up to Len unread bytes read.
  void Remove(int len);

  int Size() const { return int(FData.size()); }
  int Unread() const { return FWrCount - FRdCount; }
  bool Full() const { return FWrCount == Size(); }

private:
  std::vector<uint8_t> FData;
  int FWrCount = 0;
  int FRdCount = 0;
};
