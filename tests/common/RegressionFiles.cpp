#include "RegressionFiles.h"

std::vector<std::filesystem::path> RegressionFiles(const std::string& format) {
  const std::filesystem::path dir = std::filesystem::path(KALEIDON_TEST_DATA) / format / "bad";
  std::vector<std::filesystem::path> files;
  if (!std::filesystem::is_directory(dir)) return files;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    if (entry.path().extension() != ".md") files.push_back(entry.path());
  return files;
}
