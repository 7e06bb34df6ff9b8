#pragma once
// The product information page: the META lines that describe the latest
// release, the release date, the comparison of versions, and the file names
// taken from the page's addresses.
// Accepts: a page of text lines (ended by CR, LF or CR LF; the last may have
// no end). A line holding "META HTTP-EQUIV" in any case names a tag: the name
// starts 17 characters after the match (the equals sign and the opening
// quote are not tested) and ends before the next double quote within 1000
// characters; its value starts 9 characters after the first "CONTENT=" in
// capitals (or at the line's ninth character without one) and ends before
// the next double quote within 1000 characters (empty without one). Only
// the first META of a line counts. Names match case-sensitively; a tag name
// left empty names nothing. What makes the release verifiable stands under
// fixed names: the package's size ("KDNSize") and SHA-256 ("KDNSHA256"), the
// read-me document's SHA-256 ("KDNReadmeSHA256"), the date the information
// expires ("KDNExpires") and the signature ("KDNSignature").
// Limits: the page's size, per call; every line is read once, its values
// are at most 1000 characters each.
// Rejects: a page larger than its limit (EUpdatePageError). Dates and
// versions are never rejected: what cannot be read converts to 0.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/Exceptions.h"
#include "framework/StringList.h"

// Days since 30 December 1899; the fraction is the time of day.
using TDateTime = double;

class EUpdatePageError : public Exception {
  using Exception::Exception;
};

// The META names to look for, each filling one property of the release.
struct TWfiTags {
  std::string AuthorTag;       // ProductAuthor
  std::string AuthorEMailTag;  // ProductAuthorEMail
  std::string DateTag;         // ProductDateStr, ProductDate
  std::string DownloadTag;     // DownloadURL
  std::string ProductNameTag;  // ProductName
  std::string ReadMeTag;       // ProductReadMe
  std::string ReadMeExtTag;    // ProductReadMeExt
  std::string RedirectTag;     // RedirectURL
  std::string RunParamsTag;    // RunParams
  std::string VersionTag;      // ProductVersion
};

// The names the product's own page uses, which the update dialog sets.
TWfiTags ProductPageTags();

enum TWfiDateFormat { wfidDFSDate, wfidNone };
enum TWfiVersionFormat { wfivBuildNumber, wfivSimpleString };

inline constexpr char SizeMeta[] = "KDNSize";
inline constexpr char SHA256Meta[] = "KDNSHA256";
inline constexpr char ReadMeSHA256Meta[] = "KDNReadmeSHA256";
inline constexpr char ExpiresMeta[] = "KDNExpires";
inline constexpr char SignatureMeta[] = "KDNSignature";

// What a page says of the latest release.
struct TWfiRelease {
  std::string DownloadURL;
  std::string ProductName;
  std::string ProductAuthor;
  std::string ProductAuthorEMail;
  TDateTime ProductDate = 0;
  std::string ProductDateStr;
  std::string ProductReadMe;
  std::string ProductReadMeExt;
  std::string ProductVersion;
  std::string RedirectURL;
  std::string RunParams;
  std::string ProductSize;
  std::string ProductSHA256;
  std::string ProductReadMeSHA256;
  std::string ProductExpires;
  std::string ProductSignature;
};

// Fills the release from one line of the page.
void ParseMetaLine(std::string_view line, const TWfiTags& tags, TWfiRelease& release);
// Fills the release from every line, first to last, then converts the date.
void ParseDocument(const TStringList& lines, const TWfiTags& tags, TWfiDateFormat dateFormat, TWfiRelease& release);
// The same over a whole page of at most maxBytes bytes.
void ParsePage(std::string_view page, size_t maxBytes, const TWfiTags& tags, TWfiDateFormat dateFormat,
               TWfiRelease& release);

// The CONTENT value of one META line.
std::string ExtractContent(std::string_view line);

// A date written as month name, day and year ("Jan 15, 1999"); 0 with
// wfidNone, and for a text that gives no existing date.
TDateTime ConvertProductDate(std::string_view s, TWfiDateFormat format);
// The date of a year, month and day; false when there is no such day.
bool TryEncodeDate(int year, int month, int day, TDateTime& date);

// True when `offered` is newer than `current` by the format's comparison:
// with wfivBuildNumber part by part, numbers between the dots, a missing
// part or one that is no number counting as 0; with wfivSimpleString byte
// by byte.
bool IsVersionNewer(const std::string& current, const std::string& offered, TWfiVersionFormat format);
// The stricter comparison that decides an installation: both versions are
// dot-separated decimal numbers (at most 16 parts of at most 9 digits),
// compared part by part with missing parts as 0, and `offered` is greater.
// Text in any other form is never newer.
bool VersionGoesUp(const std::string& current, const std::string& offered);
// Whether `version`, a version of numbers as VersionGoesUp takes them, is
// above `highest`; a `highest` that is empty or no such version is below
// every version.
bool VersionRaises(const std::string& highest, const std::string& version);

// The file name an address gives, reduced to a plain file name: without
// query or fragment; the part after the last "/", "\\" or ":" (so no path,
// drive or stream); without the characters Windows does not allow in names
// and without trailing dots and blanks (so "." and ".." give ""); a device
// name gets a "_" in front; at most 255 bytes, cut between UTF-8 characters.
std::string PlainFileName(std::string_view url);
// True for the names Windows keeps for devices, in every form it knows:
// CON, PRN, AUX, NUL, COM0 to COM9, LPT0 to LPT9, COM and LPT with a
// superscript 1, 2 or 3, CONIN$ and CONOUT$, in any case, with any
// extension and with blanks before it.
bool IsDeviceName(std::string_view name);
// True for the kinds of read-me document that are opened: .txt, .htm,
// .html, .rtf and .pdf, in any case.
bool IsReadMeDocument(const std::string& fileName);
