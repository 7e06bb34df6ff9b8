#pragma once
// Small text helpers shared by every subsystem. Strings are UTF-8.

#include <cstdint>
#include <string>

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Decimal text of a 32-bit integer (the form the settings store writes).
std::string IntToStr(int32_t value);
// Decimal text to a 32-bit integer; Default for anything that is not a whole,
// in-range decimal number (optional sign, no spaces).
int32_t StrToIntDef(const std::string& text, int32_t Default);

// ASCII-only case mapping: a to z and A to Z, nothing else.
std::string UpperCaseAscii(std::string text);
std::string LowerCaseAscii(std::string text);

// The part after the last '\', '/' or ':'.
std::string ExtractFileName(const std::string& path);
// From the last '.' of the file name to the end, dot included; empty without a dot.
std::string ExtractFileExt(const std::string& path);
// Everything up to and including the last '\', '/' or ':'.
std::string ExtractFilePath(const std::string& path);

// Appends one code point (at most U+10FFFF) as UTF-8, whose bytes keep the
// code points' order.
void AppendUtf8(std::string& out, char32_t codePoint);
