// Feeds arbitrary bytes to the HTTP response parser as one response, whole
// and in pieces. Both must come to the same outcome (phase, error, status,
// header lines, body), the body must never pass its Content-Length, and
// nothing may crash, hang or overrun. As in the HTTP client, each parser is
// reset and used again for the next response.
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

struct TRun {
  TOutcome Outcome;
  THttpResponseParser Parser{Outcome};

  const TOutcome& Parse(const uint8_t* data, size_t size, size_t piece) {
    Outcome.Header.clear();
    Outcome.Body.clear();
    Outcome.HeaderEnds = 0;
    Parser.Reset();
    for (size_t at = 0; at < size; at += piece)
      Parser.Feed(reinterpret_cast<const char*>(data + at), piece < size - at ? piece : size - at);
    Parser.Finish();
    if (Parser.BodyLength() >= 0 && int64_t(Outcome.Body.size()) > Parser.BodyLength()) std::abort();
    if (Parser.BodyReceived() != int64_t(Outcome.Body.size()) || Outcome.HeaderEnds > 1) std::abort();
    Outcome.Phase = Parser.Phase();
    Outcome.Error = Parser.Error();
    Outcome.Status = Parser.StatusCode();
    Outcome.Location = Parser.Location();
    return Outcome;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TRun whole, pieces;
  if (size < 2) return 0;
  const size_t piece = 1 + data[0] % 32;
  const TOutcome& once = whole.Parse(data + 1, size - 1, size - 1);
  if (once.Phase != THttpPhase::Complete && once.Phase != THttpPhase::Failed) std::abort();
  if (!(pieces.Parse(data + 1, size - 1, piece) == once)) std::abort();
  return 0;
}
