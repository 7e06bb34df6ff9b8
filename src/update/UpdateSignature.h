#pragma once
// The check that an update is the maker's. The page gives the package's
// SHA-256 under "KDNSHA256" and signs the release under "KDNSignature": an
// ECDSA P-256 signature by the key built into the program over the version,
// the download address, the SHA-256 (as the page writes it) and the run
// parameters, joined by line feeds, in UTF-8.
// Accepts: KDNSHA256 as exactly 64 hexadecimal digits, either case;
// KDNSignature and the public key as the base64 (standard alphabet, with
// its padding, nothing around it) of exactly 64 bytes: r and s, or X and Y,
// 32 bytes each, big-endian.
// Limits: the values as the page gives them, at most 1000 characters each.
// Rejects with EUpdateVerifyError naming the reason: a value that is
// required but missing, a malformed value, a signature that does not verify,
// a package whose SHA-256 differs.

#include <string>

#include "framework/Exceptions.h"
#include "update/UpdateCrypto.h"
#include "update/UpdatePage.h"

class EUpdateVerifyError : public Exception {
  using Exception::Exception;
};

// How much of the check is made: none; what the page carries; everything,
// with both values required.
enum TUpdateVerify { uvNone, uvWhenPresent, uvRequired };

// The text the signature covers.
std::string SignedText(const TWfiRelease& release);

// Checks the release before its package is fetched. With uvWhenPresent the
// SHA-256 is checked when given and the signature when given and a key is
// built in; with uvRequired both must be there and a key too. `publicKey` is
// the base64 of the key, empty when none is built in. True when the
// package's SHA-256 must then be compared (VerifyPackage).
bool VerifyRelease(const TWfiRelease& release, TUpdateVerify policy, const std::string& publicKey);

// Compares the downloaded package's digest with the release's SHA-256.
void VerifyPackage(const TWfiRelease& release, const TSha256Digest& digest);

// Strict base64 decoding; false for anything but the canonical encoding.
bool DecodeBase64(const std::string& text, std::string& bytes);
