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

  // The next row: rowSize bytes at the returned pointer, valid until the next call.
  const uint8_t* GetNextLine();
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

  int GetNextCode();
  bool DecodeCode();
  void PutCode(int code);
  void AddConcatToTable(int prefix, uint8_t last);
  void InitializeTable();
  const uint8_t* StringOf(const TEntry& entry) const;

  const uint8_t* FData;
  size_t FByteCount;
  uint64_t FBitPos = 0;
  int FCodeLength = 9;
  int FTableLength = FirstFree;
  int FPrevious = NoCode;
  bool FEnded = false;
  bool FLineComplete = true;
  bool FRowHandedOut = false;
  size_t FRowSize;
  std::vector<uint8_t> FOutput;  // the row handed out last, then what was decoded past it
  size_t FEnd = 0;               // bytes held in FOutput
  std::vector<uint8_t> FStrings;
  std::array<TEntry, TableSize> FTable;
};
