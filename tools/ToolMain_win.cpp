#include "ToolMain.h"
#include "framework/Wide.h"

// Arguments arrive as UTF-16 so that any file name survives.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(WideToUtf8(argv[i]));
  return ToolMain(args);
}
