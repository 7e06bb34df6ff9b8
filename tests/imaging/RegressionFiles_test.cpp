// The inputs kept under tests/data/<format>/bad/ (fuzzer findings and hostile
// headers) loaded the way the program loads them, through the holder.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/Exceptions.h"
#include "imaging/Imageholder.h"

namespace {

struct TBadFolder {
  const char* Format;
  const char* Message;       // the holder's message for the format
  const char* ReaderError;   // the one error the reader documents as passing through it, or nullptr
};

// A file must never hang: ten seconds under the sanitizers is a guard, far
// above what any of them takes, not a measure of speed.
constexpr auto Budget = std::chrono::seconds(10);

// The outcome of one load: empty when the file decoded, else the message.
std::string Outcome(const std::filesystem::path& file, const TBadFolder& folder) {
  TImageHolder holder(nullptr);
  try {
    holder.LoadFromFile(file.string());
    return "";
  } catch (const EInvalidGraphic& e) {
    return e.Message();
  } catch (const Exception& e) {
    return folder.ReaderError && e.Message() == folder.ReaderError ? e.Message() : "other error: " + e.Message();
  }
}

}  // namespace

TEST(Imageio_LoadFromFile, RegressionFilesLoadOrFailWithTheirFormatsError) {
  const TBadFolder folders[] = {
      {"bmp", "unrecognized BMP", "Stream read error"},
      {"gif", "unrecognized GIF", nullptr},
      {"jpeg", "unrecognized JPEG", nullptr},
      {"pcx", "unrecognized PCX", nullptr},
      {"tiff", "unrecognized TIFF", "Scan line index out of range"},
  };
  for (const TBadFolder& folder : folders) {
    const std::filesystem::path dir = std::filesystem::path(KALEIDON_TEST_DATA) / folder.Format / "bad";
    ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (entry.path().extension() == ".md") continue;
      ++files;
      SCOPED_TRACE(entry.path().string());
      const auto start = std::chrono::steady_clock::now();
      const std::string outcome = Outcome(entry.path(), folder);
      EXPECT_LT(std::chrono::steady_clock::now() - start, Budget);
      const bool expected = outcome.empty() || outcome == folder.Message ||
                            (folder.ReaderError && outcome == folder.ReaderError);
      EXPECT_TRUE(expected) << outcome;
    }
    EXPECT_GT(files, 0) << dir;
  }
}
