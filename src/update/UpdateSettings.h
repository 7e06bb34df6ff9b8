#pragma once
// The update checker's settings, read where the update dialog is made: the
// product page's address ("Update URL", default built in), the proxy
// ("Update Proxy"), how much of an update is verified ("Update Verify": the
// user's only without a key built in; an administrator's machine-wide
// policy always), the network's time limit ("Update Timeout"), and the
// highest version whose signature verified ("Update Highest Version",
// written by the checker alone).
// Accepts: an address beginning with "http://" in any case; a proxy as a
// host name or IPv4 address (letters, digits, "." and "-"), optionally
// followed by ":" and a port from 1 to 65535; the verify levels "0", "1"
// and "2"; a time limit of 1 to 3600 whole seconds.
// Limits: a proxy setting of at most 255 characters.
// Rejects, without a message: any other address (no page: updates are off),
// any other proxy (a direct connection), any other level (the default: "2"
// when a key is built in, else "1"), any other time limit (the HTTP
// client's own).

#include <string>

#include "update/UpdateSignature.h"

inline constexpr char UpdateURLSetting[] = "Update URL";
inline constexpr char UpdateProxySetting[] = "Update Proxy";
inline constexpr char UpdateVerifySetting[] = "Update Verify";
inline constexpr char UpdateTimeoutSetting[] = "Update Timeout";
inline constexpr char UpdateHighestVersionSetting[] = "Update Highest Version";
// Where the machine's policy keeps its "Update Verify", under the local machine.
inline constexpr char UpdatePolicyKey[] = "Software\\Policies\\Trellwick\\Kaleidon";

// The address given at build time; empty when none was.
const std::string& DefaultUpdateURL();
// The public key given at build time (base64 of X and Y); empty when none was.
const std::string& BuiltInUpdateKey();

// True for an address the checker fetches: at least 7 characters, the first
// seven "http://" in any case.
bool IsHttpURL(const std::string& url);

struct TUpdateSettings {
  std::string HomeURL;
  std::string ProxyHost;  // empty: a direct connection
  int ProxyPort = 80;
  TUpdateVerify Verify = uvWhenPresent;
  // Connecting, a silent server and the whole header are each limited to
  // this; 0 leaves the HTTP client's own limits.
  int TimeLimitSeconds = 0;
};

// The texts of the settings as the store gives them, each read with its
// built-in default (DefaultUpdateURL(), "", "", "") so that an absent value
// takes it; PolicyVerify is the machine's policy, empty without one.
struct TUpdateSettingTexts {
  std::string URL{}, Proxy{}, Verify{}, Timeout{}, PolicyVerify{};
};

// The settings from their texts. The policy's level wins; without one, a
// key built in means "2" whatever the user's setting says, and no key the
// user's level.
TUpdateSettings ParseUpdateSettings(const TUpdateSettingTexts& texts, bool keyBuiltIn);
