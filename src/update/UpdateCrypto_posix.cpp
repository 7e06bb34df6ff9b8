#include <openssl/core_names.h>
#include <openssl/ecdsa.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/Exceptions.h"
#include "update/UpdateCrypto.h"

namespace {

template <auto Free>
struct TFreeBy {
  template <class T>
  void operator()(T* object) const {
    Free(object);
  }
};
using TMdContext = std::unique_ptr<EVP_MD_CTX, TFreeBy<&EVP_MD_CTX_free>>;
using TPkey = std::unique_ptr<EVP_PKEY, TFreeBy<&EVP_PKEY_free>>;
using TPkeyContext = std::unique_ptr<EVP_PKEY_CTX, TFreeBy<&EVP_PKEY_CTX_free>>;
using TEcdsaSig = std::unique_ptr<ECDSA_SIG, TFreeBy<&ECDSA_SIG_free>>;
using TBignum = std::unique_ptr<BIGNUM, TFreeBy<&BN_free>>;

[[noreturn]] void Fail(const char* call) {
  char reason[256] = "";
  ERR_error_string_n(ERR_get_error(), reason, sizeof reason);
  ERR_clear_error();
  throw Exception(std::string("Cryptography failed: ") + call + ": " + reason);
}

void Check(int result, const char* call) {
  if (result != 1) Fail(call);
}

// The key imported from its coordinates; none when they are no point of the curve.
TPkey ImportKey(const TP256PublicKey& key) {
  uint8_t point[65] = {4};  // uncompressed
  std::copy(key.begin(), key.end(), point + 1);
  OSSL_PARAM params[] = {
      OSSL_PARAM_construct_utf8_string(OSSL_PKEY_PARAM_GROUP_NAME, const_cast<char*>("prime256v1"), 0),
      OSSL_PARAM_construct_octet_string(OSSL_PKEY_PARAM_PUB_KEY, point, sizeof point), OSSL_PARAM_construct_end()};
  TPkeyContext context(EVP_PKEY_CTX_new_from_name(nullptr, "EC", nullptr));
  if (!context) Fail("EVP_PKEY_CTX_new_from_name");
  Check(EVP_PKEY_fromdata_init(context.get()), "EVP_PKEY_fromdata_init");
  EVP_PKEY* imported = nullptr;
  if (EVP_PKEY_fromdata(context.get(), &imported, EVP_PKEY_PUBLIC_KEY, params) != 1) {
    ERR_clear_error();
    return nullptr;
  }
  return TPkey(imported);
}

// OpenSSL takes the signature DER-encoded.
std::vector<uint8_t> DerSignature(const TP256Signature& signature) {
  TBignum r(BN_bin2bn(signature.data(), 32, nullptr));
  TBignum s(BN_bin2bn(signature.data() + 32, 32, nullptr));
  TEcdsaSig sig(ECDSA_SIG_new());
  if (!r || !s || !sig) Fail("ECDSA_SIG_new");
  Check(ECDSA_SIG_set0(sig.get(), r.release(), s.release()), "ECDSA_SIG_set0");
  const int size = i2d_ECDSA_SIG(sig.get(), nullptr);
  if (size <= 0) Fail("i2d_ECDSA_SIG");
  std::vector<uint8_t> der(static_cast<size_t>(size));
  uint8_t* out = der.data();
  i2d_ECDSA_SIG(sig.get(), &out);
  return der;
}

}  // namespace

struct TSha256::TImpl {
  TMdContext Context{EVP_MD_CTX_new()};
};

TSha256::TSha256() : FImpl(std::make_unique<TImpl>()) {
  if (!FImpl->Context) Fail("EVP_MD_CTX_new");
  Check(EVP_DigestInit_ex(FImpl->Context.get(), EVP_sha256(), nullptr), "EVP_DigestInit_ex");
}

TSha256::~TSha256() = default;

void TSha256::Update(std::span<const uint8_t> bytes) {
  Check(EVP_DigestUpdate(FImpl->Context.get(), bytes.data(), bytes.size()), "EVP_DigestUpdate");
}

TSha256Digest TSha256::Final() {
  TSha256Digest digest;
  unsigned size = 0;
  Check(EVP_DigestFinal_ex(FImpl->Context.get(), digest.data(), &size), "EVP_DigestFinal_ex");
  Check(EVP_DigestInit_ex(FImpl->Context.get(), EVP_sha256(), nullptr), "EVP_DigestInit_ex");
  return digest;
}

bool VerifyP256(const TP256PublicKey& key, std::span<const uint8_t> message, const TP256Signature& signature) {
  const TPkey publicKey = ImportKey(key);
  if (!publicKey) return false;
  const std::vector<uint8_t> der = DerSignature(signature);
  TMdContext context(EVP_MD_CTX_new());
  if (!context) Fail("EVP_MD_CTX_new");
  Check(EVP_DigestVerifyInit(context.get(), nullptr, EVP_sha256(), nullptr, publicKey.get()), "EVP_DigestVerifyInit");
  const int result = EVP_DigestVerify(context.get(), der.data(), der.size(), message.data(), message.size());
  ERR_clear_error();
  return result == 1;
}
