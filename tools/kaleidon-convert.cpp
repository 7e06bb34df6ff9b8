// kaleidon-convert: loads a picture the way Kaleidon does and writes it as the
// wallpaper bitmap Kaleidon would write (.bmp) or as a binary PPM (.ppm) of the
// held pixels, for comparison with other tools.
//
//   kaleidon-convert INPUT OUTPUT [--screen WxH --placement N [--smooth | --no-smooth]]
//                    [--matte RRGGBB]
//   kaleidon-convert INPUT --info
//   kaleidon-convert --batch     one such command line per line of standard
//                                input, arguments separated by tabs; each
//                                answered by one line (see RunBatch)
//
// Exit codes: 0 success, 1 the load or save failed (message on stderr),
// 2 bad usage.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "ToolMain.h"
#include "app/Desktop.h"
#include "app/Placement.h"
#include "app/Settings.h"
#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "imaging/Imageholder.h"

namespace {

const char* const Usage =
    "usage: kaleidon-convert INPUT OUTPUT [--screen WxH --placement N [--smooth | --no-smooth]]\n"
    "                        [--matte RRGGBB]\n"
    "       kaleidon-convert INPUT --info\n"
    "       kaleidon-convert --batch\n"
    "OUTPUT ending in .bmp gets the wallpaper bitmap, in .ppm a binary 24-bit PPM.\n"
    "--placement: 0 Tile, 1 Center, 2 Stretch, 3 Stretch Proportionally.\n"
    "--smooth (the default) resamples the stretch placements smoothly, --no-smooth\n"
    "drops and repeats pixels. --matte: the colour under transparent pixels, in hex\n"
    "(default: the desktop's).\n";

struct Options {
  std::string input, output;
  bool info = false;
  int screenWidth = 0, screenHeight = 0;
  int placement = -1;
  bool smooth = SmoothResizeSetting.Default;
  bool smoothGiven = false;
  bool matteGiven = false;
  TColor matte = 0;
};

// RRGGBB as the framework keeps colours, 0x00BBGGRR.
bool ParseMatte(const std::string& text, Options& options) {
  if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
  const TColor rgb = TColor(std::stoul(text, nullptr, 16));
  options.matte = (rgb >> 16) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
  options.matteGiven = true;
  return true;
}

bool ParseScreen(const std::string& text, Options& options) {
  const size_t x = text.find('x');
  if (x == std::string::npos) return false;
  options.screenWidth = StrToIntDef(text.substr(0, x), 0);
  options.screenHeight = StrToIntDef(text.substr(x + 1), 0);
  return options.screenWidth > 0 && options.screenHeight > 0;
}

bool Parse(const std::vector<std::string>& args, Options& options) {
  std::vector<std::string> positional;
  bool screen = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--info") {
      options.info = true;
    } else if (args[i] == "--screen" && i + 1 < args.size()) {
      if (!ParseScreen(args[++i], options)) return false;
      screen = true;
    } else if (args[i] == "--placement" && i + 1 < args.size()) {
      options.placement = StrToIntDef(args[++i], -1);
      if (options.placement < 0 || options.placement > 3) return false;
    } else if (args[i] == "--smooth" || args[i] == "--no-smooth") {
      options.smooth = args[i] == "--smooth";
      options.smoothGiven = true;
    } else if (args[i] == "--matte" && i + 1 < args.size()) {
      if (!ParseMatte(args[++i], options)) return false;
    } else if (args[i].rfind("--", 0) == 0) {
      return false;
    } else {
      positional.push_back(args[i]);
    }
  }
  if (screen != (options.placement >= 0) || (options.smoothGiven && !screen)) return false;
  if (options.info) {
    if (positional.size() != 1 || screen) return false;
    options.input = positional[0];
    return true;
  }
  if (positional.size() != 2) return false;
  options.input = positional[0];
  options.output = positional[1];
  const std::string ext = LowerCaseAscii(ExtractFileExt(options.output));
  return ext == ".bmp" || ext == ".ppm";
}

void WritePpm(const TBitmap& image, const std::string& fileName) {
  std::string file = Format("P6\n%d %d\n255\n", image.Width(), image.Height());
  const size_t header = file.size();
  file.resize(header + size_t(image.Width()) * size_t(image.Height()) * 3);
  char* out = file.data() + header;
  for (int y = 0; y < image.Height(); ++y) {
    const uint8_t* row = image.ScanLine(y);
    for (int x = 0; x < image.Width(); ++x, out += 3) {
      out[0] = char(row[x * 3 + 2]);
      out[1] = char(row[x * 3 + 1]);
      out[2] = char(row[x * 3]);
    }
  }
  WriteWholeFileAtomic(fileName, file.data(), file.size());
}

int Run(const Options& options, TToolResult& result) {
  if (!HasReaderFor(options.input)) {
    result.Err = "unsupported file type\n";
    return 1;
  }
  TImageHolder holder(nullptr);
  holder.IO().Matte = options.matteGiven ? options.matte : PlatformDesktop().DesktopColor();
  holder.LoadFromFile(options.input);
  if (options.info) {
    result.Out = Format("%d %d\n", holder.Bitmap().Width(), holder.Bitmap().Height());
    return 0;
  }
  if (options.placement >= 0)
    ResizeForPlacement(holder, options.placement, options.screenWidth, options.screenHeight, options.smooth);
  if (LowerCaseAscii(ExtractFileExt(options.output)) == ".bmp")
    holder.SaveToFileBMP(options.output);
  else
    WritePpm(holder.Bitmap(), options.output);
  return 0;
}

TToolResult Convert(const std::vector<std::string>& args) {
  Options options;
  const bool parsed = Parse(args, options);
  return RunTool(Usage, parsed, [&](TToolResult& result) { return Run(options, result); });
}

}  // namespace

// A batch spares the process start per picture: under Wine or the
// sanitizers that start costs more than most conversions.
int ToolMain(const std::vector<std::string>& args) {
  if (args.size() == 1 && args[0] == "--batch") return RunBatch(stdin, stdout, Convert);
  return PrintResult(Convert(args));
}
