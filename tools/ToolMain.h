#pragma once
// The frame of the command-line companions. Each one defines ToolMain, which
// the program's entry (ToolMain_posix.cpp, ToolMain_win.cpp) calls with the
// arguments in UTF-8; RunTool gives them all the same exit codes, and
// RunBatch runs many command lines in one process.

#include <cstdio>
#include <exception>
#include <functional>
#include <string>
#include <vector>

int ToolMain(const std::vector<std::string>& args);

// One run's exit code and what it has for standard output and error.
struct TToolResult {
  int Code = 0;
  std::string Out, Err;
};

// 2 with the usage in Err when the arguments did not parse; otherwise
// Run's code, or 1 with the message in Err when Run throws.
template <class Run>
TToolResult RunTool(const char* usage, bool parsed, Run run) {
  TToolResult result;
  if (!parsed) {
    result.Code = 2;
    result.Err = usage;
    return result;
  }
  try {
    result.Code = run(result);
  } catch (const std::exception& e) {
    result.Code = 1;
    result.Err += std::string(e.what()) + "\n";
  }
  return result;
}

// Writes the outputs to the standard streams; the exit code.
int PrintResult(const TToolResult& result);

// Reads command lines from `in` to its end, one per line, the arguments
// separated by tabs, and answers each on `out` with one line: the exit code,
// a tab, standard output, a tab, standard error, the two outputs escaped
// (\\, \n, \r, \t) so that the line stays one line in any stream mode.
// Returns 0.
int RunBatch(std::FILE* in, std::FILE* out, const std::function<TToolResult(const std::vector<std::string>&)>& run);
