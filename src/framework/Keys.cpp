#include "framework/Keys.h"

#include <vector>

#include "framework/SysUtils.h"

namespace {

struct TKeyName {
  const char* Name;
  uint32_t Key;
};

constexpr TKeyName NamedKeys[] = {
    {"Backspace", 0x08},   {"Tab", 0x09},       {"Enter", 0x0D},        {"Pause", 0x13},     {"Escape", 0x1B},
    {"Space", 0x20},       {"PageUp", 0x21},    {"PageDown", 0x22},     {"End", 0x23},       {"Home", 0x24},
    {"Left", 0x25},        {"Up", 0x26},        {"Right", 0x27},        {"Down", 0x28},      {"PrintScreen", 0x2C},
    {"Insert", 0x2D},      {"Delete", 0x2E},    {"NumMultiply", 0x6A},  {"NumAdd", 0x6B},    {"NumSubtract", 0x6D},
    {"NumDecimal", 0x6E},  {"NumDivide", 0x6F}, {"ScrollLock", 0x91},   {"Semicolon", 0xBA}, {"Plus", 0xBB},
    {"Comma", 0xBC},       {"Minus", 0xBD},     {"Period", 0xBE},       {"Slash", 0xBF},     {"Backquote", 0xC0},
    {"LeftBracket", 0xDB}, {"Backslash", 0xDC}, {"RightBracket", 0xDD}, {"Quote", 0xDE},
};

constexpr TKeyName Modifiers[] = {{"Ctrl", hkCtrl}, {"Alt", hkAlt}, {"Shift", hkShift}, {"Win", hkWin}};

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The number after a prefix ("F12", "Num3", "Key200") within 1 to max; 0 otherwise.
uint32_t NumberAfter(const std::string& upper, const std::string& prefix, uint32_t max) {
  if (upper.size() <= prefix.size() || upper.size() > prefix.size() + 3 ||
      upper.compare(0, prefix.size(), prefix) != 0 || upper[prefix.size()] == '0')
    return 0;
  uint32_t n = 0;
  for (size_t i = prefix.size(); i < upper.size(); ++i) {
    if (upper[i] < '0' || upper[i] > '9') return 0;
    n = n * 10 + uint32_t(upper[i] - '0');
  }
  return n <= max ? n : 0;
}

uint32_t KeyOfName(const std::string& name) {
  const std::string upper = UpperCaseAscii(name);
  if (upper.size() == 1 && ((upper[0] >= 'A' && upper[0] <= 'Z') || (upper[0] >= '0' && upper[0] <= '9')))
    return uint32_t(upper[0]);
  for (const TKeyName& key : NamedKeys)
    if (upper == UpperCaseAscii(key.Name)) return key.Key;
  if (const uint32_t f = NumberAfter(upper, "F", 24)) return 0x6F + f;
  if (upper.size() == 4 && upper.compare(0, 3, "NUM") == 0 && upper[3] >= '0' && upper[3] <= '9')
    return 0x60 + uint32_t(upper[3] - '0');
  return NumberAfter(upper, "KEY", 254);
}

std::string NameOfKey(uint32_t key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, char(key));
  if (key >= 0x70 && key <= 0x87) return Format("F%u", unsigned(key - 0x6F));
  if (key >= 0x60 && key <= 0x69) return Format("Num%u", unsigned(key - 0x60));
  for (const TKeyName& named : NamedKeys)
    if (named.Key == key) return named.Name;
  return Format("Key%u", unsigned(key));
}

std::vector<std::string> Parts(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t plus; (plus = text.find('+', start)) != std::string::npos; start = plus + 1)
    parts.push_back(Trimmed(text.substr(start, plus - start)));
  parts.push_back(Trimmed(text.substr(start)));
  return parts;
}

}  // namespace

bool ParseHotkey(const std::string& text, THotkey& hotkey) {
  if (Trimmed(text).empty()) {
    hotkey = {};
    return true;
  }
  const std::vector<std::string> parts = Parts(text);
  THotkey parsed;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    uint32_t modifier = 0;
    for (const TKeyName& m : Modifiers)
      if (UpperCaseAscii(parts[i]) == UpperCaseAscii(m.Name)) modifier = m.Key;
    if (modifier == 0 || (parsed.Modifiers & modifier)) return false;
    parsed.Modifiers |= modifier;
  }
  parsed.Key = KeyOfName(parts.back());
  if (parsed.Key == 0) return false;
  hotkey = parsed;
  return true;
}

std::string HotkeyText(const THotkey& hotkey) {
  if (hotkey.Empty()) return {};
  std::string text;
  for (const TKeyName& m : Modifiers)
    if (hotkey.Modifiers & m.Key) text += std::string(m.Name) + "+";
  return text + NameOfKey(hotkey.Key);
}
