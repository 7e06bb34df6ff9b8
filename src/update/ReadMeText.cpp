#include "update/ReadMeText.h"

#include <cstdint>

namespace {

// Windows-1252's 0x80 to 0x9F; the rest of its upper half is Latin-1.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The length of the UTF-8 sequence at `at`, or 0 when none starts there.
size_t SequenceLength(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) { return at + i < text.size() ? uint8_t(text[at + i]) : 0; };
  const auto continuation = [&](size_t i) { return (byte(i) & 0xC0) == 0x80; };
  const uint8_t lead = byte(0);
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return continuation(1) ? 2 : 0;
  if (lead >= 0xE0 && lead <= 0xEF) {
    const uint8_t second = byte(1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F)) return 0;  // overlong, surrogate
    return continuation(1) && continuation(2) ? 3 : 0;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    const uint8_t second = byte(1);
    if ((lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) return 0;  // overlong, too high
    return continuation(1) && continuation(2) && continuation(3) ? 4 : 0;
  }
  return 0;
}

bool IsUtf8(std::string_view text) {
  for (size_t at = 0; at < text.size();) {
    const size_t length = SequenceLength(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

void AppendUtf8(std::string& out, char16_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | c >> 6);
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xE0 | c >> 12);
    out += char(0x80 | (c >> 6 & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string ReadMeText(std::string_view bytes) {
  constexpr std::string_view Bom = "\xEF\xBB\xBF";
  if (IsUtf8(bytes)) return std::string(bytes.starts_with(Bom) ? bytes.substr(Bom.size()) : bytes);
  std::string text;
  text.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = uint8_t(c);
    AppendUtf8(text, byte >= 0x80 && byte < 0xA0 ? Cp1252High[byte - 0x80] : char16_t(byte));
  }
  return text;
}
