#pragma once
// CCITT fax decoding of bilevel TIFF strips, one row per call.
// Accepts: the T.4 run-length codes (with the extended make-up codes), end-of-
// line codes with any number of fill zeros, the T.4 two-dimensional tag bit
// and the T.4/T.6 mode codes; fillOrder 1 takes each byte's high bit first, 2
// its low bit first. Rows are width pixels of 1 bit, most significant bit
// first, white = 1. Table-driven: one look-up per run code, and a row of
// two-dimensional coding costs one scan of its reference row.
// Rejects nothing: uncompressed mode (the extension codes) is not decoded and
// is skipped like any mode code that matches nothing (12 bits); run codes that
// match nothing and data that runs out end the row with white. Every call
// stays inside data[0, size) and returns a position inside it.

#include <cstddef>
#include <cstdint>

// One modified-Huffman row (compression 2) from bit 0 of data; returns the
// number of whole bytes used (a partly used byte counts).
size_t CCITTHuffmanGetLine(uint8_t* row, const uint8_t* data, size_t size, int width, int fillOrder);

// One one-dimensional T.4 row with end-of-line codes from bitPos; returns the
// bit position after it.
uint64_t _CCITTHuffmanGetLine(uint8_t* row, const uint8_t* data, size_t size, int width, int fillOrder,
                              uint64_t bitPos);

// One two-dimensional row (T.4 2-D and T.6) from bitPos against refRow (the
// previous row, all white before a strip's first); copies the result into
// refRow and returns the bit position after it.
uint64_t CCITT3_2D_GetLine(uint8_t* row, const uint8_t* data, size_t size, int width, int fillOrder,
                           uint64_t bitPos, uint8_t* refRow);
