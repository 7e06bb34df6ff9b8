#include <string>
#include <vector>

int KaleidonConvert(const std::vector<std::string>& args);

int main(int argc, char** argv) { return KaleidonConvert(std::vector<std::string>(argv + 1, argv + argc)); }
