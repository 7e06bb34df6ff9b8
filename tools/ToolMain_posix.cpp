#include "ToolMain.h"

int main(int argc, char** argv) { return ToolMain(std::vector<std::string>(argv + 1, argv + argc)); }
