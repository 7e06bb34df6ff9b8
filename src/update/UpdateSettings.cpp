#include "update/UpdateSettings.h"

#include <algorithm>
#include <optional>

#include "framework/SysUtils.h"

// Given by the build (the cache values KALEIDON_UPDATE_URL and
// KALEIDON_UPDATE_PUBLIC_KEY).
const std::string& DefaultUpdateURL() {
  static const std::string url = KALEIDON_UPDATE_URL;
  return url;
}

const std::string& BuiltInUpdateKey() {
  static const std::string key = KALEIDON_UPDATE_PUBLIC_KEY;
  return key;
}

bool IsHttpURL(const std::string& url) { return url.size() >= 7 && LowerCaseAscii(url.substr(0, 7)) == "http://"; }

namespace {

bool IsHostName(const std::string& host) {
  return !host.empty() && std::all_of(host.begin(), host.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-';
  });
}

void ParseProxy(const std::string& text, TUpdateSettings& settings) {
  if (text.size() > 255) return;
  const size_t colon = text.find(':');
  const std::string host = text.substr(0, colon);
  const std::string port = colon == std::string::npos ? "80" : text.substr(colon + 1);
  const int32_t number = port.empty() || port[0] < '0' || port[0] > '9' ? 0 : StrToIntDef(port, 0);
  if (!IsHostName(host) || number < 1 || number > 65535) return;
  settings.ProxyHost = host;
  settings.ProxyPort = number;
}

std::optional<TUpdateVerify> VerifyLevel(const std::string& text) {
  if (text == "0") return uvNone;
  if (text == "1") return uvWhenPresent;
  if (text == "2") return uvRequired;
  return std::nullopt;
}

}  // namespace

TUpdateSettings ParseUpdateSettings(const TUpdateSettingTexts& texts, bool keyBuiltIn) {
  TUpdateSettings settings;
  if (IsHttpURL(texts.URL)) settings.HomeURL = texts.URL;
  ParseProxy(texts.Proxy, settings);
  if (const auto policy = VerifyLevel(texts.PolicyVerify))
    settings.Verify = *policy;
  else if (keyBuiltIn)
    settings.Verify = uvRequired;
  else
    settings.Verify = VerifyLevel(texts.Verify).value_or(uvWhenPresent);
  const bool digits = !texts.Timeout.empty() && texts.Timeout[0] >= '0' && texts.Timeout[0] <= '9';
  const int32_t seconds = digits ? StrToIntDef(texts.Timeout, 0) : 0;
  if (seconds >= 1 && seconds <= 3600) settings.TimeLimitSeconds = seconds;
  return settings;
}
