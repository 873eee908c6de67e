// Command-line options of sekora-cli.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "DesignConditions.h"

namespace sekora::cli {

// A command line that cannot be run; the message names the option.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Bounds of --sheet, --dpi and --jobs.
inline constexpr int kMaxRow = 32767;
inline constexpr int kMaxJobs = 256;
inline constexpr int kMinDpi = 30;
inline constexpr int kMaxDpi = 1200;

struct CliOptions {
  DesignConditions conditions;  // the main window's defaults unless given
  bool qGiven = false;
  bool lGiven = false;
  std::optional<std::string> folder;  // catalogues, figures and Keisan.txt
  bool json = false;
  bool help = false;
  bool version = false;
  std::optional<int> sheetRow;  // --sheet N: draw the sheet of row N
  std::optional<std::string> sheetOut;
  int dpi = 150;
  unsigned jobs = 1;  // calculation threads; the parser's default is the machine's cores
};

// Parses the arguments after the program name. Throws UsageError.
CliOptions ParseCliOptions(const std::vector<std::string>& args);

// A whole decimal number (optional sign, digits, optional point and digits,
// nothing else); nothing otherwise.
std::optional<double> ParseStrictNumber(const std::string& text);

// The text of --help.
std::string HelpText();

}  // namespace sekora::cli
