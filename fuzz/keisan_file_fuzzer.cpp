// The Keisan.txt readers on any bytes: KeisanFile reading, ReadSelectedRecord
// and LookupStatus load the file or fail with ResultsFileError naming it, and
// every record read writes back as a line that reads back the same.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "DesignError.h"
#include "FuzzCheck.h"
#include "KeisanFile.h"
#include "NumberText.h"
#include "Paths.h"
#include "ResultRow.h"

namespace {

using sekora::fuzz::Require;

// One folder for the whole fuzzing session; each input overwrites its file.
class SessionFolder {
 public:
  SessionFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sekora-fuzz-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    Require(::mkdtemp(name.data()) != nullptr, "temporary folder can be made");
    path_ = name.data();
  }
  ~SessionFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }
  void Write(const std::string& content) const {
    std::ofstream(sekora::JoinPath(path_, sekora::kResultsFileName), std::ios::binary) << content;
  }

 private:
  std::string path_;
};

const SessionFolder& Folder() {
  static const SessionFolder folder;
  return folder;
}

// Runs `read`; a ResultsFileError is a clean failure. True when it loaded.
template <typename Read>
bool LoadsOrFailsCleanly(Read read) {
  try {
    read();
    return true;
  } catch (const sekora::ResultsFileError& e) {
    sekora::fuzz::RequireMessageNames(e.what(), sekora::kResultsFileName);
    return false;
  }
}

// Every record read has finite quantities and gives a list row.
void CheckRecords(const sekora::Candidates& records) {
  int rowNo = 0;
  for (const sekora::KeisanRecord& rec : records) {
    for (const double* q : sekora::Quantities(rec)) {
      Require(std::isfinite(*q), "every quantity read is finite");
    }
    const std::string row = sekora::ResultRowText(++rowNo, rec);
    Require(row.find('|') == 5, "a list row begins with its five-character number", row);
  }
}

// True when every quantity of `rec` formats to a text that reads back as a
// double: within 15 significant digits of the largest double, the text
// rounds past it and reads back as infinity, which the reader refuses.
bool ReadsBackFinite(const sekora::KeisanRecord& rec) {
  for (const double* q : sekora::Quantities(rec)) {
    if (!std::isfinite(sekora::FormatRound(*q, sekora::Pattern::Fixed3))) return false;
  }
  return true;
}

// Writing the records read and reading them again gives the same lines.
void CheckRewrite(const sekora::Candidates& records) {
  for (const sekora::KeisanRecord& rec : records) {
    if (!ReadsBackFinite(rec)) return;
  }
  std::string content;
  for (const sekora::KeisanRecord& rec : records) content += sekora::ResultsLine(rec) + "\r\n";
  Folder().Write(content);
  sekora::Candidates again;
  sekora::DesignConditions conditions;
  sekora::KeisanFile(sekora::kFileModeRead, again, conditions, Folder().path());
  Require(again.size() == records.size(), "rewritten file has as many lines");
  for (std::size_t i = 0; i < records.size(); ++i) {
    Require(sekora::ResultsLine(again[i]) == sekora::ResultsLine(records[i]),
            "rewritten line reads back the same", sekora::ResultsLine(records[i]));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::int16_t selectedNo = static_cast<std::int16_t>(data[0] % 8);
  const std::int16_t lookupNo = static_cast<std::int16_t>(data[1] % 8);
  Folder().Write(std::string(reinterpret_cast<const char*>(data + 2), size - 2));
  const std::string& folder = Folder().path();

  sekora::Candidates records;
  sekora::DesignConditions conditions;
  const bool loaded = LoadsOrFailsCleanly(
      [&] { sekora::KeisanFile(sekora::kFileModeRead, records, conditions, folder); });
  Require(static_cast<std::size_t>(conditions.CandidateCount) == (loaded ? records.size() : 0),
          "CandidateCount is the number of lines read");

  sekora::KeisanRecord selected;
  const bool selectedLoaded = LoadsOrFailsCleanly(
      [&] { sekora::ReadSelectedRecord(folder, conditions, selectedNo, selected); });
  LoadsOrFailsCleanly([&] {
    const std::int16_t status = sekora::LookupStatus(folder, lookupNo);
    Require(status >= 0 && status <= 9, "a looked-up status is one digit");
  });
  if (!loaded) return 0;
  if (!records.empty()) {
    // A file that reads whole also yields any one of its lines.
    const std::size_t wanted =
        selectedNo >= 1 && static_cast<std::size_t>(selectedNo) <= records.size()
            ? static_cast<std::size_t>(selectedNo)
            : records.size();
    Require(selectedLoaded && selected == records[wanted - 1],
            "ReadSelectedRecord gives the line KeisanFile read");
  }
  CheckRecords(records);
  CheckRewrite(records);
  return 0;
}
