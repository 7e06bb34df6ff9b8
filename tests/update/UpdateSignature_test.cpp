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

// A moment before the test releases expire.
int64_t Now() {
  int64_t expires = 0;
  EXPECT_TRUE(ParseUtcTime(SignedRelease().ProductExpires, expires));
  return expires - 1;
}

// The reason VerifyRelease gives, or "passed" and whether it was signed.
std::string Outcome(const TWfiRelease& release, TUpdateVerify policy, const std::string& key,
                    const std::string& highest = "", int64_t now = Now()) {
  try {
    return VerifyRelease(release, {policy, key, now, highest}).Signed ? "passed, signed" : "passed";
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
  EXPECT_EQ(Outcome(release, uvRequired, PublicKey("public.txt")), "passed, signed");
  EXPECT_EQ(Outcome(release, uvWhenPresent, PublicKey("public.txt")), "passed, signed");
  const TVerifiedRelease verified = VerifyRelease(release, {uvRequired, PublicKey("public.txt"), Now(), ""});
  EXPECT_EQ(verified.PackageSize, int64_t(SignedPackage().size()));
  EXPECT_EQ(verified.Package, Sha256(SignedPackage()));
}

TEST(UpdateSignature_VerifyRelease, AnotherKeysSignatureFails) {
  EXPECT_EQ(Outcome(SignedRelease(), uvRequired, PublicKey("other-public.txt")), NoMatch);
}

TEST(UpdateSignature_VerifyRelease, SignatureWithoutTheLabelNeverVerifies) {
  EXPECT_EQ(Outcome(SignedRelease("release-unlabelled.html"), uvRequired, PublicKey("public.txt")), NoMatch);
}

TEST(UpdateSignature_VerifyRelease, EverySignedValueIsCovered) {
  const std::string key = PublicKey("public.txt");
  ASSERT_EQ(Outcome(SignedRelease("release-full.html"), uvRequired, key), "passed, signed");
  std::string TWfiRelease::*fields[] = {&TWfiRelease::ProductVersion, &TWfiRelease::DownloadURL,
                                        &TWfiRelease::RunParams,      &TWfiRelease::ProductSize,
                                        &TWfiRelease::ProductReadMe,  &TWfiRelease::ProductReadMeExt,
                                        &TWfiRelease::RedirectURL,    &TWfiRelease::ProductExpires};
  for (auto field : fields) {
    TWfiRelease release = SignedRelease("release-full.html");
    release.*field += "0";
    EXPECT_EQ(Outcome(release, uvRequired, key), NoMatch) << release.*field;
  }
  for (auto field : {&TWfiRelease::ProductSHA256, &TWfiRelease::ProductReadMeSHA256}) {
    TWfiRelease release = SignedRelease("release-full.html");
    char& c = (release.*field)[0];
    c = c == '0' ? '1' : '0';
    EXPECT_EQ(Outcome(release, uvRequired, key), NoMatch);
  }
  TWfiRelease release = SignedRelease();
  char& c = release.ProductSignature[60];  // well inside: the encoding stays canonical
  c = c == 'A' ? 'B' : 'A';
  EXPECT_EQ(Outcome(release, uvRequired, key), NoMatch);
}

TEST(UpdateSignature_VerifyRelease, PolicyDecidesWhatIsRequired) {
  const std::string key = PublicKey("public.txt");
  TWfiRelease bare = SignedRelease();
  bare.ProductSHA256.clear();
  bare.ProductSignature.clear();
  EXPECT_EQ(Outcome(bare, uvNone, key), "passed");
  EXPECT_EQ(Outcome(bare, uvWhenPresent, key), "passed");
  EXPECT_EQ(Outcome(bare, uvRequired, key), "The update has no SHA-256 (KDNSHA256)");
  EXPECT_EQ(Outcome(SignedRelease(), uvRequired, ""), "No key is built in to verify the update");

  TWfiRelease unsigned_ = SignedRelease();
  unsigned_.ProductSignature.clear();
  EXPECT_EQ(Outcome(unsigned_, uvWhenPresent, key), "passed");
  EXPECT_EQ(Outcome(unsigned_, uvRequired, key), "The update has no signature (KDNSignature)");

  TWfiRelease garbage = SignedRelease();
  garbage.ProductSignature = "not base64";
  EXPECT_EQ(Outcome(garbage, uvNone, key), "passed");
}

TEST(UpdateSignature_VerifyRelease, SignedPageNeedsWhatItsKindSigns) {
  const struct {
    std::string TWfiRelease::*Field;
    const char* Reason;
  } cases[] = {
      {&TWfiRelease::ProductSHA256, "The update has no SHA-256 (KDNSHA256)"},
      {&TWfiRelease::ProductSize, "The update has no size (KDNSize)"},
      {&TWfiRelease::ProductExpires, "The update has no expiry date (KDNExpires)"},
  };
  for (const auto& c : cases) {
    TWfiRelease release = SignedRelease();
    release.*c.Field = "";
    EXPECT_EQ(Outcome(release, uvWhenPresent, ""), c.Reason);
  }
  TWfiRelease redirect;
  redirect.RedirectURL = "http://host/next.htm";
  redirect.ProductSignature = SignedRelease().ProductSignature;
  EXPECT_EQ(Outcome(redirect, uvWhenPresent, ""), "The update has no expiry date (KDNExpires)");
  redirect.ProductExpires = SignedRelease().ProductExpires;
  EXPECT_EQ(Outcome(redirect, uvWhenPresent, ""), "passed");
}

TEST(UpdateSignature_VerifyRelease, WithoutAKeyTheSignatureIsNotChecked) {
  EXPECT_EQ(Outcome(SignedRelease(), uvWhenPresent, ""), "passed");
}

TEST(UpdateSignature_VerifyRelease, ExpiredOrOlderThanAVerifiedOneFails) {
  const std::string key = PublicKey("public.txt");
  const TWfiRelease release = SignedRelease();
  EXPECT_EQ(Outcome(release, uvRequired, key, "", Now() + 1),
            "The update information expired on " + release.ProductExpires);
  EXPECT_EQ(Outcome(release, uvRequired, key, "1.0.2"), "Version 1.0.1.0 is older than version 1.0.2 offered before");
  EXPECT_EQ(Outcome(release, uvRequired, key, "1.0.1"), "passed, signed");
  EXPECT_EQ(Outcome(release, uvRequired, key, "not a version"), "passed, signed");
}

TEST(UpdateSignature_VerifyRelease, MalformedValuesFail) {
  const std::string badSha = "The update's SHA-256 (KDNSHA256) is malformed";
  const std::string badSignature = "The update's signature (KDNSignature) is malformed";
  const struct {
    std::string TWfiRelease::*Field;
    std::string Value;
    std::string Reason;
  } cases[] = {
      {&TWfiRelease::ProductSHA256, SignedRelease().ProductSHA256.substr(1), badSha},
      {&TWfiRelease::ProductSHA256, "g" + SignedRelease().ProductSHA256.substr(1), badSha},
      {&TWfiRelease::ProductReadMeSHA256, "00", "The read-me's SHA-256 (KDNReadmeSHA256) is malformed"},
      {&TWfiRelease::ProductSize, "-1", "The update's size (KDNSize) is malformed"},
      {&TWfiRelease::ProductSize, "1234567890123456", "The update's size (KDNSize) is malformed"},
      {&TWfiRelease::ProductExpires, "2030-02-30T00:00:00Z", "The update's expiry date (KDNExpires) is malformed"},
      {&TWfiRelease::ProductSignature, "c2ln", badSignature},
      {&TWfiRelease::ProductSignature, SignedRelease().ProductSignature.substr(4), badSignature},
      {&TWfiRelease::ProductSignature, SignedRelease().ProductSignature + "AAAA", badSignature},
      {&TWfiRelease::ProductSignature, std::string(88, '*'), badSignature},
  };
  for (const auto& c : cases) {
    TWfiRelease r = SignedRelease();
    r.*c.Field = c.Value;
    EXPECT_EQ(Outcome(r, uvWhenPresent, ""), c.Reason) << c.Value;
  }
  EXPECT_EQ(Outcome(SignedRelease(), uvRequired, "c2ln"), "The built-in update key is malformed");
}

TEST(UpdateSignature_ParseUtcTime, UtcTimesOfOneFormOnly) {
  int64_t seconds = -1;
  EXPECT_TRUE(ParseUtcTime("1970-01-01T00:00:00Z", seconds));
  EXPECT_EQ(seconds, 0);
  EXPECT_TRUE(ParseUtcTime("2024-02-29T23:59:59Z", seconds));
  EXPECT_EQ(seconds, 1709251199);
  for (const char* text : {"2023-02-29T00:00:00Z", "2024-01-01T24:00:00Z", "2024-01-01 00:00:00Z",
                           "2024-01-01T00:00:00", "2024-1-01T00:00:00Z", "+024-01-01T00:00:00Z", ""})
    EXPECT_FALSE(ParseUtcTime(text, seconds)) << text;
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
  const TVerifiedRelease release = VerifyRelease(SignedRelease(), {uvRequired, PublicKey("public.txt"), Now(), ""});
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
