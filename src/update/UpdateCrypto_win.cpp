#include <windows.h>

#include <algorithm>

#include "framework/Exceptions.h"
#include "framework/Handles_win.h"
#include "framework/SysUtils.h"
#include "update/UpdateCrypto.h"

namespace {

void Check(NTSTATUS status, const char* call) {
  if (!BCRYPT_SUCCESS(status))
    throw Exception(Format("Cryptography failed: %s: 0x%08lX", call, static_cast<unsigned long>(status)));
}

TBCryptAlgorithm OpenAlgorithm(const wchar_t* name) {
  TBCryptAlgorithm algorithm;
  Check(BCryptOpenAlgorithmProvider(algorithm.Receive(), name, nullptr, 0), "BCryptOpenAlgorithmProvider");
  return algorithm;
}

TBCryptHash CreateHash(const TBCryptAlgorithm& algorithm) {
  TBCryptHash hash;
  Check(BCryptCreateHash(algorithm.Get(), hash.Receive(), nullptr, 0, nullptr, 0, 0), "BCryptCreateHash");
  return hash;
}

// The key imported from its coordinates; none when CNG refuses them.
TBCryptKey ImportKey(const TBCryptAlgorithm& algorithm, const TP256PublicKey& key) {
  struct {
    BCRYPT_ECCKEY_BLOB Header;
    uint8_t Coordinates[64];
  } blob = {{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32}, {}};
  std::copy(key.begin(), key.end(), blob.Coordinates);
  TBCryptKey imported;
  BCryptImportKeyPair(algorithm.Get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, imported.Receive(),
                      reinterpret_cast<PUCHAR>(&blob), sizeof blob, 0);
  return imported;
}

}  // namespace

struct TSha256::TImpl {
  TBCryptAlgorithm Algorithm = OpenAlgorithm(BCRYPT_SHA256_ALGORITHM);
  TBCryptHash Hash = CreateHash(Algorithm);
};

TSha256::TSha256() : FImpl(std::make_unique<TImpl>()) {}

TSha256::~TSha256() = default;

void TSha256::Update(std::span<const uint8_t> bytes) {
  // BCryptHashData takes 32-bit lengths.
  while (!bytes.empty()) {
    const size_t piece = std::min<size_t>(bytes.size(), 1u << 30);
    Check(BCryptHashData(FImpl->Hash.Get(), const_cast<PUCHAR>(bytes.data()), ULONG(piece), 0), "BCryptHashData");
    bytes = bytes.subspan(piece);
  }
}

TSha256Digest TSha256::Final() {
  TSha256Digest digest;
  Check(BCryptFinishHash(FImpl->Hash.Get(), digest.data(), ULONG(digest.size()), 0), "BCryptFinishHash");
  FImpl->Hash = CreateHash(FImpl->Algorithm);
  return digest;
}

bool VerifyP256(const TP256PublicKey& key, std::span<const uint8_t> message, const TP256Signature& signature) {
  const TBCryptAlgorithm algorithm = OpenAlgorithm(BCRYPT_ECDSA_P256_ALGORITHM);
  const TBCryptKey publicKey = ImportKey(algorithm, key);
  if (!publicKey) return false;
  TSha256Digest digest = Sha256(message);
  TP256Signature copy = signature;
  return BCryptVerifySignature(publicKey.Get(), nullptr, digest.data(), ULONG(digest.size()), copy.data(),
                               ULONG(copy.size()), 0) == 0;
}
