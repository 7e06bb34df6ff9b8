#pragma once
// The lines of an HTTP response header, one at a time, without its line end.
//
// ParseStatusLine accepts a line whose first eight characters are exactly
// "HTTP/1.0" or "HTTP/1.1": the status is the three characters from the
// tenth, which must be decimal digits; the reason phrase is the text from
// the fourteenth character on, cut to MaxReason bytes. A line beginning so
// without three digits there is rejected (Bad); any other line is no
// status line.
//
// SplitHeaderLine accepts "name:value": the name is the text before the
// first colon, lower-cased; the value is the rest with spaces and tabs
// trimmed from both ends. A line without a colon is not a header field.
//
// ParseContentLength accepts 1 to 18 decimal digits and nothing else (no
// sign, no list, no spaces), so that the value always fits 64 bits.
//
// None of them allocates more than the line it is given.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

enum class TStatusLine { NotStatus, Status, Bad };

TStatusLine ParseStatusLine(std::string_view line, size_t maxReason, int& code, std::string& reason);
bool SplitHeaderLine(std::string_view line, std::string& name, std::string& value);
bool ParseContentLength(std::string_view value, int64_t& length);
