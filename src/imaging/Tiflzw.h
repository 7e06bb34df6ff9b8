#pragma once
// LZW decoding of one TIFF strip (compression 5), one row per call.
// Accepts: codes of 9 to 12 bits packed most significant bit first, with the
// code length growing one code early (at table entries 510, 1022, 2046), clear
// and end-of-information codes, and strips that do not start with a clear code.
// Limits: the table holds 4096 entries; once it is full, codes are decoded
// against it unchanged until the next clear code.
// Rejects nothing: a code the table cannot have yet, or data that runs out,
// ends the strip; the rows that the strip could not complete are zero-filled
// and reported by LineComplete(). Never reads outside data[0, byteCount).

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class TTIFLZWDec {
public:
  TTIFLZWDec(const uint8_t* data, size_t rowSize, size_t byteCount);

  // The next row: rowSize bytes at the returned pointer, valid until the next
  // call; the caller may change them in place.
  uint8_t* GetNextLine();
  // False once the strip's codes ended before a row was full.
  bool LineComplete() const { return FLineComplete; }

private:
  static constexpr int ClearCode = 256;
  static constexpr int EndCode = 257;
  static constexpr int FirstFree = 258;
  static constexpr int TableSize = 4096;
  static constexpr int NoCode = -1;
  static constexpr int InlineLength = 8;  // strings shorter than this live in their entry

  struct TEntry {
    uint16_t Length;
    uint8_t First;
    uint8_t Inline[InlineLength];
    uint32_t Offset;  // into FStrings, for strings of InlineLength bytes or more
  };

  struct TState {
    uint64_t BitPos = 0;
    int CodeLength = 9;
    int TableLength = FirstFree;
    int Previous = NoCode;
    uint8_t* Out = nullptr;  // FOutput's bytes
    size_t End = 0;
  };

  int GetNextCode(TState& s) const;
  bool DecodeCode(TState& s);
  void PutCode(TState& s, int code) const;
  void AddConcatToTable(TState& s, int prefix, uint8_t last);
  void StoreLongString(TEntry& entry, const TEntry& head, uint8_t last);
  void InitializeTable(TState& s);
  const uint8_t* StringOf(const TEntry& entry) const;

  const uint8_t* FData;
  size_t FByteCount;
  TState FState;
  bool FEnded = false;
  bool FLineComplete = true;
  bool FRowHandedOut = false;
  size_t FRowSize;
  std::vector<uint8_t> FOutput;   // the row handed out last, then what was decoded past it
  size_t FEnd = 0;                // bytes held in FOutput
  std::vector<uint8_t> FStrings;  // strings of InlineLength bytes or more; FStringsUsed of them in use
  size_t FStringsUsed = 0;
  std::array<TEntry, TableSize> FTable;
};
