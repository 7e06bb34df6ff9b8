#pragma once
// The check that an update is the maker's. A page signs, under
// "KDNSignature", with ECDSA P-256 and the key built into the program, a
// text that begins with the line "Kaleidon update v2" and goes on with one
// line "NAME=value" for each field that leads to a fetch, a launch or a
// decision, in this order: KDNRedirect, KDNVersion, KDNDownload, KDNSize,
// KDNSHA256, KDNRun, KDNReadme, KDNReadmeExt, KDNReadmeSHA256, KDNExpires
// (an absent field with an empty value); lines end with a line feed, the
// text is UTF-8. A release names its package's size and SHA-256; a page that
// only redirects to another needs neither.
// Accepts: KDNSHA256 and KDNReadmeSHA256 as exactly 64 hexadecimal digits,
// either case; KDNSize as 1 to 15 decimal digits; KDNExpires as
// YYYY-MM-DDTHH:MM:SSZ (UTC); KDNSignature and the public key as the base64
// (standard alphabet, with its padding, nothing around it) of exactly 64
// bytes: r and s, or X and Y, 32 bytes each, big-endian.
// Limits: the values as the page gives them, at most 1000 characters each.
// Rejects with EUpdateVerifyError naming the reason: a value that is
// required but missing, a malformed value, a signature that does not verify,
// information past its expiry, a version below the highest verified before,
// and a package or read-me document whose SHA-256 differs.

#include <cstdint>
#include <optional>
#include <string>

#include "framework/Exceptions.h"
#include "update/UpdateCrypto.h"
#include "update/UpdatePage.h"

class EUpdateVerifyError : public Exception {
  using Exception::Exception;
};

// How much of the check is made: none; what the page carries; everything,
// with every value required.
enum TUpdateVerify { uvNone, uvWhenPresent, uvRequired };

// The first line of every signed text: a signature made for anything else
// never verifies here.
inline constexpr char SignedLabel[] = "Kaleidon update v2";

// The text the signature covers.
std::string SignedText(const TWfiRelease& release);

struct TVerifyContext {
  TUpdateVerify Policy = uvWhenPresent;
  // The base64 of the key built in; empty when there is none.
  std::string PublicKey;
  // Seconds since 1 January 1970, UTC.
  int64_t Now = 0;
  // The highest version that verified before; empty when none did.
  std::string HighestVersion;
};

// What may be relied on once the page has passed.
struct TVerifiedRelease {
  // The signature verified with the key.
  bool Signed = false;
  std::optional<TSha256Digest> Package;
  int64_t PackageSize = -1;  // -1 when not given
  std::optional<TSha256Digest> ReadMeDocument;
};

// Checks a page as soon as it has been read. With uvNone nothing is checked
// and nothing is known; with uvWhenPresent the values given are checked (a
// signature only when a key is built in) and a signature requires the
// values it covers; with uvRequired a key, a signature and those values are
// required.
TVerifiedRelease VerifyRelease(const TWfiRelease& release, const TVerifyContext& context);

// Compares a downloaded file's digest with the one the page gave.
void VerifyPackage(const TVerifiedRelease& release, const TSha256Digest& digest);
void VerifyReadMeDocument(const TVerifiedRelease& release, const TSha256Digest& digest);

// Strict base64 decoding; false for anything but the canonical encoding.
bool DecodeBase64(const std::string& text, std::string& bytes);
// YYYY-MM-DDTHH:MM:SSZ as seconds since 1970 (UTC); false for any other text.
bool ParseUtcTime(const std::string& text, int64_t& seconds);
