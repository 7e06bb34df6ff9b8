#include "ToolMain.h"

int PrintResult(const TToolResult& result) {
  std::fputs(result.Out.c_str(), stdout);
  std::fputs(result.Err.c_str(), stderr);
  return result.Code;
}

namespace {

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return out;
}

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> args(1);
  for (char c : line) {
    if (c == '\t')
      args.emplace_back();
    else
      args.back() += c;
  }
  return args;
}

// A line without its end; a text-mode stream on Windows may leave a \r.
bool ReadLine(std::FILE* in, std::string& line) {
  line.clear();
  int c;
  while ((c = std::fgetc(in)) != EOF && c != '\n') line += char(c);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return c != EOF || !line.empty();
}

}  // namespace

int RunBatch(std::FILE* in, std::FILE* out, const std::function<TToolResult(const std::vector<std::string>&)>& run) {
  std::string line;
  while (ReadLine(in, line)) {
    const TToolResult result = run(Split(line));
    std::fprintf(out, "%d\t%s\t%s\n", result.Code, Escaped(result.Out).c_str(), Escaped(result.Err).c_str());
    std::fflush(out);
  }
  return 0;
}
