#pragma once
// The inputs kept under tests/data/<format>/bad/: fuzzer findings and hostile
// headers that every reader must survive.

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

// The files of the format's folder, its README left out; none when the
// folder is missing, which the tests count as a failure.
std::vector<std::filesystem::path> RegressionFiles(const std::string& format);

// A file must never hang: ten seconds under the sanitizers is a guard far
// above what any of them takes, not a measure of speed.
inline constexpr std::chrono::seconds RegressionBudget{10};
