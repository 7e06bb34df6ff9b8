#pragma once
// The key pairs and the signed release that the maintainer's script made
// when the tests were built (tests/update/signing-data.sh).

#include <string>
#include <vector>

#include "framework/Files.h"
#include "update/UpdatePage.h"

inline std::string SigningFile(const std::string& name) {
  const std::vector<uint8_t> bytes = ReadWholeFile(std::string(KALEIDON_SIGNING_DATA) + "/" + name);
  return std::string(bytes.begin(), bytes.end());
}

// A public key as the script prints it, without its line end.
inline std::string PublicKey(const std::string& name) {
  std::string key = SigningFile(name);
  while (!key.empty() && (key.back() == '\n' || key.back() == '\r')) key.pop_back();
  return key;
}

// A signed release as the page gives it: release.html, release-full.html
// (with the read-me's fields) or release-unlabelled.html.
inline TWfiRelease SignedRelease(const std::string& name = "release.html") {
  TWfiRelease release;
  ParsePage(SigningFile(name), size_t{1} << 20, ProductPageTags(), wfidDFSDate, release);
  return release;
}

inline std::vector<uint8_t> SignedPackage() { return ReadWholeFile(KALEIDON_SIGNED_PACKAGE); }
