#include "net/Httpresponse.h"

#include <algorithm>
#include <cstring>

#include "framework/SysUtils.h"
#include "net/Httphead.h"

namespace {

bool IsRedirection(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool StartsWithHtmlTag(const std::string& line) {
  static constexpr char Tag[] = "<HTML>";
  if (line.size() < 6) return false;
  for (size_t i = 0; i < 6; ++i)
    if ((line[i] >= 'a' && line[i] <= 'z' ? char(line[i] - 'a' + 'A') : line[i]) != Tag[i]) return false;
  return true;
}

}  // namespace

THttpResponseParser::THttpResponseParser(THttpResponseSink& sink, THttpResponseLimits limits)
    : FSink(sink), FLimits(limits) {}

void THttpResponseParser::Reset() {
  FPhase = THttpPhase::Header;
  FError = 0;
  FErrorText.clear();
  FLine.clear();
  FHeaderBytes = 0;
  FStatusCode = 0;
  FReasonPhrase.clear();
  FBodyLength = -1;
  FBodyReceived = 0;
  FContentType.clear();
  FHasLocation = false;
  FLocation.clear();
  FAuthenticateValues.clear();
}

// A line too long fails as soon as its bytes have come, whether or not its
// end is among them. Each sink call may end the response (a sink that fails
// the request, a status of 400 or more), so the phase is asked again after it.
void THttpResponseParser::Feed(const char* data, size_t size) {
  while (size > 0 && FPhase == THttpPhase::Header) {
    const auto* lineFeed = static_cast<const char*>(std::memchr(data, '\n', size));
    const size_t length = lineFeed ? size_t(lineFeed - data) : size;
    if (FLine.size() + length > FLimits.MaxLine) return Fail(httperrLineTooLong, "HTTP line too long");
    FLine.append(data, length);
    if (!lineFeed) return;
    data += length + 1;
    size -= length + 1;
    TakeLine();
  }
  if (FPhase == THttpPhase::Body) DeliverBody(data, size);
}

void THttpResponseParser::Finish() {
  if (FPhase == THttpPhase::Header) return Fail(httperrHeaderIncomplete, "Connection closed before the header ended");
  if (FPhase != THttpPhase::Body) return;
  if (FBodyLength > FBodyReceived)
    return Fail(httperrTruncated, Format("Document truncated: %lld of %lld bytes received", (long long)FBodyReceived,
                                         (long long)FBodyLength));
  FPhase = THttpPhase::Complete;
}

// The line is taken where it was gathered, so that its room serves the next.
void THttpResponseParser::TakeLine() {
  FHeaderBytes += int64_t(FLine.size() + 1);
  if (FHeaderBytes > FLimits.MaxHeader) return Fail(httperrHeaderTooLong, "HTTP header too long");
  if (StartsWithHtmlTag(FLine)) return StartBodyWith(FLine);
  if (!FLine.empty() && FLine.back() == '\r') FLine.pop_back();
  if (FLine.empty()) return EndHeader();
  switch (ParseStatusLine(FLine, FLimits.MaxReason, FStatusCode, FReasonPhrase)) {
    case TStatusLine::Bad: return Fail(httperrBadStatusLine, "Bad status line");
    case TStatusLine::Status: break;
    case TStatusLine::NotStatus:
      if (SplitHeaderLine(FLine, FName, FValue)) TakeField();
      if (FPhase == THttpPhase::Failed) return;
      break;
  }
  if (FStatusCode >= 400) FPhase = THttpPhase::Complete;
  FSink.HeaderLine(FLine);
  FLine.clear();
}

// Only a redirecting status makes a Location count.
void THttpResponseParser::TakeField() {
  const std::string& name = FName;
  const std::string& value = FValue;
  if (name == "location") {
    if (!IsRedirection(FStatusCode)) return;
    FHasLocation = true;
    FLocation = value;
  } else if (name == "content-type") {
    FContentType = LowerCaseAscii(value);
  } else if (name == "www-authenticate") {
    FAuthenticateValues.push_back(value);
  } else if (name == "transfer-encoding") {
    Fail(httperrTransferEncoding, "Transfer-Encoding not supported");
  } else if (name == "content-length") {
    int64_t length = 0;
    if (!ParseContentLength(value, length)) return Fail(httperrBadContentLength, "Bad Content-Length");
    if (FBodyLength >= 0 && FBodyLength != length) return Fail(httperrBadContentLength, "Conflicting Content-Length");
    FBodyLength = length;
  }
}

// A response that redirects is done with its header: its body is not the document.
void THttpResponseParser::EndHeader() {
  FPhase = FHasLocation || FBodyLength == 0 ? THttpPhase::Complete : THttpPhase::Body;
  FSink.HeaderEnd();
}

// A reply that starts (or goes on) with an HTML tag instead of header lines
// is body from that line on, its line end included.
void THttpResponseParser::StartBodyWith(std::string& line) {
  if (FContentType.empty()) FContentType = "text/html";
  FPhase = THttpPhase::Body;
  FSink.HeaderEnd();
  line += '\n';
  if (FPhase == THttpPhase::Body) DeliverBody(line.data(), line.size());
  line.clear();
}

void THttpResponseParser::DeliverBody(const char* data, size_t size) {
  if (FBodyLength >= 0) size = size_t(std::min<int64_t>(int64_t(size), FBodyLength - FBodyReceived));
  FBodyReceived += int64_t(size);
  if (FBodyReceived == FBodyLength) FPhase = THttpPhase::Complete;
  if (size > 0) FSink.BodyData(data, size);
}

void THttpResponseParser::Fail(uint16_t error, const std::string& text) {
  if (FPhase == THttpPhase::Failed) return;
  FPhase = THttpPhase::Failed;
  FError = error;
  FErrorText = text;
}
