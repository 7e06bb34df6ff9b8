#pragma once
// SHA-256 and the verification of ECDSA P-256 signatures, by the system's own
// cryptography: CNG (BCrypt) on Windows, OpenSSL's libcrypto elsewhere.
// Failures of the library itself raise Exception "Cryptography failed: ...".

#include <array>
#include <cstdint>
#include <memory>
#include <span>

using TSha256Digest = std::array<uint8_t, 32>;
// A P-256 public key as its two coordinates X and Y, 32 bytes each, big-endian.
using TP256PublicKey = std::array<uint8_t, 64>;
// A P-256 signature as r and s, 32 bytes each, big-endian.
using TP256Signature = std::array<uint8_t, 64>;

// SHA-256 of data given in pieces, as a download delivers it.
class TSha256 {
public:
  TSha256();
  ~TSha256();
  TSha256(const TSha256&) = delete;
  TSha256& operator=(const TSha256&) = delete;

  void Update(std::span<const uint8_t> bytes);
  // The digest of everything given; the object then starts over.
  TSha256Digest Final();

private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};

inline TSha256Digest Sha256(std::span<const uint8_t> bytes) {
  TSha256 hash;
  hash.Update(bytes);
  return hash.Final();
}

// True when the signature is the key's over the SHA-256 of the message; false
// too for a key that is not a point of the curve.
bool VerifyP256(const TP256PublicKey& key, std::span<const uint8_t> message, const TP256Signature& signature);
