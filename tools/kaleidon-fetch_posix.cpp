#include <string>
#include <vector>

int KaleidonFetch(const std::vector<std::string>& args);

int main(int argc, char** argv) { return KaleidonFetch(std::vector<std::string>(argv + 1, argv + argc)); }
