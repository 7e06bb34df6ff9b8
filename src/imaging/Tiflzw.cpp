#include "imaging/Tiflzw.h"

#include <algorithm>
#include <cstring>

// The output holds one row plus the longest string a table can build, so a
// string never has to be split or clipped on its way in; InlineLength bytes of
// slack let short strings be copied as one fixed-size block.
TTIFLZWDec::TTIFLZWDec(const uint8_t* data, size_t rowSize, size_t byteCount)
    : FData(data), FByteCount(byteCount), FRowSize(rowSize), FOutput(rowSize + TableSize + InlineLength) {
  for (int i = 0; i < 256; ++i) {
    FTable[size_t(i)].Length = 1;
    FTable[size_t(i)].First = uint8_t(i);
    std::memset(FTable[size_t(i)].Inline, 0, InlineLength);
    FTable[size_t(i)].Inline[0] = uint8_t(i);
  }
}

void TTIFLZWDec::InitializeTable(TState& s) {
  FStringsUsed = 0;
  s.TableLength = FirstFree;
  s.CodeLength = 9;
}

// Codes that would need bits past the strip's byte count end the strip, as
// the end-of-information code does.
inline int TTIFLZWDec::GetNextCode(TState& s) const {
  if (s.BitPos + uint64_t(s.CodeLength) > uint64_t(FByteCount) * 8) return EndCode;
  const size_t byte = size_t(s.BitPos >> 3);
  uint32_t window;
  if (byte + 3 <= FByteCount) {
    window = uint32_t(FData[byte]) << 16 | uint32_t(FData[byte + 1]) << 8 | FData[byte + 2];
  } else {
    window = 0;
    for (size_t i = 0; i < 3; ++i) window = window << 8 | (byte + i < FByteCount ? FData[byte + i] : 0);
  }
  const int code = int((window << (s.BitPos & 7)) >> (24 - s.CodeLength) & ((1u << s.CodeLength) - 1));
  s.BitPos += uint64_t(s.CodeLength);
  return code;
}

const uint8_t* TTIFLZWDec::StringOf(const TEntry& entry) const {
  return entry.Length < InlineLength ? entry.Inline : FStrings.data() + entry.Offset;
}

inline void TTIFLZWDec::PutCode(TState& s, int code) const {
  const TEntry& entry = FTable[size_t(code)];
  if (entry.Length < InlineLength)
    std::memcpy(s.Out + s.End, entry.Inline, InlineLength);
  else
    std::memcpy(s.Out + s.End, FStrings.data() + entry.Offset, entry.Length);
  s.End += entry.Length;
}

// A full table stays as it is until the next clear code: encoders must clear
// before code 4096, so later entries would be meaningless anyway.
inline void TTIFLZWDec::AddConcatToTable(TState& s, int prefix, uint8_t last) {
  if (s.TableLength >= TableSize) return;
  const TEntry& head = FTable[size_t(prefix)];
  TEntry& entry = FTable[size_t(s.TableLength)];
  entry.Length = uint16_t(head.Length + 1);
  entry.First = head.First;
  if (entry.Length < InlineLength) {
    std::memcpy(entry.Inline, head.Inline, InlineLength);
    entry.Inline[head.Length] = last;
  } else {
    StoreLongString(entry, head, last);
  }
  ++s.TableLength;
  // 511, 1023, 2047: one code before the table needs the longer codes.
  if (s.TableLength == (1 << s.CodeLength) - 1 && s.CodeLength < 12) ++s.CodeLength;
}

void TTIFLZWDec::StoreLongString(TEntry& entry, const TEntry& head, uint8_t last) {
  const size_t at = FStringsUsed;
  if (at + entry.Length > FStrings.size()) FStrings.resize(std::max(2 * FStrings.size(), at + entry.Length));
  std::memcpy(FStrings.data() + at, StringOf(head), head.Length);  // after the resize: head may live in FStrings
  FStrings[at + head.Length] = last;
  entry.Offset = uint32_t(at);
  FStringsUsed += entry.Length;
}

// One code; false when the strip has ended. A strip that does not open with a
// clear code starts with an empty table whose first code adds no entry (it has
// no predecessor). Codes past the next free entry cannot come from an encoder
// and end the strip.
inline bool TTIFLZWDec::DecodeCode(TState& s) {
  int code = GetNextCode(s);
  if (code == ClearCode) {
    InitializeTable(s);
    while (code == ClearCode) code = GetNextCode(s);
    if (code == EndCode || code > 255) return false;
    PutCode(s, code);
    s.Previous = code;
    return true;
  }
  if (code == EndCode) return false;
  if (s.Previous == NoCode) {
    if (code > 255) return false;
    PutCode(s, code);
    s.Previous = code;
    return true;
  }
  if (code < s.TableLength) {
    PutCode(s, code);
    AddConcatToTable(s, s.Previous, FTable[size_t(code)].First);
  } else if (code == s.TableLength) {
    AddConcatToTable(s, s.Previous, FTable[size_t(s.Previous)].First);
    PutCode(s, code);
  } else {
    return false;
  }
  s.Previous = code;
  return true;
}

// The decoding state lives in a local while codes are decoded: with it in
// members, every byte stored into the output would make the compiler reload
// them all.
uint8_t* TTIFLZWDec::GetNextLine() {
  if (FRowHandedOut) {
    const size_t rest = FEnd > FRowSize ? FEnd - FRowSize : 0;
    std::memmove(FOutput.data(), FOutput.data() + FRowSize, rest);
    FEnd = rest;
  }
  FRowHandedOut = true;
  TState s = FState;
  s.Out = FOutput.data();
  s.End = FEnd;
  while (s.End < FRowSize && !FEnded) FEnded = !DecodeCode(s);
  FState = s;
  FEnd = s.End;
  if (FEnd < FRowSize) {
    std::memset(FOutput.data() + FEnd, 0, FRowSize - FEnd);
    FEnd = FRowSize;
    FLineComplete = false;
  }
  return FOutput.data();
}
