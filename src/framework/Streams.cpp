#include "framework/Streams.h"

#include "framework/Exceptions.h"

void TMemoryStream::Write(const void* data, size_t size) {
  if (size > FMaxSize - FData.size()) throw EWriteError(FTooLarge);
  const auto* bytes = static_cast<const uint8_t*>(data);
  FData.insert(FData.end(), bytes, bytes + size);
}
