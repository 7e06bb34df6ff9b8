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

std::string SignedText(const TWfiRelease& release) {
  return release.ProductVersion + "\n" + release.DownloadURL + "\n" + release.ProductSHA256 + "\n" +
         release.RunParams;
}

bool VerifyRelease(const TWfiRelease& release, TUpdateVerify policy, const std::string& publicKey) {
  if (policy == uvNone) return false;
  const bool hasSha = !release.ProductSHA256.empty();
  const bool hasSignature = !release.ProductSignature.empty();
  if (policy == uvRequired) {
    if (publicKey.empty()) Fail("No key is built in to verify the update");
    if (!hasSha) Fail("The update has no SHA-256 (KDNSHA256)");
    if (!hasSignature) Fail("The update has no signature (KDNSignature)");
  }
  TSha256Digest digest;
  if (hasSha && !DecodeSha256(release.ProductSHA256, digest)) Fail("The update's SHA-256 (KDNSHA256) is malformed");
  if (!hasSignature) return hasSha;
  TP256Signature signature;
  if (!DecodeBase64Array(release.ProductSignature, signature))
    Fail("The update's signature (KDNSignature) is malformed");
  if (!hasSha) Fail("The update is signed without a SHA-256 (KDNSHA256)");
  if (publicKey.empty()) return true;
  TP256PublicKey key;
  if (!DecodeBase64Array(publicKey, key)) Fail("The built-in update key is malformed");
  const std::string text = SignedText(release);
  if (!VerifyP256(key, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), signature))
    Fail("The update's signature does not match");
  return true;
}

void VerifyPackage(const TWfiRelease& release, const TSha256Digest& digest) {
  TSha256Digest expected;
  if (!DecodeSha256(release.ProductSHA256, expected)) Fail("The update's SHA-256 (KDNSHA256) is malformed");
  if (digest != expected) Fail("The downloaded file's SHA-256 does not match the update's");
}
