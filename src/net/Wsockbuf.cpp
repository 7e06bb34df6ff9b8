#include "net/Wsockbuf.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int DefaultBlockSize = 1514;

}  // namespace

TBuffer::TBuffer(int size) : FData(size_t(size > 0 ? size : DefaultBlockSize)) {}

int TBuffer::Write(const void* data, int len) {
  const int count = std::clamp(len, 0, Size() - FWrCount);
  if (count > 0) std::memcpy(FData.data() + FWrCount, data, size_t(count));
  FWrCount += count;
  return count;
}

const uint8_t* TBuffer::Peek(int& len) const {
  len = Unread();
  return FData.data() + FRdCount;
}

void TBuffer::Remove(int len) {
  FRdCount += std::clamp(len, 0, Unread());
  if (FRdCount == FWrCount) FRdCount = FWrCount = 0;
}
