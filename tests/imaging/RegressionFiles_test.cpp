// The inputs kept under tests/data/<format>/bad/ (fuzzer findings and hostile
// headers) loaded the way the program loads them, through the holder.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "RegressionFiles.h"
#include "framework/Exceptions.h"
#include "imaging/Imageholder.h"

namespace {

struct TBadFolder {
  const char* Format;
  const char* Message;      // the holder's message for the format
  const char* ReaderError;  // the one error the reader documents as passing through it, or nullptr
};

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
      {"png", "unrecognized PNG", nullptr},
      {"webp", "unrecognized WebP", nullptr},
      {"tiff", "unrecognized TIFF", "Scan line index out of range"},
  };
  for (const TBadFolder& folder : folders) {
    const auto files = RegressionFiles(folder.Format);
    EXPECT_FALSE(files.empty()) << "no regression files for " << folder.Format;
    for (const auto& file : files) {
      SCOPED_TRACE(file.string());
      const auto start = std::chrono::steady_clock::now();
      const std::string outcome = Outcome(file, folder);
      EXPECT_LT(std::chrono::steady_clock::now() - start, RegressionBudget);
      const bool expected =
          outcome.empty() || outcome == folder.Message || (folder.ReaderError && outcome == folder.ReaderError);
      EXPECT_TRUE(expected) << outcome;
    }
  }
}
