#pragma once
// THttpCli: one HTTP/1.0 GET at a time over the asynchronous socket,
// directly or through a proxy. It never blocks: each step runs on a socket
// notification or a message to its own hidden window, and OnRequestDone
// announces the end of every request, whatever the server does.
//
// What it accepts of a response, and what it refuses, is the response
// parser's (Httpresponse.h), with header lines of at most 8 KiB, a header of
// at most 64 KiB and reason phrases cut to 200 bytes. Beyond that:
// - a Location is resolved against the address just fetched; at most 10 are
//   followed, only to http addresses, never to the address just fetched;
// - time limits: connecting (with the host lookup), silence while waiting
//   for the response, the whole header, and, when the caller sets one, the
//   whole request; each ends the request with "Connection timed out";
// - when the caller expects a body of a known length, a Content-Length that
//   differs, a body that grows past it and one that ends short of it;
// - credentials (from the address, or Username and Password) go only to the
//   address's origin, never to another after a Location, and are forgotten
//   when the request ends.
// A failure ends the request with StatusCode 404, the error's text in
// ReasonPhrase and a non-zero Error in OnRequestDone (except for a lookup
// that failed, whose Error is 0); a server's status of 400 or more ends it
// with that status and phrase after the status line. Unless a length is
// expected, the body has no limit of its own: the caller's stream decides.
//
// Built for the update check: GET only (no POST or HEAD), no If-Modified-Since,
// and the synchronous Get waits on the application's message loop.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Events.h"
#include "framework/Exceptions.h"
#include "net/Httpresponse.h"
#include "net/Httpurl.h"

class TCustomWSocket;
class TMessageWindow;
class TStream;
class TTimer;
struct TMessage;

enum THttpState {
  httpReady,
  httpNotConnected,
  httpConnected,
  httpDnsLookup,
  httpDnsLookupDone,
  httpWaitingHeader,
  httpWaitingBody,
  httpAborting
};
enum THttpRequest { httpAbort, httpGET, httpPOST, httpHEAD };
enum THttpEncoding { encUUEncode, encBase64, encMime };

class EHttpException : public Exception {
public:
  EHttpException(const std::string& message, uint16_t code) : Exception(message), FCode(code) {}
  uint16_t Code() const { return FCode; }

private:
  uint16_t FCode;
};

using THttpRequestDone = TEvent<THttpRequest, uint16_t>;
// A block of the body: its bytes and their count.
using TDocDataEvent = TEvent<const void*, int>;
using TOnCommand = TEvent<const std::string&>;

class THttpCli : public TComponent, private THttpResponseSink {
public:
  explicit THttpCli(TComponent* AOwner);
  // With a socket of the caller's (a test's stand-in), which the client owns.
  THttpCli(TComponent* AOwner, std::unique_ptr<TCustomWSocket> socket);
  ~THttpCli() override;

  std::string URL;
  // Proxy host (it may be written as a URL); empty for a direct connection.
  std::string Proxy;
  std::string ProxyPort = "80";
  std::string Sender, Agent, Reference, Username, Password, ProxyUsername, ProxyPassword, Cookie;
  bool NoCache = false;
  // Where the body goes; the caller owns it.
  TStream* ReceiveStream = nullptr;
  std::chrono::milliseconds ConnectTimeLimit{30000};
  std::chrono::milliseconds ResponseTimeLimit{30000};
  std::chrono::milliseconds HeaderTimeLimit{60000};
  // The whole request, from its start to its end; 0 for none.
  std::chrono::milliseconds RequestTimeLimit{0};
  // The length the document must have, or -1 for any.
  int64_t ExpectedBodyLength = -1;

  TNotifyEvent OnSessionConnected, OnHeaderData, OnHeaderBegin, OnHeaderEnd, OnRequestHeaderBegin, OnRequestHeaderEnd,
      OnDocBegin, OnDocEnd, OnStateChange, OnLocationChange;
  TOnCommand OnCommand;
  TDocDataEvent OnDocData;
  THttpRequestDone OnRequestDone;

  // Starts a GET of URL and returns at once; EHttpException "HTTP component
  // is busy" (code 1) while a request runs.
  void GetASync();
  // The same, waiting in the application's message loop until it is done;
  // EHttpException with ReasonPhrase and StatusCode when that is 400 or more.
  void Get();
  // Ends the running request: OnRequestDone with Error 3, StatusCode 404 and
  // "Connection aborted on request".
  void Abort();

  THttpState State() const { return FState; }
  int StatusCode() const { return FStatusCode; }
  const std::string& ReasonPhrase() const { return FReasonPhrase; }
  int64_t ContentLength() const { return FContentLength; }
  // This response's Content-Length, -1 when it has none (ContentLength then
  // still holds an earlier response's).
  int64_t BodyLength() const { return FParser.BodyLength(); }
  const std::string& ContentType() const { return FContentType; }
  int64_t ReceivedBytes() const { return FReceivedBytes; }
  const std::string& DocumentName() const { return FDocumentName; }
  const std::vector<std::string>& ReceivedHeaders() const { return FReceivedHeaders; }
  const std::vector<std::string>& AuthenticateValues() const { return FAuthenticateValues; }
  bool Connected() const { return FConnected; }

private:
  void WndProc(TMessage& message);
  void DoRequestAsync(THttpRequest request);
  void Login();
  void SocketDNSLookupDone(TObject* sender, uint16_t error);
  void SocketSessionConnected(TObject* sender, uint16_t error);
  void SocketDataAvailable(TObject* sender, uint16_t error);
  void SocketSessionClosed(TObject* sender, uint16_t error);
  void LocationSessionClosed(TObject* sender, uint16_t error);
  void SendCommand(const std::string& line);
  void SendRequest(const std::string& method, const std::string& version);
  void Receive();
  void HeaderLine(const std::string& line) override;
  void HeaderEnd() override;
  void BodyData(const char* data, size_t size) override;
  void TakeResponseFields();
  void ActOnResponse();
  void FollowLocation();
  void EndOfConnection(uint16_t error);
  bool BodyLengthExpected();
  void StateChange(THttpState newState);
  void SetReady();
  void EndWith(uint16_t error, const std::string& text, bool lookingUp);
  void Fail(uint16_t error, const std::string& text);
  template <class Step>
  void Guarded(Step step);
  void SetTarget(const THttpTarget& target);
  void TakeCredentials(const std::string& user, const std::string& pass, const THttpTarget& target);
  void CheckTimeLimits();
  void ArmTimer();

  std::unique_ptr<TCustomWSocket> FSocket;
  std::unique_ptr<TMessageWindow> FWindow;
  TTimer* FTimer;

  THttpState FState = httpReady;
  THttpRequest FRequestType = httpGET;
  uint16_t FRequestDoneError = 0;
  int FStatusCode = 0;
  std::string FReasonPhrase;
  int64_t FContentLength = 0;
  std::string FContentType;
  int64_t FReceivedBytes = 0;
  std::string FDocumentName;
  std::vector<std::string> FReceivedHeaders;
  std::vector<std::string> FAuthenticateValues;
  bool FConnected = false;

  THttpTarget FTarget;      // the document being fetched
  THttpTarget FNextTarget;  // where a Location leads
  bool FLocationPending = false;
  int FRedirections = 0;
  bool FUseProxy = false;
  std::string FConnectHost, FConnectPort, FHostHeader, FRequestPath;
  // "user:password" of this request, and the only origin it goes to.
  std::string FCredentials, FCredentialsOrigin;
  std::string FRequestBuffer;

  // The response being received.
  THttpResponseParser FParser;
  std::vector<char> FReceiveBuffer;
  int FHeaderLineCount = 0;
  int FBodyChunkCount = 0;
  bool FReceiving = false;  // SocketDataAvailable is running

  // The end of the request: its outcome is decided (Failed), it is ending
  // (Ending), the socket closes because the client closes it (Closing).
  bool FFailed = false;
  bool FEnding = false;
  bool FClosing = false;

  using TClock = std::chrono::steady_clock;
  TClock::time_point FConnectBy, FHeaderBy, FResponseBy, FRequestBy, FArmedFor;
};

// Base64 (encBase64, encMime) or one uuencoded line (encUUEncode) of S.
std::string EncodeStr(THttpEncoding encoding, const std::string& s);
// With Count -1: the position (from 1) of the last occurrence of the
// one-character Sub in S, or 0; with any other Count, 0.
int Posn(const std::string& sub, const std::string& s, int count);
