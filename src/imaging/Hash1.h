#pragma once
// A set of distinct 24-bit colour keys in 2^bits buckets, used to count the
// colours of a picture while they stay few.

#include <cstdint>
#include <vector>

class THash1 {
public:
  explicit THash1(int bits);

  // True, and the key counted, when it was not yet present.
  bool Insert(uint32_t key);
  bool KeyPresent(uint32_t key) const;
  int Count() const { return FCount; }

private:
  uint32_t FMask;
  std::vector<std::vector<uint32_t>> FBuckets;
  int FCount = 0;
};
