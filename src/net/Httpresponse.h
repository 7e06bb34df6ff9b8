#pragma once
// THttpResponseParser: one HTTP response as its bytes arrive, in pieces of
// any size. It does no input or output: its user feeds it what came, hears of
// each header line, the header's end and each block of the body through a
// sink, and tells it when the connection has ended.
//
// Accepts:
// - header lines ended by LF or CR LF;
// - a status line "HTTP/1.0 nnn phrase" or "HTTP/1.1 nnn phrase", the phrase
//   cut to its limit;
// - "name: value" fields, of which it takes Content-Length, Content-Type,
//   WWW-Authenticate, and Location after a status of 301, 302, 303, 307 or
//   308; the others are only handed on as lines;
// - one Content-Length (repeated only with the same value) of 1 to 18
//   decimal digits: the body then ends after that many bytes, and what
//   follows is no part of it; without one the body ends with the connection;
// - a line beginning "<HTML>" (any case) where a header line is awaited: the
//   header ends there, and the body begins with that line and its line end.
// Limits, per parser: the length of a header line (its CR included), of the
// whole header, and of the reason phrase kept.
// Rejects (Failed, with the error's number and text): a line or a header
// over its limit, a status line without three digits, a Content-Length that
// is not digits or differs from an earlier one, any Transfer-Encoding, and,
// once the connection has ended, a header that never ended and a body
// shorter than its Content-Length.
// Completes: with the body's last byte; at the end of a header with
// Content-Length 0 or with a Location to follow; after the header line that
// brought a status of 400 or more. Bytes fed after that are ignored.
// It holds at most one header line; the body is handed on from the caller's
// bytes without a copy.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The Error of OnRequestDone and the code of EHttpException; errors of the
// socket keep their Windows Sockets numbers (10060 for a time limit).
enum THttpError : uint16_t {
  httperrBusy = 1,
  httperrNothingToPost = 2,
  httperrAborted = 3,
  httperrLineTooLong = 4,
  httperrHeaderTooLong = 5,
  httperrBadStatusLine = 6,
  httperrBadContentLength = 7,
  httperrTransferEncoding = 8,
  httperrTruncated = 9,
  httperrTooManyRedirections = 10,
  httperrBadRedirection = 11,
  httperrBadURL = 12,
  httperrHeaderIncomplete = 13,
  httperrFailed = 14,
  httperrUnexpectedLength = 15,
  httperrTooLarge = 16,
};

enum class THttpPhase { Header, Body, Complete, Failed };

struct THttpResponseLimits {
  size_t MaxLine = 8192 + 1;
  int64_t MaxHeader = 65536;
  size_t MaxReason = 200;
};

// What the parser hands on, in the order of the response.
class THttpResponseSink {
public:
  // One header line without its line end, the status line among them, once
  // the parser has taken its fields.
  virtual void HeaderLine(const std::string& line) = 0;
  // The header has ended; Phase tells whether a body follows.
  virtual void HeaderEnd() = 0;
  // Bytes of the body, never beyond its Content-Length.
  virtual void BodyData(const char* data, size_t size) = 0;

protected:
  ~THttpResponseSink() = default;
};

class THttpResponseParser {
public:
  explicit THttpResponseParser(THttpResponseSink& sink, THttpResponseLimits limits = {});

  // Forgets the response: the next bytes begin a new one.
  void Reset();
  void Feed(const char* data, size_t size);
  // The connection has ended.
  void Finish();

  THttpPhase Phase() const { return FPhase; }
  // The failure's THttpError and text; 0 and empty unless Failed.
  uint16_t Error() const { return FError; }
  const std::string& ErrorText() const { return FErrorText; }

  // 0 until a status line has come.
  int StatusCode() const { return FStatusCode; }
  const std::string& ReasonPhrase() const { return FReasonPhrase; }
  // Content-Length, -1 without one.
  int64_t BodyLength() const { return FBodyLength; }
  int64_t BodyReceived() const { return FBodyReceived; }
  // Lower case; empty without one.
  const std::string& ContentType() const { return FContentType; }
  // The Location of a redirecting status, as the server wrote it.
  bool HasLocation() const { return FHasLocation; }
  const std::string& Location() const { return FLocation; }
  const std::vector<std::string>& AuthenticateValues() const { return FAuthenticateValues; }

private:
  void TakeLine();
  void TakeField();
  void EndHeader();
  void StartBodyWith(std::string& line);
  void DeliverBody(const char* data, size_t size);
  void Fail(uint16_t error, const std::string& text);

  THttpResponseSink& FSink;
  THttpResponseLimits FLimits;
  THttpPhase FPhase = THttpPhase::Header;
  uint16_t FError = 0;
  std::string FErrorText;
  std::string FLine;          // the header line so far, its CR included
  std::string FName, FValue;  // the field of the line being taken
  int64_t FHeaderBytes = 0;
  int FStatusCode = 0;
  std::string FReasonPhrase;
  int64_t FBodyLength = -1;
  int64_t FBodyReceived = 0;
  std::string FContentType;
  bool FHasLocation = false;
  std::string FLocation;
  std::vector<std::string> FAuthenticateValues;
};
