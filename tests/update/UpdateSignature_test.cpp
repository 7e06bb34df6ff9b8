// The update's signature check against releases signed by the maintainer's
// script (openssl) and keys it made.

#include "update/UpdateSignature.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "SigningData.h"
#include "framework/SysUtils.h"

namespace {

std::string Hex(const TSha256Digest& digest) {
  std::string out;
  for (const uint8_t b : digest) out += Format("%02x", b);
  return out;
}

std::span<const uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// The reason VerifyRelease gives, or "passed: <result>".
std::string Outcome(const TWfiRelease& release, TUpdateVerify policy, const std::string& key) {
  try {
    return std::string("passed: ") + (VerifyRelease(release, policy, key) ? "compare" : "no compare");
  } catch (const EUpdateVerifyError& e) {
    return e.Message();
  }
}

const std::string NoMatch = "The update's signature does not match";

}  // namespace

TEST(UpdateSignature_Sha256, KnownDigests) {
  EXPECT_EQ(Hex(Sha256(Bytes(""))), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Hex(Sha256(Bytes("abc"))), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(UpdateSignature_Sha256, PackageDigestIsThePagesOne) {
  EXPECT_EQ(Hex(Sha256(SignedPackage())), SignedRelease().ProductSHA256);
}

TEST(UpdateSignature_Sha256, PiecesOfOneAndSevenBytesGiveTheWholeDigest) {
  const std::vector<uint8_t> package = SignedPackage();
  const TSha256Digest whole = Sha256(package);
  for (const size_t piece : {size_t{1}, size_t{7}}) {
    TSha256 hash;
    for (size_t at = 0; at < package.size(); at += piece)
      hash.Update(std::span(package).subspan(at, std::min(piece, package.size() - at)));
    EXPECT_EQ(hash.Final(), whole) << piece;
    hash.Update(package);  // Final starts over
    EXPECT_EQ(hash.Final(), whole) << piece;
  }
}

TEST(UpdateSignature_VerifyRelease, SignedReleasePasses) {
  const TWfiRelease release = SignedRelease();
  EXPECT_EQ(release.ProductVersion, "1.0.1.0");
  EXPECT_EQ(release.RunParams, "/S /D=C:\\Programme\\Kal\xC3\xA9idon");
  EXPECT_EQ(Outcome(release, uvRequired, PublicKey("public.txt")), "passed: compare");
  EXPECT_EQ(Outcome(release, uvWhenPresent, PublicKey("public.txt")), "passed: compare");
}

TEST(UpdateSignature_VerifyRelease, AnotherKeysSignatureFails) {
  EXPECT_EQ(Outcome(SignedRelease(), uvRequired, PublicKey("other-public.txt")), NoMatch);
}

TEST(UpdateSignature_VerifyRelease, EverySignedValueIsCovered) {
  const std::string key = PublicKey("public.txt");
  std::string TWfiRelease::*fields[] = {&TWfiRelease::ProductVersion, &TWfiRelease::DownloadURL,
                                        &TWfiRelease::RunParams};
  for (auto field : fields) {
    TWfiRelease release = SignedRelease();
    release.*field += "0";
    EXPECT_EQ(Outcome(release, uvRequired, key), NoMatch) << release.*field;
  }
  TWfiRelease release = SignedRelease();
  release.ProductSHA256[0] = release.ProductSHA256[0] == '0' ? '1' : '0';
  EXPECT_EQ(Outcome(release, uvRequired, key), NoMatch);
  release = SignedRelease();
  char& c = release.ProductSignature[60];  // well inside: the encoding stays canonical
  c = c == 'A' ? 'B' : 'A';
  EXPECT_EQ(Outcome(release, uvRequired, key), NoMatch);
}

TEST(UpdateSignature_VerifyRelease, PolicyDecidesWhatIsRequired) {
  const std::string key = PublicKey("public.txt");
  TWfiRelease bare = SignedRelease();
  bare.ProductSHA256.clear();
  bare.ProductSignature.clear();
  EXPECT_EQ(Outcome(bare, uvNone, key), "passed: no compare");
  EXPECT_EQ(Outcome(bare, uvWhenPresent, key), "passed: no compare");
  EXPECT_EQ(Outcome(bare, uvRequired, key), "The update has no SHA-256 (KDNSHA256)");
  EXPECT_EQ(Outcome(SignedRelease(), uvRequired, ""), "No key is built in to verify the update");

  TWfiRelease unsigned_ = SignedRelease();
  unsigned_.ProductSignature.clear();
  EXPECT_EQ(Outcome(unsigned_, uvWhenPresent, key), "passed: compare");
  EXPECT_EQ(Outcome(unsigned_, uvRequired, key), "The update has no signature (KDNSignature)");

  TWfiRelease garbage = SignedRelease();
  garbage.ProductSignature = "not base64";
  EXPECT_EQ(Outcome(garbage, uvNone, key), "passed: no compare");
}

TEST(UpdateSignature_VerifyRelease, WithoutAKeyOnlyTheDigestIsChecked) {
  EXPECT_EQ(Outcome(SignedRelease(), uvWhenPresent, ""), "passed: compare");
  TWfiRelease noDigest = SignedRelease();
  noDigest.ProductSHA256.clear();
  EXPECT_EQ(Outcome(noDigest, uvWhenPresent, ""), "The update is signed without a SHA-256 (KDNSHA256)");
}

TEST(UpdateSignature_VerifyRelease, MalformedValuesFail) {
  const std::string key = PublicKey("public.txt");
  const std::string badSha = "The update's SHA-256 (KDNSHA256) is malformed";
  const std::string badSignature = "The update's signature (KDNSignature) is malformed";
  TWfiRelease r = SignedRelease();
  r.ProductSHA256.pop_back();
  EXPECT_EQ(Outcome(r, uvWhenPresent, key), badSha);
  r = SignedRelease();
  r.ProductSHA256[5] = 'g';
  EXPECT_EQ(Outcome(r, uvWhenPresent, key), badSha);
  for (const std::string& signature : {std::string("c2ln"), SignedRelease().ProductSignature.substr(4),
                                      SignedRelease().ProductSignature + "AAAA", std::string(88, '*')}) {
    r = SignedRelease();
    r.ProductSignature = signature;
    EXPECT_EQ(Outcome(r, uvWhenPresent, key), badSignature) << signature;
  }
  EXPECT_EQ(Outcome(SignedRelease(), uvRequired, "c2ln"), "The built-in update key is malformed");
}

TEST(UpdateSignature_VerifyP256, KeyOffTheCurveVerifiesNothing) {
  const TWfiRelease release = SignedRelease();
  std::string signature;
  ASSERT_TRUE(DecodeBase64(release.ProductSignature, signature));
  TP256Signature raw;
  std::copy(signature.begin(), signature.end(), raw.begin());
  TP256PublicKey zero{};
  EXPECT_FALSE(VerifyP256(zero, Bytes(SignedText(release)), raw));
}

TEST(UpdateSignature_VerifyPackage, DigestMustBeThePagesOne) {
  const TWfiRelease release = SignedRelease();
  std::vector<uint8_t> package = SignedPackage();
  EXPECT_NO_THROW(VerifyPackage(release, Sha256(package)));
  package.pop_back();
  try {
    VerifyPackage(release, Sha256(package));
    FAIL() << "no exception";
  } catch (const EUpdateVerifyError& e) {
    EXPECT_EQ(e.Message(), "The downloaded file's SHA-256 does not match the update's");
  }
}

TEST(UpdateSignature_DecodeBase64, CanonicalEncodingOnly) {
  std::string bytes;
  EXPECT_TRUE(DecodeBase64("", bytes));
  EXPECT_EQ(bytes, "");
  EXPECT_TRUE(DecodeBase64("Zg==", bytes));
  EXPECT_EQ(bytes, "f");
  EXPECT_TRUE(DecodeBase64("Zm8=", bytes));
  EXPECT_EQ(bytes, "fo");
  EXPECT_TRUE(DecodeBase64("Zm9v+/8A", bytes));
  EXPECT_EQ(bytes, std::string("foo\xFB\xFF\x00", 6));
  for (const char* text : {"Zh==", "Zm9=", "Zg=", "Z===", "=AAA", "Zg==Zg==", "Zm9v ", "Zm-v", "Zg=A"})
    EXPECT_FALSE(DecodeBase64(text, bytes)) << text;
}
