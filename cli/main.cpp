// sekora-cli: runs the culvert calculation from the command line and prints
// the results list, or draws the calculation sheet of one row.
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>

#include "CliOptions.h"
#include "DesignError.h"
#include "KeisanFile.h"
#include "NumberText.h"
#include "ResultRow.h"
#include "RunDesign.h"
#ifdef SEKORA_WITH_SHEET
#include "SheetOutput.h"
#endif

namespace {

constexpr int kExitFailure = 2;
constexpr const char* kNoFlowMessage = "計画流量または、延長が０です";
#ifndef SEKORA_WITH_SHEET
constexpr const char* kSheetProgramName = "sekora-cli-sheet";
#endif

std::string ProgramFolder() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : exe.parent_path().string();
}

using Json = nlohmann::ordered_json;

// A quantity as JSON: whole values without a fraction ("0", not "0.0"), the
// rest in the shortest text that reads back as the same double.
Json JsonNumber(double v) {
  constexpr double kExactIntegerLimit = 9007199254740992.0;  // 2^53
  if (v == std::trunc(v) && std::fabs(v) < kExactIntegerLimit) {
    return static_cast<std::int64_t>(v);
  }
  return v;
}

// One line of Keisan.txt as read back, with its row number and status text.
Json JsonObject(int rowNo, const sekora::KeisanRecord& rec) {
  static const char* const kQuantityNames[] = {
      "B",  "H",  "D",  "n1",     "n2",    "h1",    "A1", "P1", "R1", "V1", "h2",  "A2",
      "P2", "R2", "V2", "FricQL", "Fric1", "Fric2", "hf", "E1", "E2", "dE", "hReq"};
  Json json = {{"No", rowNo}, {"Status", rec.Status}, {"Kind", rec.Kind}};
  int i = 0;
  for (const double* q : sekora::Quantities(rec)) json[kQuantityNames[i++]] = JsonNumber(*q);
  json["StatusText"] = sekora::StatusText(rec.Status);
  return json;
}

void PrintRows(const sekora::Candidates& records, int count, bool json) {
  if (json) std::cout << "[\n";
  for (int n = 1; n <= count; ++n) {
    const sekora::KeisanRecord& rec = records[static_cast<std::size_t>(n - 1)];
    if (json) {
      std::cout << "  " << JsonObject(n, rec).dump() << (n < count ? ",\n" : "\n");
    } else {
      std::cout << sekora::ResultRowText(n, rec) << '\n';
    }
  }
  if (json) std::cout << "]\n";
}

int Run(const sekora::cli::CliOptions& options) {
  sekora::DesignConditions conditions = options.conditions;
  if (!(conditions.Q > 0.0) || !(conditions.L > 0.0)) {
    std::cerr << kNoFlowMessage << '\n';
    return kExitFailure;
  }
  const std::string folder = options.folder.value_or(ProgramFolder());
  sekora::RunDesign(folder, conditions, sekora::RunOptions{.threads = options.jobs});

  // The list is built from the file, as the results window builds it.
  sekora::Candidates records;
  sekora::KeisanFile(sekora::kFileModeRead, records, conditions, folder);
#ifdef SEKORA_WITH_SHEET
  if (options.sheetRow) {
    return sekora::cli::WriteSheet(folder, conditions, static_cast<std::int16_t>(*options.sheetRow),
                                   *options.sheetOut, options.dpi);
  }
#endif
  PrintRows(records, conditions.CandidateCount, options.json);
  return 0;
}

#ifndef SEKORA_WITH_SHEET
// Drawing a sheet needs Qt, which a calculation should not load, so the
// sheet is drawn by the sibling program built with it, given the same
// arguments in this same process. Returns only when it cannot be started.
int HandOverToSheetProgram(char** argv) {
  const std::string program = ProgramFolder() + "/" + kSheetProgramName;
  ::execv(program.c_str(), argv);
  std::cerr << "sekora-cli: 計算書の出力に必要な " << program
            << " を起動できません: " << std::strerror(errno) << '\n';
  return kExitFailure;
}
#endif

}  // namespace

int main(int argc, char** argv) {
  try {
    const sekora::cli::CliOptions options =
        sekora::cli::ParseCliOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (options.help) {
      std::cout << sekora::cli::HelpText();
      return 0;
    }
#ifndef SEKORA_WITH_SHEET
    if (options.sheetRow) return HandOverToSheetProgram(argv);
#endif
    return Run(options);
  } catch (const sekora::cli::UsageError& e) {
    std::cerr << "sekora-cli: " << e.what() << "\n(sekora-cli --help で使い方を表示します)\n";
  } catch (const std::exception& e) {
    std::cerr << "sekora-cli: " << e.what() << '\n';
  }
  return kExitFailure;
}
