#pragma once
// CCITT fax decoding of bilevel TIFF strips, one row per call.
// Accepts: the T.4 run-length codes (with the extended make-up codes), end-of-
// line codes with any number of fill zeros, the T.4 two-dimensional tag bit
// and the T.4/T.6 mode codes; fillOrder 1 takes each byte's high bit first, 2
// its low bit first. Rows are width pixels of 1 bit, most significant bit
// first, white = 1. Table-driven: one look-up per run code, and a row of
// two-dimensional coding costs one pass over the changing elements coded in
// the row before it.
// Rejects nothing: uncompressed mode (the extension codes) is not decoded and
// is skipped like any mode code that matches nothing (12 bits); run codes that
// match nothing and data that runs out end the row with white. Every call
// stays inside data[0, size) and returns a position inside it.
// Limits: a row keeps at most 2 × width + 4 changing elements for the next;
// a hostile row's later ones are dropped.

#include <cstddef>
#include <cstdint>
#include <vector>

// What a strip keeps between its two-dimensional rows: the changing elements
// coded in the previous row, in order, zero-length runs kept as repeated
// positions (element j turns the row black for even j, white for odd j). A
// new value is the all-white row before a strip's first.
struct TCcittRows {
  std::vector<int> Reference;
  std::vector<int> Coded;  // the row being decoded; becomes Reference after it
};

// One modified-Huffman row (compression 2) from bit 0 of data; returns the
// number of whole bytes used (a partly used byte counts).
size_t CCITTHuffmanGetLine(uint8_t* row, const uint8_t* data, size_t size, int width, int fillOrder);

// One one-dimensional T.4 row with end-of-line codes from bitPos; returns the
// bit position after it.
uint64_t _CCITTHuffmanGetLine(uint8_t* row, const uint8_t* data, size_t size, int width, int fillOrder,
                              uint64_t bitPos);

// One two-dimensional row (T.4 2-D and T.6) from bitPos against the previous
// row's changing elements in `rows`, which then hold this row's; returns the
// bit position after it.
uint64_t CCITT3_2D_GetLine(uint8_t* row, const uint8_t* data, size_t size, int width, int fillOrder, uint64_t bitPos,
                           TCcittRows& rows);
