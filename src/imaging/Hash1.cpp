#include "imaging/Hash1.h"

#include <algorithm>

THash1::THash1(int bits) : FMask((uint32_t{1} << bits) - 1), FBuckets(size_t{1} << bits) {}

bool THash1::Insert(uint32_t key) {
  std::vector<uint32_t>& bucket = FBuckets[key & FMask];
  if (std::find(bucket.begin(), bucket.end(), key) != bucket.end()) return false;
  bucket.push_back(key);
  ++FCount;
  return true;
}

bool THash1::KeyPresent(uint32_t key) const {
  const std::vector<uint32_t>& bucket = FBuckets[key & FMask];
  return std::find(bucket.begin(), bucket.end(), key) != bucket.end();
}
