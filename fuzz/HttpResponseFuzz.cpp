// Feeds arbitrary bytes to the HTTP response parser as one response, whole
// and in pieces. Both must come to the same outcome (phase, error, status,
// header lines, body), the body must never pass its Content-Length, and
// nothing may crash, hang or overrun.
//
// Input: one byte that gives the size of the pieces (1 to 32), then the
// response.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/Httpresponse.h"

namespace {

// The header lines, each followed by a line feed, and a form feed for the
// header's end; the body apart.
struct TOutcome : THttpResponseSink {
  std::string Header;
  int HeaderEnds = 0;
  std::string Body;
  THttpPhase Phase = THttpPhase::Header;
  uint16_t Error = 0;
  int Status = 0;
  std::string Location;

  void HeaderLine(const std::string& line) override {
    Header += line;
    Header += '\n';
  }
  void HeaderEnd() override {
    ++HeaderEnds;
    Header += '\f';
  }
  void BodyData(const char* data, size_t size) override { Body.append(data, size); }

  bool operator==(const TOutcome& o) const {
    return Header == o.Header && Body == o.Body && Phase == o.Phase && Error == o.Error && Status == o.Status &&
           Location == o.Location;
  }
};

TOutcome Parse(const uint8_t* data, size_t size, size_t piece) {
  TOutcome outcome;
  THttpResponseParser parser(outcome);
  for (size_t at = 0; at < size; at += piece)
    parser.Feed(reinterpret_cast<const char*>(data + at), piece < size - at ? piece : size - at);
  parser.Finish();
  if (parser.BodyLength() >= 0 && int64_t(outcome.Body.size()) > parser.BodyLength()) std::abort();
  if (parser.BodyReceived() != int64_t(outcome.Body.size()) || outcome.HeaderEnds > 1) std::abort();
  outcome.Phase = parser.Phase();
  outcome.Error = parser.Error();
  outcome.Status = parser.StatusCode();
  outcome.Location = parser.Location();
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t piece = 1 + data[0] % 32;
  const TOutcome whole = Parse(data + 1, size - 1, size - 1);
  if (whole.Phase != THttpPhase::Complete && whole.Phase != THttpPhase::Failed) std::abort();
  if (!(Parse(data + 1, size - 1, piece) == whole)) std::abort();
  return 0;
}
