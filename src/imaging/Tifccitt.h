#pragma once
// CCITT fax decoding of bilevel TIFF strips, one row per call.
// Rows are width pixels of 1 bit, most significant bit first, white = 1.
// Data is read through a 32-bit window at bit positions counted from the
// strip's first byte; fillOrder 1 takes each byte's high bit first, 2 its low
// bit first. Every call stays inside data[0, size) and always ends: codes that
// match nothing and data that runs out end the row as the .cpp documents.

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
