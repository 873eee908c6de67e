// Records every value the calculation rounds in a standard run (the shipped
// catalogues, Q = 1.5, L = 20), for the rounding benchmark to replay.
// The design sources of this program are built with their FormatRound calls
// renamed to RecordedFormatRound, defined here.
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "Catalogue.h"
#include "NumberText.h"
#include "RoundedValue.h"
#include "RunDesign.h"

namespace {

// FormatRound is a free function, so the calls of the one run this program
// makes are collected here.
std::vector<sekora::bench::RoundedValue> recorded;

}  // namespace

namespace sekora {

double RecordedFormatRound(double value, Pattern pattern) {
  recorded.push_back({value, static_cast<std::int32_t>(pattern)});
  return FormatRound(value, pattern);
}

}  // namespace sekora

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

// Usage: record_rounds DATA_DIR OUT_FILE
int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: record_rounds DATA_DIR OUT_FILE\n";
    return 2;
  }
  const std::string dataDir = argv[1];
  sekora::DesignConditions c;
  c.Q = 1.5;
  c.L = 20.0;
  sekora::Candidates candidates;
  sekora::AppendBoxSections(ReadFile(dataDir + "/BOX.TXT"), "BOX.TXT", c, candidates);
  sekora::AppendPipeSections(ReadFile(dataDir + "/KAN.TXT"), "KAN.TXT", c, candidates);
  sekora::DesignCandidates(candidates, c);

  std::ofstream out(argv[2], std::ios::binary);
  out.write(reinterpret_cast<const char*>(recorded.data()),
            static_cast<std::streamsize>(recorded.size() * sizeof(recorded[0])));
  if (!out || recorded.empty()) {
    std::cerr << "record_rounds: nothing recorded or " << argv[2] << " not written\n";
    return 1;
  }
  return 0;
}
