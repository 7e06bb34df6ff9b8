#pragma once
// The frame of the command-line companions. Each one defines ToolMain, which
// the program's entry (ToolMain_posix.cpp, ToolMain_win.cpp) calls with the
// arguments in UTF-8; RunTool gives them all the same exit codes.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

int ToolMain(const std::vector<std::string>& args);

// 2 with the usage on stderr when the arguments did not parse; otherwise
// Run's code, or 1 with the message on stderr when Run throws.
template <class Run>
int RunTool(const char* usage, bool parsed, Run run) {
  if (!parsed) {
    std::fputs(usage, stderr);
    return 2;
  }
  try {
    return run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
