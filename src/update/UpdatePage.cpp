#include "update/UpdatePage.h"

#include <algorithm>
#include <array>

#include "framework/SysUtils.h"

namespace {

constexpr std::string_view MetaMark = "META HTTP-EQUIV";
constexpr std::string_view ContentMark = "CONTENT=";
// Name and value are each looked for within this many characters.
constexpr size_t ValueWindow = 1000;

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

size_t FindIgnoringCase(std::string_view text, std::string_view upperNeedle) {
  const auto at = std::search(text.begin(), text.end(), upperNeedle.begin(), upperNeedle.end(),
                              [](char a, char b) { return UpperAscii(a) == b; });
  return at == text.end() ? std::string_view::npos : size_t(at - text.begin());
}

// The text from `start` up to the next double quote within the window; empty
// when no quote ends it there.
std::string_view QuotedFrom(std::string_view line, size_t start) {
  if (start >= line.size()) return {};
  const std::string_view window = line.substr(start, ValueWindow);
  const size_t quote = window.find('"');
  return quote == std::string_view::npos ? std::string_view() : window.substr(0, quote);
}

// The text with the blanks in front of it removed.
std::string_view TrimLeft(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

int32_t NumberOrZero(std::string_view text) { return StrToIntDef(std::string(TrimLeft(text)), 0); }

}  // namespace

TWfiTags ProductPageTags() {
  TWfiTags tags;
  tags.AuthorTag = "Author";
  tags.AuthorEMailTag = "AuthorEmail";
  tags.DateTag = "KDNDate";
  tags.DownloadTag = "KDNDownload";
  tags.ProductNameTag = "KDNName";
  tags.ReadMeTag = "KDNReadme";
  tags.ReadMeExtTag = "KDNReadmeExt";
  tags.RedirectTag = "KDNRedirect";
  tags.RunParamsTag = "KDNRun";
  tags.VersionTag = "KDNVersion";
  return tags;
}

std::string ExtractContent(std::string_view line) {
  const size_t match = line.find(ContentMark);
  // Past the mark and the opening quote (not tested); without the mark the
  // value is read as if the mark stood just before the line.
  const size_t start = match == std::string_view::npos ? ContentMark.size() : match + ContentMark.size() + 1;
  return std::string(QuotedFrom(line, start));
}

// The name starts past the mark, the equals sign and the opening quote (the
// two are not tested). An empty name, or one that no quote ends, names
// nothing: otherwise every tag left unset, the redirect's among them, would
// take such a line's value.
void ParseMetaLine(std::string_view line, const TWfiTags& tags, TWfiRelease& release) {
  const size_t match = FindIgnoringCase(line, MetaMark);
  if (match == std::string_view::npos) return;
  const std::string_view name = QuotedFrom(line, match + MetaMark.size() + 2);
  if (name.empty()) return;
  const std::pair<const std::string&, std::string&> targets[] = {
      {tags.AuthorTag, release.ProductAuthor},       {tags.AuthorEMailTag, release.ProductAuthorEMail},
      {tags.DateTag, release.ProductDateStr},        {tags.DownloadTag, release.DownloadURL},
      {tags.ProductNameTag, release.ProductName},    {tags.ReadMeTag, release.ProductReadMe},
      {tags.ReadMeExtTag, release.ProductReadMeExt}, {tags.RedirectTag, release.RedirectURL},
      {tags.RunParamsTag, release.RunParams},        {tags.VersionTag, release.ProductVersion},
  };
  for (const auto& [tag, target] : targets)
    if (tag == name) target = ExtractContent(line);
  const std::pair<const char*, std::string&> fixed[] = {
      {SizeMeta, release.ProductSize},
      {SHA256Meta, release.ProductSHA256},
      {ReadMeSHA256Meta, release.ProductReadMeSHA256},
      {ExpiresMeta, release.ProductExpires},
      {SignatureMeta, release.ProductSignature},
  };
  for (const auto& [meta, target] : fixed)
    if (name == meta) target = ExtractContent(line);
}

static void ConvertDate(TWfiDateFormat dateFormat, TWfiRelease& release) {
  if (!release.ProductDateStr.empty()) release.ProductDate = ConvertProductDate(release.ProductDateStr, dateFormat);
}

void ParseDocument(const TStringList& lines, const TWfiTags& tags, TWfiDateFormat dateFormat, TWfiRelease& release) {
  for (int i = 0; i < lines.Count(); ++i) ParseMetaLine(lines[i], tags, release);
  ConvertDate(dateFormat, release);
}

// Lines end at CR, LF or CR LF, as text is read into a list of lines; the
// lines are views into the page, nothing is copied.
void ParsePage(std::string_view page, size_t maxBytes, const TWfiTags& tags, TWfiDateFormat dateFormat,
               TWfiRelease& release) {
  if (page.size() > maxBytes)
    throw EUpdatePageError("Update information larger than " + std::to_string(maxBytes) + " bytes");
  while (!page.empty()) {
    const size_t end = std::min(page.find_first_of("\r\n"), page.size());
    ParseMetaLine(page.substr(0, end), tags, release);
    size_t next = end;
    if (next < page.size() && page[next] == '\r') ++next;
    if (next < page.size() && page[next] == '\n') ++next;
    if (next == end) break;
    page.remove_prefix(next);
  }
  ConvertDate(dateFormat, release);
}

// Month from the first three letters found anywhere in the month table, day
// from the two characters before the first comma, year from the last four.
TDateTime ConvertProductDate(std::string_view s, TWfiDateFormat format) {
  if (format != wfidDFSDate) return 0;
  constexpr std::string_view Months = "JANFEBMARAPRMAYJUNJULAUGSEPOCTNOVDEC";
  const std::string head = UpperCaseAscii(std::string(s.substr(0, 3)));
  const size_t at = head.empty() ? std::string_view::npos : Months.find(head);
  const int month = at == std::string_view::npos ? 0 : int(at + 3) / 3;
  const size_t comma = s.find(',');
  if (comma == std::string_view::npos || comma < 2 || s.size() < 4) return 0;
  const int day = NumberOrZero(s.substr(comma - 2, 2));
  const int year = NumberOrZero(s.substr(s.size() - 4));
  TDateTime date = 0;
  return TryEncodeDate(year, month, day, date) ? date : 0;
}

// Days counted from 1 March of year 0 of the proleptic Gregorian calendar.
static int64_t CivilDays(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2;
  const int64_t era = year / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  return era * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
  static constexpr std::array<int, 12> Lengths = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
  if (day > Lengths[size_t(month - 1)] + (month == 2 && leap)) return false;
  date = TDateTime(CivilDays(year, month, day) - CivilDays(1899, 12, 30));
  return true;
}

// Part by part, as far as the longer version goes: a missing part counts as
// 0, as does a part that is not a number, so that "1.2" is 1.2.0.0.
static bool BuildNumberNewer(std::string_view current, std::string_view offered) {
  for (;;) {
    const size_t currentDot = current.find('.');
    const size_t offeredDot = offered.find('.');
    const int32_t c = StrToIntDef(std::string(current.substr(0, currentDot)), 0);
    const int32_t o = StrToIntDef(std::string(offered.substr(0, offeredDot)), 0);
    if (c != o) return c < o;
    if (currentDot == std::string_view::npos && offeredDot == std::string_view::npos) return false;
    current = currentDot == std::string_view::npos ? std::string_view() : current.substr(currentDot + 1);
    offered = offeredDot == std::string_view::npos ? std::string_view() : offered.substr(offeredDot + 1);
  }
}

bool IsVersionNewer(const std::string& current, const std::string& offered, TWfiVersionFormat format) {
  switch (format) {
    case wfivBuildNumber: return BuildNumberNewer(current, offered);
    case wfivSimpleString: return offered > current;
  }
  return false;
}

// The parts of a version of dot-separated decimal numbers; false for any
// other text.
static bool VersionParts(std::string_view text, std::array<int32_t, 16>& parts) {
  parts.fill(0);
  for (size_t i = 0;; ++i) {
    const size_t dot = text.find('.');
    const std::string_view part = text.substr(0, dot);
    if (i == parts.size() || part.empty() || part.size() > 9) return false;
    if (!std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
    parts[i] = StrToIntDef(std::string(part), 0);
    if (dot == std::string_view::npos) return true;
    text.remove_prefix(dot + 1);
  }
}

bool VersionGoesUp(const std::string& current, const std::string& offered) {
  std::array<int32_t, 16> c, o;
  return VersionParts(current, c) && VersionParts(offered, o) && c < o;
}

bool VersionRaises(const std::string& highest, const std::string& version) {
  std::array<int32_t, 16> h, v;
  return VersionParts(version, v) && (!VersionParts(highest, h) || h < v);
}

// The name up to its first dot, without the blanks before the dot, decides:
// Windows opens the device for "nul .txt" as for "NUL".
bool IsDeviceName(std::string_view name) {
  static constexpr std::string_view Devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  // The digits after COM and LPT: 0 to 9 and the superscripts ¹, ² and ³ in UTF-8.
  static constexpr std::string_view Digits[] = {"0", "1", "2", "3",        "4",        "5",       "6",
                                                "7", "8", "9", "\xC2\xB9", "\xC2\xB2", "\xC2\xB3"};
  const std::string stem = UpperCaseAscii(std::string(name.substr(0, name.find('.'))));
  const std::string_view bare = std::string_view(stem).substr(0, stem.find_last_not_of(' ') + 1);
  if (std::find(std::begin(Devices), std::end(Devices), bare) != std::end(Devices)) return true;
  if (!bare.starts_with("COM") && !bare.starts_with("LPT")) return false;
  return std::find(std::begin(Digits), std::end(Digits), bare.substr(3)) != std::end(Digits);
}

std::string PlainFileName(std::string_view url) {
  url = url.substr(0, url.find_first_of("?#"));
  const size_t separator = url.find_last_of("/\\:");
  if (separator != std::string_view::npos) url.remove_prefix(separator + 1);
  std::string name;
  for (const char c : url)
    if (uint8_t(c) >= 0x20 && c != 0x7F && std::string_view("<>\"|*").find(c) == std::string_view::npos) name += c;
  name.erase(name.find_last_not_of(". ") + 1);
  if (IsDeviceName(name)) name = "_" + name;
  if (name.size() <= 255) return name;
  size_t cut = 255;
  while (cut > 0 && (uint8_t(name[cut]) & 0xC0) == 0x80) --cut;
  name.resize(cut);
  name.erase(name.find_last_not_of(". ") + 1);
  return name;
}

bool IsReadMeDocument(const std::string& fileName) {
  static constexpr std::string_view Kinds[] = {".txt", ".htm", ".html", ".rtf", ".pdf"};
  const std::string ext = LowerCaseAscii(ExtractFileExt(fileName));
  return std::find(std::begin(Kinds), std::end(Kinds), ext) != std::end(Kinds);
}
