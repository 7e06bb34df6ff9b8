#include "imaging/Tiflzw.h"

#include <cstring>

// The output holds one row plus the longest string a table can build, so a
// string never has to be split or clipped on its way in.
TTIFLZWDec::TTIFLZWDec(const uint8_t* data, size_t rowSize, size_t byteCount)
    : FData(data), FByteCount(byteCount), FRowSize(rowSize), FOutput(rowSize + TableSize) {
  for (int i = 0; i < 256; ++i) {
    FTable[size_t(i)].Length = 1;
    FTable[size_t(i)].First = uint8_t(i);
    FTable[size_t(i)].Inline[0] = uint8_t(i);
  }
  InitializeTable();
}

void TTIFLZWDec::InitializeTable() {
  FStrings.clear();
  FTableLength = FirstFree;
  FCodeLength = 9;
}

// Codes that would need bits past the strip's byte count end the strip, as
// the end-of-information code does.
int TTIFLZWDec::GetNextCode() {
  if (FBitPos + uint64_t(FCodeLength) > uint64_t(FByteCount) * 8) return EndCode;
  const size_t byte = size_t(FBitPos >> 3);
  uint32_t window = 0;
  for (size_t i = 0; i < 3; ++i) window = window << 8 | (byte + i < FByteCount ? FData[byte + i] : 0);
  const int code = int((window << (FBitPos & 7)) >> (24 - FCodeLength) & ((1u << FCodeLength) - 1));
  FBitPos += uint64_t(FCodeLength);
  return code;
}

const uint8_t* TTIFLZWDec::StringOf(const TEntry& entry) const {
  return entry.Length < InlineLength ? entry.Inline : FStrings.data() + entry.Offset;
}

void TTIFLZWDec::PutCode(int code) {
  const TEntry& entry = FTable[size_t(code)];
  std::memcpy(FOutput.data() + FEnd, StringOf(entry), entry.Length);
  FEnd += entry.Length;
}

// A full table stays as it is until the next clear code: encoders must clear
// before code 4096, so later entries would be meaningless anyway.
void TTIFLZWDec::AddConcatToTable(int prefix, uint8_t last) {
  if (FTableLength >= TableSize) return;
  const TEntry& head = FTable[size_t(prefix)];
  TEntry& entry = FTable[size_t(FTableLength)];
  entry.Length = uint16_t(head.Length + 1);
  entry.First = head.First;
  if (entry.Length < InlineLength) {
    std::memcpy(entry.Inline, StringOf(head), head.Length);
    entry.Inline[head.Length] = last;
  } else {
    const size_t at = FStrings.size();
    FStrings.resize(at + entry.Length);
    std::memcpy(FStrings.data() + at, StringOf(head), head.Length);  // after the resize: head may live in FStrings
    FStrings[at + head.Length] = last;
    entry.Offset = uint32_t(at);
  }
  ++FTableLength;
  if (FTableLength == 511 || FTableLength == 1023 || FTableLength == 2047) ++FCodeLength;
}

// One code; false when the strip has ended. A strip that does not open with a
// clear code starts with an empty table whose first code adds no entry (it has
// no predecessor). Codes past the next free entry cannot come from an encoder
// and end the strip.
bool TTIFLZWDec::DecodeCode() {
  int code = GetNextCode();
  if (code == ClearCode) {
    InitializeTable();
    while (code == ClearCode) code = GetNextCode();
    if (code == EndCode || code > 255) return false;
    PutCode(code);
    FPrevious = code;
    return true;
  }
  if (code == EndCode) return false;
  if (FPrevious == NoCode) {
    if (code > 255) return false;
    PutCode(code);
    FPrevious = code;
    return true;
  }
  if (code < FTableLength) {
    PutCode(code);
    AddConcatToTable(FPrevious, FTable[size_t(code)].First);
  } else if (code == FTableLength) {
    AddConcatToTable(FPrevious, FTable[size_t(FPrevious)].First);
    PutCode(code);
  } else {
    return false;
  }
  FPrevious = code;
  return true;
}

const uint8_t* TTIFLZWDec::GetNextLine() {
  if (FRowHandedOut) {
    const size_t rest = FEnd > FRowSize ? FEnd - FRowSize : 0;
    std::memmove(FOutput.data(), FOutput.data() + FRowSize, rest);
    FEnd = rest;
  }
  FRowHandedOut = true;
  while (FEnd < FRowSize && !FEnded) FEnded = !DecodeCode();
  if (FEnd < FRowSize) {
    std::memset(FOutput.data() + FEnd, 0, FRowSize - FEnd);
    FEnd = FRowSize;
    FLineComplete = false;
  }
  return FOutput.data();
}
