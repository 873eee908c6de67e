// sekora-cli: runs the culvert calculation from the command line and prints
// the results list, or draws the calculation sheet of one row.
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <new>
#include <optional>
#include <stdexcept>

#include "BatchCommand.h"
#include "CliOptions.h"
#include "DataFolders.h"
#include "DesignError.h"
#include "FreeboardCheck.h"
#include "JsonNumber.h"
#include "KeisanFile.h"
#include "Messages.h"
#include "NumberText.h"
#include "OutputChecks.h"
#include "Paths.h"
#include "ResultRow.h"
#include "RunDesign.h"
#ifdef SEKORA_WITH_SHEET
#include "BatchReportOutput.h"
#include "SheetOutput.h"
#endif

namespace {

constexpr int kExitFailure = 2;

// Without Qt, this program hands the sheets over to the one built with it.
#if !defined(SEKORA_WITH_SHEET) && !defined(_WIN32)
#define SEKORA_HANDS_OVER_SHEETS
constexpr const char* kSheetProgramName = "sekora-cli-sheet";
// Set for the sheet program, so that a sheet program that is itself built
// without Qt (a copy of this one) refuses instead of handing over for ever.
constexpr const char* kHandedOverVariable = "SEKORA_CLI_HANDED_OVER";
#endif

// The folder of sekora-cli, from which the data and the messages are found:
// the program's own, or for the sheet helper, which an installation keeps
// apart, that of sekora-cli.
std::string ToolFolder() {
#ifdef SEKORA_SHEET_HELPER
  return sekora::ProgramFolderOfHelper(sekora::ProgramFolder(), "sekora-cli");
#else
  return sekora::ProgramFolder();
#endif
}

// --dir names the one folder of everything; without it the program's own
// folder is used, or the user's data folder when the program is installed
// or cannot write beside itself.
sekora::DataFolders FoldersOf(const sekora::cli::CliOptions& options) {
  if (options.folder) return {*options.folder, *options.folder};
  return sekora::FindDataFolders(ToolFolder(), sekora::UserDataFolder());
}

#ifdef _WIN32
// The command line in UTF-8, as every path in the program is: the narrow
// arguments Windows passes are in the ANSI code page, which cannot hold every
// folder name. Output stays UTF-8 with LF line ends, as on Linux.
std::vector<std::string> Arguments(int, char**) {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; wide != nullptr && i < count; ++i) {
    args.push_back(sekora::PathToUtf8(std::filesystem::path(wide[i])));
  }
  LocalFree(wide);
  return args;
}
#else
std::vector<std::string> Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}
#endif

using sekora::cli::Json;
using sekora::cli::JsonNumber;

// One line of Keisan.txt as read back, with its row number and status text.
Json JsonObject(int rowNo, const sekora::KeisanRecord& rec) {
  static const char* const kQuantityNames[] = {
      "B",  "H",  "D",  "n1",     "n2",    "h1",    "A1", "P1", "R1", "V1", "h2",  "A2",
      "P2", "R2", "V2", "FricQL", "Fric1", "Fric2", "hf", "E1", "E2", "dE", "hReq"};
  Json json = {{"No", rowNo}, {"Status", rec.Status}, {"Kind", rec.Kind}};
  int i = 0;
  for (const double* q : sekora::Quantities(rec)) json[kQuantityNames[i++]] = JsonNumber(*q);
  json["StatusText"] = sekora::StatusText(rec.Status);
  // The depth hReq stands on, for the candidates that reached the check.
  const bool checked = rec.Status == sekora::StatusOk || rec.Status == sekora::StatusFreeboardOver;
  json["hReqFrom"] = checked ? Json(sekora::ChecksOnCriticalDepth(rec) ? "h2" : "h1") : Json();
  json["FrictionNote"] = sekora::HasFrictionRoundingNote(rec);
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

// Everything the tool prints goes out whole or is an error: a full disk, a
// closed or broken output is reported instead of a truncated list.
void FlushStandardOutput() {
  std::cout.flush();
  if (!std::cout) throw std::runtime_error(sekora::cli::Tr("標準出力に書き込めません"));
}

// A single run writes Keisan.txt and perhaps a sheet file: neither may be
// one of the files the run reads, nor the other.
void CheckRunOutputs(const sekora::cli::CliOptions& options, const sekora::DataFolders& folders) {
  std::vector<sekora::cli::NamedPath> outputs = {
      {sekora::kResultsFileName, sekora::JoinPath(folders.work, sekora::kResultsFileName)}};
  if (options.out) outputs.push_back({"--out", *options.out});
  sekora::cli::CheckOutputsApart(sekora::cli::RunInputs(folders, options.out.has_value()), outputs,
                                 std::nullopt);
}

int Run(const sekora::cli::CliOptions& options) {
#ifdef SEKORA_WITH_SHEET
  std::optional<sekora::cli::OffscreenQt> qt;
  if (options.batch ? options.report.has_value() : options.out.has_value()) qt.emplace();
#endif
  if (options.batch) {
#ifdef SEKORA_WITH_SHEET
    const sekora::cli::BatchReportDrawer drawReport = sekora::cli::BatchReportContent;
#else
    const sekora::cli::BatchReportDrawer drawReport;
#endif
    return sekora::cli::RunBatchCommand(options, FoldersOf(options), drawReport);
  }
  const sekora::DesignConditions& conditions = options.conditions;
  const sekora::DataFolders folders = FoldersOf(options);
  CheckRunOutputs(options, folders);
  if (options.out) {
#ifdef SEKORA_WITH_SHEET
    sekora::cli::CheckSheetTarget(*options.out);
    sekora::cli::WriteReportOfRun(folders, conditions, options.sheets, options.summary,
                                  *options.out, options.dpi);
    return 0;
#else
    throw std::runtime_error(
        sekora::cli::Tr("この版は計算書を出力できません（Qt なしで作られています）"));
#endif
  }
  // The rows are this run's own, read through the text it wrote: another
  // run writing Keisan.txt meanwhile cannot change them.
  const sekora::DesignRun run =
      sekora::RunDesign(folders.work, conditions, sekora::RunOptions{.threads = options.jobs});
  PrintRows(run.records, run.conditions.CandidateCount, options.json);
  FlushStandardOutput();
  return 0;
}

// Every error is one line on stderr.
void ReportError(std::string message) {
  for (char& c : message) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  std::cerr << "sekora-cli: " << message << std::endl;
}

#ifdef SEKORA_HANDS_OVER_SHEETS
// Drawing sheets needs Qt, which a calculation should not load, so they are
// drawn by the helper program built with it, given the same arguments in
// this same process. Returns only when it cannot be started.
int HandOverToSheetProgram(char** argv) {
  const std::string program = sekora::HelperProgram(sekora::ProgramFolder(), kSheetProgramName);
  if (std::getenv(kHandedOverVariable) != nullptr) {
    ReportError(
        sekora::cli::Tr("{1} は計算書を出力できません（Qt なしで作られています）", program));
    return kExitFailure;
  }
  ::setenv(kHandedOverVariable, "1", 1);
  ::execv(program.c_str(), argv);
  ReportError(sekora::cli::Tr("計算書の出力に必要な {1} を起動できません: {2}", program,
                              std::strerror(errno)));
  return kExitFailure;
}
#endif

}  // namespace

int main(int argc, char** argv) {
  sekora::cli::SetUpMessages(sekora::MessageCatalogueFolder(ToolFolder()));
  try {
    const sekora::cli::CliOptions options = sekora::cli::ParseCliOptions(Arguments(argc, argv));
    if (options.help) {
      std::cout << sekora::cli::HelpText();
      FlushStandardOutput();
      return 0;
    }
    if (options.version) {
      std::cout << "sekora-cli " << SEKORA_VERSION << '\n';
      FlushStandardOutput();
      return 0;
    }
#ifdef SEKORA_HANDS_OVER_SHEETS
    const bool drawsSheets = options.batch ? options.report.has_value() : options.out.has_value();
    if (drawsSheets) return HandOverToSheetProgram(argv);
#endif
    return Run(options);
  } catch (const sekora::cli::UsageError& e) {
    ReportError(e.what() + sekora::cli::Tr("（sekora-cli --help で使い方を表示します）"));
  } catch (const std::bad_alloc&) {
    ReportError(sekora::cli::Tr("メモリが足りません"));
  } catch (const std::exception& e) {
    ReportError(e.what());
  }
  return kExitFailure;
}
