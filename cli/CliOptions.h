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

// The rows --sheet asks for: row numbers in the order given (a range adds
// its rows in order), or every ＯＫ row of the results.
struct SheetRows {
  bool everyOk = false;
  std::vector<int> rows;
};

struct CliOptions {
  DesignConditions conditions;  // the main window's defaults unless given
  bool qGiven = false;
  bool lGiven = false;
  std::optional<std::string> folder;  // catalogues, figures and Keisan.txt
  bool json = false;
  bool help = false;
  bool version = false;
  std::optional<SheetRows> sheets;  // --sheet LIST: draw the sheets of these rows
  bool summary = false;             // --summary: the run's summary pages first
  std::optional<std::string> out;   // the sheets' file, or with --batch the summary CSV
  int dpi = 150;
  std::optional<std::string> batch;      // --batch FILE: design every culvert of the table
  std::optional<std::string> keisanDir;  // with --batch: each culvert's results file here
  std::optional<std::string> report;     // with --batch: the PDF report
  unsigned jobs = 1;  // calculation threads; the parser's default is the machine's cores
};

// Parses the arguments after the program name. Throws UsageError.
CliOptions ParseCliOptions(const std::vector<std::string>& args);

// The rows of a --sheet value: "ok", or row numbers and ranges separated by
// commas ("7,12,55-58"), each row from 1 to kMaxRow. Throws UsageError.
SheetRows ParseSheetRows(const std::string& text);

// The text of --help.
std::string HelpText();

}  // namespace sekora::cli
