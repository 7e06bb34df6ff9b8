#include "net/Httpresponse.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TParsed : THttpResponseSink {
  std::vector<std::string> Lines;
  std::string Body;
  THttpPhase Phase = THttpPhase::Header;
  int Status = 0;
  std::string Error;

  void HeaderLine(const std::string& line) override { Lines.push_back(line); }
  void HeaderEnd() override { Lines.push_back("(end)"); }
  void BodyData(const char* data, size_t size) override { Body.append(data, size); }
  bool operator==(const TParsed& o) const {
    return Lines == o.Lines && Body == o.Body && Phase == o.Phase && Status == o.Status && Error == o.Error;
  }
};

// The response fed in pieces of that size; then the connection ends.
TParsed Parse(const std::string& response, size_t piece) {
  TParsed parsed;
  THttpResponseParser parser(parsed);
  for (size_t at = 0; at < response.size(); at += piece)
    parser.Feed(response.data() + at, std::min(piece, response.size() - at));
  parser.Finish();
  parsed.Phase = parser.Phase();
  parsed.Status = parser.StatusCode();
  parsed.Error = parser.ErrorText();
  return parsed;
}

}  // namespace

TEST(THttpResponseParser_Feed, WholeAndInPiecesOfOneAndSevenBytesAlike) {
  const struct {
    std::string Response;
    int Status;
    std::string Body, Error;
  } cases[] = {
      {"HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello and more", 200, "hello", ""},
      {"HTTP/1.1 200 OK\nServer: x\n\nuntil the end", 200, "until the end", ""},
      {"<html>\r\nno header\r\n", 0, "<html>\r\nno header\r\n", ""},
      {"HTTP/1.0 404 Not Found\r\nContent-Length: 3\r\n\r\nnot", 404, "", ""},
      {"HTTP/1.0 301 Moved\r\nLocation: /x\r\n\r\nold", 301, "", ""},
      {"HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\nextra", 200, "", ""},
      {"HTTP/1.0 200 OK\r\nContent-Length: 9\r\n\r\nshort", 200, "short", "Document truncated: 5 of 9 bytes received"},
      {"HTTP/1.0 2x0 OK\r\n\r\n", 0, "", "Bad status line"},
      {"HTTP/1.0 200 OK\r\nContent-Length: -1\r\n\r\n", 200, "", "Bad Content-Length"},
      {"HTTP/1.0 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", 200, "", "Transfer-Encoding not supported"},
      {"HTTP/1.0 200 OK\r\nX: " + std::string(8190, 'x') + "\r\n\r\n", 200, "", "HTTP line too long"},
      {"HTTP/1.0 200 OK\r\n", 200, "", "Connection closed before the header ended"},
  };
  for (const auto& c : cases) {
    const TParsed whole = Parse(c.Response, c.Response.size());
    EXPECT_EQ(whole.Status, c.Status) << c.Response.substr(0, 40);
    EXPECT_EQ(whole.Body, c.Body) << c.Response.substr(0, 40);
    EXPECT_EQ(whole.Error, c.Error) << c.Response.substr(0, 40);
    EXPECT_EQ(whole.Phase, c.Error.empty() ? THttpPhase::Complete : THttpPhase::Failed);
    EXPECT_EQ(Parse(c.Response, 1), whole) << c.Response.substr(0, 40);
    EXPECT_EQ(Parse(c.Response, 7), whole) << c.Response.substr(0, 40);
  }
}

TEST(THttpResponseParser_Feed, FieldsOfTheResponse) {
  TParsed parsed;
  THttpResponseParser parser(parsed);
  const std::string response =
      "HTTP/1.1 302 Found\r\nLocation:  http://h/n \r\nContent-Type: Text/HTML\r\nWWW-Authenticate: Basic\r\n\r\n";
  parser.Feed(response.data(), response.size());
  EXPECT_EQ(parser.Phase(), THttpPhase::Complete);
  EXPECT_EQ(parser.ReasonPhrase(), "Found");
  EXPECT_TRUE(parser.HasLocation());
  EXPECT_EQ(parser.Location(), "http://h/n");
  EXPECT_EQ(parser.ContentType(), "text/html");
  EXPECT_EQ(parser.AuthenticateValues(), std::vector<std::string>{"Basic"});
  parser.Reset();
  EXPECT_EQ(parser.Phase(), THttpPhase::Header);
  EXPECT_FALSE(parser.HasLocation());
}
