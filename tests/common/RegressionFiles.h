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

// A file must never hang. The slowest, pages just under the 1 GiB picture
// limit, take a few seconds under the sanitizers on a busy machine; a minute
// is a guard against hangs, not a measure of speed.
inline constexpr std::chrono::seconds RegressionBudget{60};
