#include "update/UpdateSignature.h"

#include <algorithm>

namespace {

constexpr std::string_view Base64Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool DecodeSha256(const std::string& text, TSha256Digest& digest) {
  if (text.size() != 2 * digest.size()) return false;
  for (size_t i = 0; i < digest.size(); ++i) {
    const int high = HexDigit(text[2 * i]), low = HexDigit(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    digest[i] = uint8_t(high << 4 | low);
  }
  return true;
}

template <size_t N>
bool DecodeBase64Array(const std::string& text, std::array<uint8_t, N>& out) {
  std::string bytes;
  if (!DecodeBase64(text, bytes) || bytes.size() != N) return false;
  std::copy(bytes.begin(), bytes.end(), out.begin());
  return true;
}

[[noreturn]] void Fail(const std::string& reason) { throw EUpdateVerifyError(reason); }

bool IsDigits(const std::string& text, size_t from, size_t count) {
  for (size_t i = from; i < from + count; ++i)
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return false;
  return true;
}

int Number(const std::string& text, size_t from, size_t count) { return std::stoi(text.substr(from, count)); }

// The values a page that is signed (or that must be) cannot do without; a
// page that only redirects names no package.
void RequireValues(const TWfiRelease& release, bool signatureRequired) {
  if (release.RedirectURL.empty()) {
    if (release.ProductSHA256.empty()) Fail("The update has no SHA-256 (KDNSHA256)");
    if (release.ProductSize.empty()) Fail("The update has no size (KDNSize)");
  }
  if (release.ProductExpires.empty()) Fail("The update has no expiry date (KDNExpires)");
  if (signatureRequired && release.ProductSignature.empty()) Fail("The update has no signature (KDNSignature)");
}

std::optional<TSha256Digest> Digest(const std::string& text, const char* malformed) {
  if (text.empty()) return std::nullopt;
  TSha256Digest digest;
  if (!DecodeSha256(text, digest)) Fail(malformed);
  return digest;
}

int64_t Size(const std::string& text) {
  if (text.empty()) return -1;
  if (text.size() > 15 || !IsDigits(text, 0, text.size())) Fail("The update's size (KDNSize) is malformed");
  return std::stoll(text);
}

// False when there is no key to check the signature with.
bool SignatureVerifies(const TWfiRelease& release, const std::string& publicKey) {
  TP256Signature signature;
  if (!DecodeBase64Array(release.ProductSignature, signature))
    Fail("The update's signature (KDNSignature) is malformed");
  if (publicKey.empty()) return false;
  TP256PublicKey key;
  if (!DecodeBase64Array(publicKey, key)) Fail("The built-in update key is malformed");
  const std::string text = SignedText(release);
  if (!VerifyP256(key, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), signature))
    Fail("The update's signature does not match");
  return true;
}

void CheckExpiry(const std::string& expires, int64_t now) {
  if (expires.empty()) return;
  int64_t until = 0;
  if (!ParseUtcTime(expires, until)) Fail("The update's expiry date (KDNExpires) is malformed");
  if (now >= until) Fail("The update information expired on " + expires);
}

// A captured older release cannot be brought back once a newer one verified.
void CheckNotOlder(const std::string& version, const std::string& highest) {
  if (!highest.empty() && VersionGoesUp(version, highest))
    Fail("Version " + version + " is older than version " + highest + " offered before");
}

void CheckDigest(const std::optional<TSha256Digest>& expected, const TSha256Digest& digest, const char* what) {
  if (!expected || digest != *expected)
    Fail(std::string("The downloaded ") + what + "'s SHA-256 does not match the update's");
}

}  // namespace

// A group of four characters gives three bytes; "=" pads only the last
// group, and the bits it leaves over must be zero, so that each byte string
// has one encoding.
bool DecodeBase64(const std::string& text, std::string& bytes) {
  bytes.clear();
  if (text.size() % 4 != 0) return false;
  for (size_t group = 0; group < text.size(); group += 4) {
    const bool last = group + 4 == text.size();
    const size_t padding = last ? (text[group + 3] == '=') + (text[group + 2] == '=') : 0;
    if (padding == 1 && text[group + 2] == '=') return false;
    uint32_t bits = 0;
    for (size_t i = 0; i < 4; ++i) {
      const size_t value = i >= 4 - padding ? 0 : Base64Alphabet.find(text[group + i]);
      if (value == std::string_view::npos) return false;
      bits = bits << 6 | uint32_t(value);
    }
    if ((padding == 1 && (bits & 0xFF) != 0) || (padding == 2 && (bits & 0xFFFF) != 0)) return false;
    for (size_t i = 0; i < 3 - padding; ++i) bytes += char(bits >> (16 - 8 * i) & 0xFF);
  }
  return true;
}

bool ParseUtcTime(const std::string& text, int64_t& seconds) {
  if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':' ||
      text[19] != 'Z')
    return false;
  for (const size_t at : {0, 5, 8, 11, 14, 17})
    if (!IsDigits(text, at, at == 0 ? 4 : 2)) return false;
  const int hour = Number(text, 11, 2), minute = Number(text, 14, 2), second = Number(text, 17, 2);
  TDateTime date = 0;
  if (!TryEncodeDate(Number(text, 0, 4), Number(text, 5, 2), Number(text, 8, 2), date) || hour > 23 || minute > 59 ||
      second > 59)
    return false;
  constexpr int64_t UnixEpoch = 25569;  // 1 January 1970 as days since 30 December 1899
  seconds = (int64_t(date) - UnixEpoch) * 86400 + int64_t(hour) * 3600 + int64_t(minute) * 60 + second;
  return true;
}

std::string SignedText(const TWfiRelease& release) {
  const std::pair<const char*, const std::string&> lines[] = {
      {"KDNRedirect", release.RedirectURL},
      {"KDNVersion", release.ProductVersion},
      {"KDNDownload", release.DownloadURL},
      {SizeMeta, release.ProductSize},
      {SHA256Meta, release.ProductSHA256},
      {"KDNRun", release.RunParams},
      {"KDNReadme", release.ProductReadMe},
      {"KDNReadmeExt", release.ProductReadMeExt},
      {ReadMeSHA256Meta, release.ProductReadMeSHA256},
      {ExpiresMeta, release.ProductExpires},
  };
  std::string text = SignedLabel;
  for (const auto& [name, value] : lines) text += std::string("\n") + name + "=" + value;
  return text;
}

// The signature is checked before anything it covers is believed: the
// expiry and the version come after it.
TVerifiedRelease VerifyRelease(const TWfiRelease& release, const TVerifyContext& context) {
  TVerifiedRelease verified;
  if (context.Policy == uvNone) return verified;
  const bool required = context.Policy == uvRequired;
  if (required && context.PublicKey.empty()) Fail("No key is built in to verify the update");
  if (required || !release.ProductSignature.empty()) RequireValues(release, required);
  verified.Package = Digest(release.ProductSHA256, "The update's SHA-256 (KDNSHA256) is malformed");
  verified.PackageSize = Size(release.ProductSize);
  verified.ReadMeDocument = Digest(release.ProductReadMeSHA256, "The read-me's SHA-256 (KDNReadmeSHA256) is malformed");
  if (!release.ProductSignature.empty()) verified.Signed = SignatureVerifies(release, context.PublicKey);
  CheckExpiry(release.ProductExpires, context.Now);
  CheckNotOlder(release.ProductVersion, context.HighestVersion);
  return verified;
}

void VerifyPackage(const TVerifiedRelease& release, const TSha256Digest& digest) {
  CheckDigest(release.Package, digest, "file");
}

void VerifyReadMeDocument(const TVerifiedRelease& release, const TSha256Digest& digest) {
  CheckDigest(release.ReadMeDocument, digest, "read-me");
}
