// kaleidon-fetch: fetches one document with Kaleidon's HTTP client and writes
// its body to a file, so that the client can be driven from outside.
//
//   kaleidon-fetch [--proxy HOST:PORT] [--timeout SECONDS] URL OUTPUT
//
// Exit codes: 0 for a 2xx status whose body arrived whole; 1 otherwise (a
// status of 300 or more, no status line, any failure), with the client's
// error text on stderr and no OUTPUT left behind; 2 for bad usage.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "ToolMain.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/Streams.h"
#include "net/Httpprot.h"

namespace {

const char* const Usage = "usage: kaleidon-fetch [--proxy HOST:PORT] [--timeout SECONDS] URL OUTPUT\n";

struct Options {
  std::string url, output, proxy;
  std::optional<std::chrono::milliseconds> timeout;
};

bool ParseSeconds(const std::string& text, std::chrono::milliseconds& limit) {
  char* end = nullptr;
  const double seconds = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !(seconds > 0 && seconds <= 86400)) return false;
  limit = std::chrono::milliseconds(int64_t(seconds * 1000));
  return true;
}

bool Parse(const std::vector<std::string>& args, Options& options) {
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--proxy" && i + 1 < args.size()) {
      options.proxy = args[++i];
    } else if (args[i] == "--timeout" && i + 1 < args.size()) {
      std::chrono::milliseconds limit;
      if (!ParseSeconds(args[++i], limit)) return false;
      options.timeout = limit;
    } else if (args[i].rfind("--", 0) == 0) {
      return false;
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() != 2) return false;
  options.url = positional[0];
  options.output = positional[1];
  return true;
}

// The client's verdict: empty when the document arrived whole with a 2xx
// status, else the client's text (its own, or the server's phrase).
std::string Outcome(const THttpCli& client, uint16_t error) {
  if (error) return client.ReasonPhrase();
  if (client.StatusCode() == 0) return "No status line in the response";
  if (client.StatusCode() < 200 || client.StatusCode() >= 300) return client.ReasonPhrase();
  return {};
}

// The body goes to a file beside OUTPUT that becomes OUTPUT only on success.
int Run(const Options& options, TToolResult& result) {
  TApplication application;
  std::string escaped;
  application.OnException = TExceptionEvent([&](TObject*, const std::exception& e) { escaped = e.what(); });
  const std::string partial = options.output + ".part";
  std::string failure;
  {
    TFileStream body(partial);
    THttpCli client(&application);
    client.URL = options.url;
    client.Proxy = options.proxy;
    if (options.timeout) client.ConnectTimeLimit = client.ResponseTimeLimit = client.HeaderTimeLimit = *options.timeout;
    client.ReceiveStream = &body;
    bool done = false;
    uint16_t error = 0;
    client.OnRequestDone = THttpRequestDone([&](TObject*, THttpRequest, uint16_t e) {
      done = true;
      error = e;
    });
    client.GetASync();
    while (!done && escaped.empty()) application.HandleMessage();
    failure = escaped.empty() ? Outcome(client, error) : escaped;
  }
  if (failure.empty() && RenameFile(partial, options.output)) return 0;
  RemoveFile(partial);
  result.Err = (failure.empty() ? "Cannot rename the downloaded file" : failure) + "\n";
  return 1;
}

}  // namespace

int ToolMain(const std::vector<std::string>& args) {
  Options options;
  const bool parsed = Parse(args, options);
  return PrintResult(RunTool(Usage, parsed, [&](TToolResult& result) { return Run(options, result); }));
}
