#include "net/Httphead.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

TStatusLine ParseStatusLine(std::string_view line, size_t maxReason, int& code, std::string& reason) {
  if (line.substr(0, 8) != "HTTP/1.0" && line.substr(0, 8) != "HTTP/1.1") return TStatusLine::NotStatus;
  if (line.size() < 12 || !IsDigit(line[9]) || !IsDigit(line[10]) || !IsDigit(line[11])) return TStatusLine::Bad;
  code = (line[9] - '0') * 100 + (line[10] - '0') * 10 + (line[11] - '0');
  reason.assign(line.size() > 13 ? line.substr(13, maxReason) : std::string_view());
  return TStatusLine::Status;
}

bool SplitHeaderLine(std::string_view line, std::string& name, std::string& value) {
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) return false;
  name.assign(line.substr(0, colon));
  for (char& c : name)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  std::string_view rest = line.substr(colon + 1);
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) rest.remove_suffix(1);
  value.assign(rest);
  return true;
}

bool ParseContentLength(std::string_view value, int64_t& length) {
  if (value.empty() || value.size() > 18) return false;
  int64_t result = 0;
  for (const char c : value) {
    if (!IsDigit(c)) return false;
    result = result * 10 + (c - '0');
  }
  length = result;
  return true;
}
